#include "tirasse/core/unicode_text.h"

namespace tirasse {

char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  int length = 0;
  char32_t value = 0;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    value = lead & 0x07;
  }
  if (length == 0 || pos + static_cast<std::size_t>(length) > text.size()) {
    ++pos;
    return lead;
  }
  for (int i = 1; i < length; ++i) {
    const unsigned char next = byte(pos + static_cast<std::size_t>(i));
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return lead;
    }
    value = (value << 6) | (next & 0x3F);
  }
  pos += static_cast<std::size_t>(length);
  return value;
}

bool isUnicodeSpace(char32_t c) {
  switch (c) {
    case 0x20: case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D:
    case 0x85: case 0xA0: case 0x1680: case 0x2028: case 0x2029: case 0x202F:
    case 0x205F: case 0x3000:
      return true;
    default:
      return c >= 0x2000 && c <= 0x200A;
  }
}

std::string trimmedText(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = 0;  // just past the last code point that is no space
  bool seen = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t at = pos;
    if (!isUnicodeSpace(nextCodePoint(text, pos))) {
      if (!seen) begin = at;
      seen = true;
      end = pos;
    }
  }
  return seen ? std::string(text.substr(begin, end - begin)) : std::string();
}

}  // namespace tirasse
