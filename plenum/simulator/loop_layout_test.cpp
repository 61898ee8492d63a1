#include "plenum/simulator/loop_layout.h"

#include <gtest/gtest.h>

namespace plenum {
namespace {

TEST(LoopLayout, ModulesWithVersionsAndReportedTypes) {
  std::string error;
  const std::optional<LoopLayout> layout = parseLoopLayout("A:0x310, B, C:785/A, A/-", error);
  ASSERT_TRUE(layout) << error;
  ASSERT_EQ(layout->modules.size(), 4u);
  EXPECT_EQ(layout->modules[0].type, 'A');
  EXPECT_EQ(layout->modules[0].version, 0x310);
  EXPECT_EQ(layout->modules[1].reportedType, 'B');
  EXPECT_EQ(layout->modules[2].version, 785);
  EXPECT_EQ(layout->modules[2].reportedType, 'A');
  EXPECT_EQ(layout->modules[3].reportedType, '\0');
}

TEST(LoopLayout, OptionsAndFaults) {
  std::string error;
  const std::optional<LoopLayout> layout =
      parseLoopLayout("B,B,wire,burst,flash=50,lose=2,late=3:1200,corrupt=4,truncate=5,inputerror=6,failverify=7,"
                    "combi=1:8:40:16",
                    error);
  ASSERT_TRUE(layout) << error;
  EXPECT_TRUE(layout->wireSpeed);
  EXPECT_TRUE(layout->trafficBurst);
  EXPECT_EQ(layout->flashMs, 50);
  ASSERT_EQ(layout->faults.size(), 6u);
  EXPECT_EQ(layout->faults[0].kind, FaultKind::LoseReply);
  EXPECT_EQ(layout->faults[0].request, 2);
  EXPECT_EQ(layout->faults[1].kind, FaultKind::LateReply);
  EXPECT_EQ(layout->faults[1].delayMs, 1200);
  EXPECT_EQ(layout->faults[5].kind, FaultKind::FailVerify);
  EXPECT_EQ(layout->faults[5].request, 7);
  ASSERT_EQ(layout->registrations.size(), 1u);
  EXPECT_EQ(layout->registrations[0].banks, 8);
}

TEST(LoopLayout, WaitingInputIsShortMessagesInHex) {
  std::string error;
  const std::optional<LoopLayout> layout = parseLoopLayout("B,input=913c64:C005:fe:b0077F", error);
  ASSERT_TRUE(layout) << error;
  using Message = std::vector<std::uint8_t>;
  EXPECT_EQ(layout->waitingInput, (std::vector<Message>{Message{0x91, 0x3c, 0x64}, Message{0xc0, 0x05},
                                                        Message{0xfe}, Message{0xb0, 0x07, 0x7f}}));
}

TEST(LoopLayout, EmptyLoopIsWrittenOut) {
  std::string error;
  const std::optional<LoopLayout> layout = parseLoopLayout("empty", error);
  ASSERT_TRUE(layout) << error;
  EXPECT_TRUE(layout->modules.empty());
}

class BadLoopLayout : public ::testing::TestWithParam<const char*> {};

TEST_P(BadLoopLayout, IsRefusedWithAReason) {
  std::string error;
  EXPECT_FALSE(parseLoopLayout(GetParam(), error));
  EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(Malformed, BadLoopLayout,
                         ::testing::Values("", " ", "B,,B", "D", "b", "B:0x10000", "B:zz", "B/Q", "wire",
                                           "B,lose", "B,lose=0", "B,late=2:x", "B,wire=1", "B,speed",
                                           "empty,B", "B,combi=1:1:1:1", "A,combi=0:8:40:16",
                                           "B,flash=-1", "B,input=", "B,input=3c64", "B,input=913c6",
                                           "B,input=913c6400", "B,input=91:", "B,input=f07f", "B,input=9g00",
                                           "B,input=91+c"));

}  // namespace
}  // namespace plenum
