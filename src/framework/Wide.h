#pragma once
// UTF-8 inside, UTF-16 at the Win32 boundary.

#include <string>

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::string WideToUtf8(const wchar_t* text);
