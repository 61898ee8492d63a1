#include "plenum/language/string_escapes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plenum {
namespace {

using namespace std::string_literals;

struct DecodeCase {
  std::string text;
  std::optional<std::string> bytes;  // none: decoding fails
};

TEST(DecodeEscapes, Table) {
  const std::vector<DecodeCase> cases = {
      {"\"abc\"", "abc"},
      {"\"\"", ""},
      // Three decimal digits, not octal: 65 is A, 101 is e.
      {"\"\\065\"", "A"},
      {"\"\\101\"", "e"},
      {"\"x\\065y\"", "xAy"},
      {"\"\\200\"", "\xc8"},
      {"\"\\\\\"", "\\"},
      {"\"a\\nb\"", "anb"},
      {"\"\\000\"", "\0"s},
      {"\"\\255\"", "\xff"},
      {"\"\\1234\"", "{4"},
      // The backslash escapes the closing quote, which is still removed.
      {"\"abc\\\"", "abc"},
      {"\"\\\"", ""},
      // Without both quotes nothing is removed.
      {"abc", "abc"},
      {"\"abc", "\"abc"},
      {"\"", "\""},
      {"\"\\1x2\"", std::nullopt},
      {"\"\\300\"", std::nullopt},
      {"\"\\256\"", std::nullopt},
      {"\"\\12\"", std::nullopt},
      {"\"\\1\"", std::nullopt},
      {"\\12", std::nullopt},
      {"abc\\", std::nullopt},
  };
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(decodeEscapes(c.text), c.bytes) << "text: " << c.text;
  }
}

TEST(EncodeEscapes, Table) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"abc", "abc"},
      {"Great 8' ~!", "Great 8' ~!"},
      {"\x07", "\\007"},
      {"\xc8", "\\200"},
      {"\xff", "\\255"},
      {"\x7f", "\\127"},
      {"\t\n", "\\009\\010"},
      {"\0"s, "\\000"},
      {"a\\\"b", "a\\\"b"},
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(encodeEscapes(bytes), text);
  }
}

TEST(EncodeEscapes, DecodingTheEncodingGivesTheBytesBack) {
  // A backslash is printable and stays unescaped, so it cannot come back unchanged.
  std::string all;
  for (int b = 0; b < 256; ++b) {
    if (b != '\\') all += static_cast<char>(b);
  }
  EXPECT_EQ(decodeEscapes("\"" + encodeEscapes(all) + "\""), all);
}

}  // namespace
}  // namespace plenum
