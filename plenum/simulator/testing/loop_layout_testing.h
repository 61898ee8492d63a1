#pragma once
// Test support: the loop that a PLENUM_LOOP text describes. A text that does not parse
// fails the calling test and gives a loop without modules.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "plenum/simulator/loop_layout.h"

namespace plenum::testing_support {

inline LoopLayout layoutOf(std::string_view text) {
  std::string error;
  std::optional<LoopLayout> layout = parseLoopLayout(text, error);
  EXPECT_TRUE(layout) << text << ": " << error;
  return layout.value_or(LoopLayout{});
}

}  // namespace plenum::testing_support
