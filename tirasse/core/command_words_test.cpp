#include "tirasse/core/command_words.h"

#include <gtest/gtest.h>

#include "tirasse/core/unicode_text.h"

namespace tirasse {
namespace {

using Words = std::vector<std::string>;

TEST(CommandWords, SplitAsACommandLineIs) {
  struct Case {
    const char* text;
    Words words;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {"-x  -y", {"-x", "-y"}},
      {" \t-d1\n-P ", {"-d1", "-P"}},
      {"-S \"a b.reg\"", {"-S", "a b.reg"}},
      {"a\"b c\"d", {"ab cd"}},
      {"\"\"", {}},                        // an empty quoted part makes no word
      {"x\"\"\"y", {"x\"y"}},              // three quotes are one quote
      {"\"unclosed part", {"unclosed part"}},
      {"Übung\xC2\xA0orgel", {"Übung", "orgel"}},    // no-break space separates too
      {"орган\xE3\x80\x80𝄞", {"орган", "𝄞"}},        // so does the ideographic space
      {"\xEE\x80\x80", {"\xEE\x80\x80"}},            // a private-use character is a letter
      {"bad\xFF byte", {"bad\xFF", "byte"}},         // broken UTF-8 is kept as it is
  };
  for (const Case& c : cases) EXPECT_EQ(splitCommandLine(c.text), c.words) << c.text;
}

TEST(CommandWords, TrimmedTextDropsUnicodeSpacesAtBothEnds) {
  struct Case {
    const char* text;
    const char* trimmed;
  } cases[] = {
      {"", ""},
      {" \t ", ""},
      {" 12 ", "12"},
      {"\xE2\x80\x83x y\xE2\x80\xA8", "x y"},  // em space, line separator
      {"é", "é"},
      {"\xC2", "\xC2"},                        // a cut sequence is no space
  };
  for (const Case& c : cases) EXPECT_EQ(trimmedText(c.text), c.trimmed) << c.text;
}

}  // namespace
}  // namespace tirasse
