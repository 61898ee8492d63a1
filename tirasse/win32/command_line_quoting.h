#pragma once
// plenum.exe splits its command line as CommandLineToArgvW does; the words tirasse gives it
// are joined here so that each one comes back whole, blanks, quotes and backslashes included.

#include <string>
#include <vector>

namespace tirasse::win32 {

std::wstring quoteArgument(const std::wstring& word);
std::wstring joinCommandLine(const std::vector<std::wstring>& words);

}  // namespace tirasse::win32
