#include "tirasse/win32/command_line_quoting.h"

namespace tirasse::win32 {

std::wstring quoteArgument(const std::wstring& word) {
  if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) return word;
  std::wstring quoted = L"\"";
  for (auto it = word.begin();; ++it) {
    std::size_t backslashes = 0;
    while (it != word.end() && *it == L'\\') {
      ++it;
      ++backslashes;
    }
    if (it == word.end()) {
      // Backslashes before the closing quote are doubled, or they would escape it.
      quoted.append(backslashes * 2, L'\\');
      break;
    }
    if (*it == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
      quoted.push_back(L'"');
    } else {
      quoted.append(backslashes, L'\\');
      quoted.push_back(*it);
    }
  }
  quoted.push_back(L'"');
  return quoted;
}

std::wstring joinCommandLine(const std::vector<std::wstring>& words) {
  std::wstring line;
  for (const std::wstring& word : words) {
    if (!line.empty()) line.push_back(L' ');
    line += quoteArgument(word);
  }
  return line;
}

}  // namespace tirasse::win32
