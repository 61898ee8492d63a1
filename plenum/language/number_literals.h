#pragma once
// Values of the number tokens. Both saturate at 2147483647 instead of wrapping, so an
// oversized number still fails the range check of whatever statement receives it.

#include <string_view>

namespace plenum {

// One or more decimal digits; leading zeros do not make it octal.
int decimalLiteralValue(std::string_view digits);

// One or more hexadecimal digits of either case, without the "0x".
int hexLiteralValue(std::string_view digits);

}  // namespace plenum
