#pragma once
// Escapes inside quoted strings: a backslash and three decimal digits stand for one byte
// (0 to 255); a backslash and any other character stand for that character.

#include <optional>
#include <string>
#include <string_view>

namespace plenum {

// The bytes a STRING token's text stands for, without its enclosing double quotes.
// Empty when an escape is malformed: a backslash and a digit not followed by two more
// digits, a value above 255, or a backslash at the very end.
std::optional<std::string> decodeEscapes(std::string_view text);

// The text that prints the bytes back: printable characters (space to '~') as they are,
// every other byte as a backslash and three decimal digits.
std::string encodeEscapes(std::string_view bytes);

}  // namespace plenum
