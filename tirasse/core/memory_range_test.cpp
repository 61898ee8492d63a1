#include "tirasse/core/memory_range.h"

#include <gtest/gtest.h>

namespace tirasse {
namespace {

TEST(MemoryRange, BoxTextIsLimitedToTheMemories) {
  struct Case {
    const char* text;
    int expected;
  } cases[] = {{"0", 0},   {"127", 127}, {"128", 127}, {"-4", 0},     {"", 0},
               {"abc", 0}, {" 12 ", 12}, {"12abc", 12}, {"99999999999999999999", 127}};
  for (const Case& c : cases) EXPECT_EQ(clampMemoryNumber(c.text), c.expected) << c.text;
}

TEST(MemoryRange, LeavingFromRaisesThrough) {
  const MemoryRange range = afterFromEdited("10", "5");
  EXPECT_EQ(range.from, 10);
  EXPECT_EQ(range.through, 10);
  EXPECT_EQ(range.count(), 1);
  const MemoryRange kept = afterFromEdited("3", "5");
  EXPECT_EQ(kept.from, 3);
  EXPECT_EQ(kept.through, 5);
  const MemoryRange limited = afterFromEdited("200", "5");
  EXPECT_EQ(limited.from, 127);
  EXPECT_EQ(limited.through, 127);
}

TEST(MemoryRange, LeavingThroughRaisesItToFrom) {
  const MemoryRange range = afterThroughEdited("10", "5");
  EXPECT_EQ(range.from, 10);
  EXPECT_EQ(range.through, 10);
  const MemoryRange limited = afterThroughEdited("0", "500");
  EXPECT_EQ(limited.through, 127);
  EXPECT_EQ(limited.count(), 128);
}

}  // namespace
}  // namespace tirasse
