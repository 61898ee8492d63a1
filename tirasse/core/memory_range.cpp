#include "tirasse/core/memory_range.h"

#include <algorithm>

namespace tirasse {

int clampMemoryNumber(const QString& text) {
  // Read the leading number the way a user means "12 " or "12abc"; saturate long digit runs
  // instead of overflowing.
  const QString trimmed = text.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < trimmed.size() && (trimmed[i] == QLatin1Char('-') || trimmed[i] == QLatin1Char('+'))) {
    negative = trimmed[i] == QLatin1Char('-');
    ++i;
  }
  long long value = 0;
  for (; i < trimmed.size() && trimmed[i].isDigit(); ++i) {
    value = std::min<long long>(value * 10 + trimmed[i].digitValue(), 1000);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, kFirstMemory, kLastMemory));
}

MemoryRange afterFromEdited(const QString& from, const QString& through) {
  MemoryRange range{clampMemoryNumber(from), clampMemoryNumber(through)};
  range.through = std::max(range.through, range.from);
  return range;
}

MemoryRange afterThroughEdited(const QString& from, const QString& through) {
  // Same outcome as editing "from": the end that moves is always "through".
  return afterFromEdited(from, through);
}

}  // namespace tirasse
