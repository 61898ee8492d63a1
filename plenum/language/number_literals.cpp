#include "plenum/language/number_literals.h"

#include <cstdint>
#include <limits>

namespace plenum {

namespace {
constexpr std::int64_t Ceiling = std::numeric_limits<std::int32_t>::max();

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;  // the scanner's patterns let no other character through
}

// Once past the ceiling the value stays there, however many digits follow.
int saturatingValue(std::string_view digits, int base) {
  std::int64_t value = 0;
  for (char c : digits) {
    value = value * base + digitValue(c);
    if (value > Ceiling) return static_cast<int>(Ceiling);
  }
  return static_cast<int>(value);
}
}  // namespace

int decimalLiteralValue(std::string_view digits) { return saturatingValue(digits, 10); }

int hexLiteralValue(std::string_view digits) { return saturatingValue(digits, 16); }

}  // namespace plenum
