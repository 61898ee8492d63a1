#include "tirasse/win32/wide_text.h"

#include <gtest/gtest.h>

namespace tirasse::win32 {
namespace {

TEST(WideText, NamesOutsideTheAnsiCodePageSurviveBothWays) {
  for (const std::string text : {"Übung_Kirche_é.ncf", "орган.ncf", "\xF0\x9D\x84\x9E.ncf", ""}) {
    EXPECT_EQ(narrow(widen(text)), text);
  }
  EXPECT_EQ(widen("\xF0\x9D\x84\x9E"), std::wstring(L"\xD834\xDD1E"));  // a surrogate pair
}

TEST(WideText, AStreamKeepsASequenceCutBetweenPieces) {
  const std::string text = "a\xD0\xBE\xF0\x9D\x84\x9E" "b";  // 1, 2, 4 and 1 bytes
  // Every cut of the text into two pieces decodes as the whole text.
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    Utf8Stream stream;
    std::wstring decoded = stream.decode(text.substr(0, cut));
    decoded += stream.decode(text.substr(cut));
    decoded += stream.finish();
    EXPECT_EQ(narrow(decoded), text) << "cut at " << cut;
  }
  Utf8Stream stream;
  EXPECT_EQ(stream.decode("x\xF0\x9D"), L"x");  // the rest is held back
  EXPECT_EQ(stream.decode("\x84\x9E"), std::wstring(L"\xD834\xDD1E"));
}

TEST(WideText, AnIncompleteSequenceAtTheEndIsStillShown) {
  Utf8Stream stream;
  EXPECT_EQ(stream.decode("ok\xD0"), L"ok");
  EXPECT_EQ(stream.finish(), std::wstring(L"\xFFFD"));
  EXPECT_EQ(stream.finish(), L"");
}

}  // namespace
}  // namespace tirasse::win32
