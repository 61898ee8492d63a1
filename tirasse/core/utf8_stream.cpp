#include "tirasse/core/utf8_stream.h"

namespace tirasse {

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";

// How many bytes the sequence that starts with `lead` has; 0 for a byte no sequence
// starts with.
std::size_t sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Whether byte `index` (1-based within the sequence) may follow `lead`: the ranges that
// leave out overlong forms, surrogates and code points past U+10FFFF.
bool fits(unsigned char lead, std::size_t index, unsigned char byte) {
  if (index == 1) {
    if (lead == 0xE0) return byte >= 0xA0 && byte <= 0xBF;
    if (lead == 0xED) return byte >= 0x80 && byte <= 0x9F;
    if (lead == 0xF0) return byte >= 0x90 && byte <= 0xBF;
    if (lead == 0xF4) return byte >= 0x80 && byte <= 0x8F;
  }
  return byte >= 0x80 && byte <= 0xBF;
}

}  // namespace

std::string Utf8Stream::decode(const std::string& bytes) {
  const std::string input = pending_ + bytes;
  pending_.clear();
  std::string text;
  std::size_t pos = 0;
  while (pos < input.size()) {
    const auto lead = static_cast<unsigned char>(input[pos]);
    const std::size_t length = sequenceLength(lead);
    if (length == 0) {
      text += kReplacement;
      ++pos;
      continue;
    }
    std::size_t good = 1;
    while (good < length && pos + good < input.size() &&
           fits(lead, good, static_cast<unsigned char>(input[pos + good]))) {
      ++good;
    }
    if (good == length) {
      text.append(input, pos, length);
      pos += length;
    } else if (pos + good == input.size()) {
      pending_ = input.substr(pos);  // cut by the end of the piece: wait for the rest
      break;
    } else {
      text += kReplacement;  // a broken sequence stands for one replacement character
      pos += good;
    }
  }
  return text;
}

}  // namespace tirasse
