#pragma once
// Key combinations as a global hotkey or a hotkey field holds them, and their
// text, "Ctrl+Alt+Right".
//
// ParseHotkey accepts the modifiers Ctrl, Alt, Shift and Win, each at most
// once and in any order, then one key name, all joined by "+" (spaces around
// the parts and the case of the names do not matter). Key names: A to Z, 0 to
// 9, F1 to F24, Left, Right, Up, Down, Home, End, PageUp, PageDown, Insert,
// Delete, Space, Enter, Tab, Backspace, Escape, Pause, PrintScreen,
// ScrollLock, Num0 to Num9, NumMultiply, NumAdd, NumSubtract, NumDecimal,
// NumDivide, the punctuation keys by name (Semicolon, Plus, Comma, Minus,
// Period, Slash, Backquote, LeftBracket, Backslash, RightBracket, Quote), and
// any other key as Key1 to Key254 (its virtual-key code). Empty text (or
// spaces) is no hotkey. Anything else is rejected: an unknown name, a
// modifier twice, modifiers without a key, a key that is not last.

#include <cstdint>
#include <string>

// Modifier bits, with the values the platform's hotkey registration takes.
inline constexpr uint32_t hkAlt = 0x1;
inline constexpr uint32_t hkCtrl = 0x2;
inline constexpr uint32_t hkShift = 0x4;
inline constexpr uint32_t hkWin = 0x8;

struct THotkey {
  uint32_t Modifiers = 0;
  uint32_t Key = 0;  // the platform's virtual-key code; 0 is no hotkey
  bool Empty() const { return Key == 0; }
  bool operator==(const THotkey&) const = default;
};

// False, with the hotkey unchanged, for text that is no combination.
bool ParseHotkey(const std::string& text, THotkey& hotkey);
// "Ctrl+Alt+Shift+Win+Key" with the modifiers present; empty for no hotkey.
std::string HotkeyText(const THotkey& hotkey);
