#include "tirasse/core/memory_range.h"

#include <algorithm>

#include "tirasse/core/unicode_text.h"

namespace tirasse {

int clampMemoryNumber(const std::string& text) {
  // Read the leading number the way a user means "12 " or "12abc"; saturate long digit runs
  // instead of overflowing.
  const std::string trimmed = trimmedText(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < trimmed.size() && (trimmed[i] == '-' || trimmed[i] == '+')) {
    negative = trimmed[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < trimmed.size() && trimmed[i] >= '0' && trimmed[i] <= '9'; ++i) {
    value = std::min<long long>(value * 10 + (trimmed[i] - '0'), 1000);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, kFirstMemory, kLastMemory));
}

MemoryRange afterFromEdited(const std::string& from, const std::string& through) {
  MemoryRange range{clampMemoryNumber(from), clampMemoryNumber(through)};
  range.through = std::max(range.through, range.from);
  return range;
}

MemoryRange afterThroughEdited(const std::string& from, const std::string& through) {
  // Same outcome as editing "from": the end that moves is always "through".
  return afterFromEdited(from, through);
}

}  // namespace tirasse
