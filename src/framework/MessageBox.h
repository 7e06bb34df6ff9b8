#pragma once
// Message boxes. Tests (and builds without a desktop) can divert every box
// through a hook.

#include <string>

// The platform's flag values, so that they pass through unchanged.
inline constexpr unsigned mbOK = 0x0;
inline constexpr unsigned mbYesNo = 0x4;
inline constexpr unsigned mbIconError = 0x10;
inline constexpr unsigned mbIconQuestion = 0x20;
inline constexpr unsigned mbIconExclamation = 0x30;
inline constexpr unsigned mbIconInformation = 0x40;
inline constexpr int idOK = 1;
inline constexpr int idYes = 6;
inline constexpr int idNo = 7;

// Shows a modal message box and returns the button chosen (idOK for OK).
int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags);

// The platform's own message box, behind ShowMessageBox.
int PlatformMessageBox(const std::string& text, const std::string& caption, unsigned flags);
