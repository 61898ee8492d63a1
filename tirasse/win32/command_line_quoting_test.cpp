#include "tirasse/win32/command_line_quoting.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

namespace tirasse::win32 {
namespace {

// What plenum.exe gets back from the line: it splits it with CommandLineToArgvW.
std::vector<std::wstring> split(const std::wstring& line) {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(line.c_str(), &count);
  std::vector<std::wstring> result(words, words + count);
  LocalFree(words);
  return result;
}

TEST(CommandLineQuoting, EveryWordComesBackWhole) {
  const std::vector<std::wstring> hard = {
      L"C:\\Program Files\\plenum\\bin\\plenum.exe",
      L"-i", L"0", L"",
      L"C:\\Orgel Übung\\орган.ncf",
      L"\\\\server\\share\\with space\\",  // trailing backslash before the closing quote
      L"say \"hi\"", L"back\\\\\"slash", L"tab\there", L"\xD834\xDD1E",
  };
  EXPECT_EQ(split(joinCommandLine(hard)), hard);
}

TEST(CommandLineQuoting, PlainWordsStayUnquoted) {
  EXPECT_EQ(joinCommandLine({L"plenum.exe", L"-d101", L"-H"}), L"plenum.exe -d101 -H");
  EXPECT_EQ(quoteArgument(L""), L"\"\"");
  EXPECT_EQ(quoteArgument(L"a b\\"), L"\"a b\\\\\"");
}

}  // namespace
}  // namespace tirasse::win32
