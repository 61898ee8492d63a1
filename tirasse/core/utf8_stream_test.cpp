#include "tirasse/core/utf8_stream.h"

#include <gtest/gtest.h>

namespace tirasse {
namespace {

TEST(Utf8Stream, WholeCharactersOnlyWhereverThePiecesAreCut) {
  const std::string text = "Übung орган 𝄞 ok\n";
  // Every way of cutting the text in two gives the same text back.
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    Utf8Stream stream;
    const std::string first = stream.decode(text.substr(0, cut));
    const std::string second = stream.decode(text.substr(cut));
    EXPECT_EQ(first + second, text) << cut;
    // What came first is whole characters: read again on its own, nothing is held back.
    Utf8Stream fresh;
    EXPECT_EQ(fresh.decode(first), first) << cut;
  }
  // Byte by byte, too.
  Utf8Stream stream;
  std::string joined;
  for (char c : text) joined += stream.decode(std::string(1, c));
  EXPECT_EQ(joined, text);
}

TEST(Utf8Stream, BytesThatAreNoUtf8BecomeReplacementCharacters) {
  const std::string replacement = "\xEF\xBF\xBD";
  struct Case {
    const char* what;
    std::string bytes;
    std::string text;
  } cases[] = {
      {"a Latin-1 byte", "caf\xE9!", "caf" + replacement + "!"},
      {"a lone continuation byte", "a\x80z", "a" + replacement + "z"},
      {"an overlong form", "\xC0\xAF", replacement + replacement},
      {"a surrogate", "\xED\xA0\x80x", replacement + replacement + replacement + "x"},
      {"a sequence broken off", "\xE2\x82x", replacement + "x"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", replacement + replacement + replacement + replacement},
  };
  for (const Case& c : cases) {
    Utf8Stream stream;
    EXPECT_EQ(stream.decode(c.bytes), c.text) << c.what;
  }
}

}  // namespace
}  // namespace tirasse
