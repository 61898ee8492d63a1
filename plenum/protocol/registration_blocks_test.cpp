// The helpers the registration fetch and store share: the progress numbers and the
// reply text of the debug trace.

#include <gtest/gtest.h>

#include <string>

#include "plenum/protocol/registration_blocks.h"
#include "plenum/protocol/testing/scripted_port.h"

namespace plenum {
namespace {

using testing::runCaptured;

TEST(BlockProgressTest, NumbersEveryThirtySecondBlockAndEndsTheLineOnlyAfterOne) {
  const struct {
    long blocks;
    std::string printed;
  } cases[] = {
      {0, ""},
      {1, ""},
      {31, ""},
      {32, " 1\n"},
      {63, " 1\n"},
      {64, " 1 2\n"},
      {97, " 1 2 3\n"},
  };
  for (const auto& c : cases) {
    const testing::Outcome out = runCaptured([&] {
      BlockProgress progress;
      for (long b = 0; b < c.blocks; ++b) progress.step();
      progress.finish();
    });
    EXPECT_EQ(out.output, c.printed) << c.blocks << " blocks";
  }
}

TEST(FramePayloadTest, KeepsTheTextBetweenHeaderAndEnd) {
  EXPECT_EQ(framePayload(testing::frameOf("@Y1000G")), "@Y1000G");
  EXPECT_EQ(framePayload(testing::frameOf("")), "");
  EXPECT_EQ(framePayload(Bytes{0xF0, 0x47}), "");
  EXPECT_EQ(framePayload(Bytes{}), "");
}

}  // namespace
}  // namespace plenum
