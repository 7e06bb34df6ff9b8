#pragma once
// The system's shell: opening a document, or starting a program, as a
// double-click in the file manager would, and showing a file in its folder.
// Tests (and builds without a desktop) answer the opening through a hook.

#include <string>

// Opens the file with the verb "open" and the parameters, in a normal window
// owned by the application's main window; false when the shell could not.
bool ShellOpen(const std::string& fileName, const std::string& parameters);

// The platform's own shell, behind ShellOpen.
bool PlatformShellOpen(const std::string& fileName, const std::string& parameters);

// Opens the file's folder in the file manager with the file selected;
// EOSError "Cannot show "<name>" in its folder. <reason>" when that fails
// (the file is gone, or there is no file manager).
void ShowInFolder(const std::string& fileName);
