#pragma once
// The framework's text comparison for sorted lists: case-insensitive and
// locale-aware (on Windows the user default locale's comparison ignoring case).
// It works through sort keys: two texts compare as their keys compare
// bytewise, and texts with equal keys are equal.

#include <string>
#include <string_view>

std::string CaseInsensitiveSortKey(std::string_view text);
// The same key appended to out, so that many keys can share one buffer.
void AppendCaseInsensitiveSortKey(std::string& out, std::string_view text);

// <0, 0 or >0 as a sorts before, with or after b.
int AnsiCompareText(const std::string& a, const std::string& b);
