#pragma once
// "Start with Windows": the value "Kaleidon" under the current user's Run
// key, holding the quoted full path of the program, which the system starts
// when the user signs in.

#include <string>

inline constexpr char RunKeyParent[] = "Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr char RunSection[] = "Run";
inline constexpr char RunValue[] = "Kaleidon";

// Whether the value is there, whichever copy of the program it names.
bool StartsWithWindows();
// Writes the value naming this program (correcting one that names another
// copy), or deletes it.
void SetStartWithWindows(bool start);
