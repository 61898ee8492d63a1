#pragma once
// tirasse keeps text as UTF-8; the Windows calls take UTF-16. Text crosses here, at the
// edge, and nowhere else.

#include <string>
#include <string_view>

namespace tirasse::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
// Text in the ANSI code page (the multimedia calls' device names) as UTF-8.
std::string ansiToUtf8(std::string_view ansi);

}  // namespace tirasse::win32
