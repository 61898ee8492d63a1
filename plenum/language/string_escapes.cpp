#include "plenum/language/string_escapes.h"

namespace plenum {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::optional<std::string> decodeEscapes(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes += text[i];
      continue;
    }
    if (i + 1 >= text.size()) return std::nullopt;
    if (!isDigit(text[i + 1])) {
      bytes += text[i + 1];
      ++i;
      continue;
    }
    if (i + 3 >= text.size() || !isDigit(text[i + 2]) || !isDigit(text[i + 3])) {
      return std::nullopt;
    }
    int value = (text[i + 1] - '0') * 100 + (text[i + 2] - '0') * 10 + (text[i + 3] - '0');
    if (value > 255) return std::nullopt;
    bytes += static_cast<char>(value);
    i += 3;
  }
  // An escaped closing quote still counts as the closing quote.
  if (bytes.size() >= 2 && bytes.front() == '"' && bytes.back() == '"') {
    bytes = bytes.substr(1, bytes.size() - 2);
  }
  return bytes;
}

std::string encodeEscapes(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte <= 0x7E) {
      text += c;
      continue;
    }
    text += '\\';
    text += static_cast<char>('0' + byte / 100);
    text += static_cast<char>('0' + byte / 10 % 10);
    text += static_cast<char>('0' + byte % 10);
  }
  return text;
}

}  // namespace plenum
