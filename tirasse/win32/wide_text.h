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

// Decodes UTF-8 that arrives in pieces of any size (a pipe cuts wherever it likes): a
// sequence cut at the end of one piece is kept until the next one completes it.
class Utf8Stream {
 public:
  std::wstring decode(std::string_view piece);
  // What is left at the end: an incomplete sequence, shown as it would be inside the text.
  std::wstring finish();

 private:
  std::string pending_;
};

}  // namespace tirasse::win32
