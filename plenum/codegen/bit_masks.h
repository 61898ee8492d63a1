#pragma once
// Byte and bit arithmetic of the record builders. Input and output numbers are 1-based
// and a setter may have let a bad one through (after reporting it), so every helper is
// defined for every int: shifts never go outside a byte, division rounds down.

#include <climits>

namespace plenum {

// Division and remainder rounding towards minus infinity: floorMod is never negative.
constexpr int floorDiv(int value, int divisor) {
  int quotient = value / divisor;
  return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}
constexpr int floorMod(int value, int divisor) { return value - floorDiv(value, divisor) * divisor; }

// 1 << bit, bit 0 the least significant; no bits for a bit outside the byte.
constexpr int bitMask(int bit) { return bit >= 0 && bit < 8 ? 1 << bit : 0; }
// 0x80 >> bit: output bits count from the most significant bit of a byte.
constexpr int bitFromTop(int bit) { return bit >= 0 && bit < 8 ? 0x80 >> bit : 0; }
// The bits from bit up to bit 7 (0xFF << bit, kept to 8 bits).
constexpr int maskFrom(int bit) { return bit >= 0 && bit < 8 ? (0xFF << bit) & 0xFF : 0; }
// The bits from bit 0 up to bit (0xFF >> (7 - bit)).
constexpr int maskUpTo(int bit) { return bit >= 0 && bit < 8 ? 0xFF >> (7 - bit) : 0; }

// The largest number that count binary inputs give (2 to the power count, minus 1).
constexpr int binaryTop(int count) {
  if (count <= 0) return 0;
  return count >= 31 ? INT_MAX : (1 << count) - 1;
}

}  // namespace plenum
