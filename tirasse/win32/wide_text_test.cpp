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

TEST(WideText, AnsiNamesOfDevicesBecomeUtf8) {
  EXPECT_EQ(ansiToUtf8("USB MIDI 1"), "USB MIDI 1");
  EXPECT_EQ(ansiToUtf8(""), "");
}

}  // namespace
}  // namespace tirasse::win32
