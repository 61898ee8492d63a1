// Block program and verify requests and page-wise programming, against simulated modules.

#include "plenum/protocol/block_programming.h"

#include <gtest/gtest.h>

#include "plenum/protocol/testing/module_loop_fixture.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

using testing::runCaptured;

class BlockProgrammingTest : public testing::ModuleLoopTest {};

Bytes counting(std::size_t length) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return bytes;
}

TEST(BlockCommandLetter, FollowsActionCodeCommandsAndType) {
  struct Case {
    BlockAction action;
    bool codeCommands;
    char type;
    char letter;
  };
  const Case cases[] = {
      {BlockAction::Program, true, 'B', 'p'},  {BlockAction::Verify, true, 'B', 'c'},
      {BlockAction::Program, true, 'A', 'P'},  {BlockAction::Verify, true, 'A', 'C'},
      {BlockAction::Program, true, 'C', 'P'},  {BlockAction::Verify, true, 'C', 'C'},
      {BlockAction::Program, false, 'B', 'Y'}, {BlockAction::Verify, false, 'A', 'Z'},
      {BlockAction::Program, false, 0, 'Y'},   {BlockAction::Verify, false, 0, 'Z'},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(blockCommandLetter(c.action, c.codeCommands, c.type), c.letter)
        << c.codeCommands << c.type;
  }
}

TEST_F(BlockProgrammingTest, SplitsTwoHundredBytesOnTypeBIntoPagesOf128And72) {
  useLoop("B");
  const Bytes data = counting(200);
  EXPECT_EQ(programPages(0, 0x1E80, data, false, 'B'), 0);
  const auto requests = sentPayloads();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].substr(0, 6), "NY1e80");
  EXPECT_EQ(requests[0].size(), 6u + 2 * 128);
  EXPECT_EQ(requests[1].substr(0, 6), "NY1f00");
  EXPECT_EQ(requests[1].size(), 6u + 2 * 72);
  EXPECT_EQ(requests[0].substr(6, 4), "0108");  // lower-case hex, two digits a byte
  EXPECT_EQ(memoryOf(0, 0x1E80, 200), data);
}

TEST_F(BlockProgrammingTest, TypeAPagesAre64BytesAndStartOnTheirOwnBoundaries) {
  useLoop("A");
  const Bytes data = counting(130);
  EXPECT_EQ(programPages(0, 0xE040, data, false, 'A'), 0);
  const auto requests = sentPayloads();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].substr(0, 6), "NYe040");
  EXPECT_EQ(requests[1].substr(0, 6), "NYe080");
  EXPECT_EQ(requests[2].substr(0, 6), "NYe0c0");
  EXPECT_EQ(requests[2].size(), 6u + 2 * 2);
  EXPECT_EQ(memoryOf(0, 0xE040, 130), data);

  clearSent();
  const auto misaligned = runCaptured([&] { programPages(0, 0xE020, data, false, 'A'); });
  EXPECT_EQ(misaligned.output, "Bug! Programming must start at page boundary\n");
  EXPECT_EQ(misaligned.exitStatus, 2);
  EXPECT_TRUE(sent.empty());
  // 64 is a boundary on type A but not on the others.
  const auto onB = runCaptured([&] { programPages(0, 0xE040, data, false, 'B'); });
  EXPECT_EQ(onB.exitStatus, 2);
}

TEST_F(BlockProgrammingTest, EmptyDataSendsNothing) {
  useLoop("B");
  EXPECT_EQ(programPages(0, 0x1E80, Bytes{}, false, 'B'), 0);
  EXPECT_TRUE(sent.empty());
}

TEST_F(BlockProgrammingTest, ShowsPagesAndStatusesWithDebugBitFour) {
  useLoop("B");
  settings().debugFlags = DebugPages;
  const auto outcome = runCaptured([] { programPages(0, 0x1E80, counting(130), false, 'B'); });
  EXPECT_EQ(outcome.output, "Programming 0x1e80\nG\nProgramming 0x1f00\nG\n");
}

TEST_F(BlockProgrammingTest, ShowsRequestAndReplyWithDebugBit80) {
  useLoop("B");
  settings().debugFlags = DebugProtocolDetail;
  const auto outcome = runCaptured(
      [] { EXPECT_EQ(programBlock(0, 0x1234, Bytes{0xAB}, BlockAction::Verify, false, 0), 'N'); });
  EXPECT_EQ(outcome.output, std::string("Sending:\nNZ1234ab\nThat's\n\xF0\x47NZ1234abN\xF7\n"));
}

TEST_F(BlockProgrammingTest, VerifyReturnsTheModulesStatus) {
  useLoop("B,failverify=2");
  const Bytes data = counting(16);
  programPages(0, 0x2000, data, false, 'B');
  EXPECT_EQ(programBlock(0, 0x2000, data, BlockAction::Verify, false, 0), 'G');
  EXPECT_EQ(programBlock(0, 0x2000, data, BlockAction::Verify, false, 0), 'N');  // the fault
  module(0).poke(0x2005, 0);
  EXPECT_EQ(programBlock(0, 0x2000, data, BlockAction::Verify, false, 0), 'N');
}

TEST_F(BlockProgrammingTest, APageTheModuleRefusesEndsTheDownload) {
  // 'p' is the code letter of type B; a type A module answers 'E'.
  useLoop("A");
  const auto outcome = runCaptured([] { programPages(0, 0xE800, counting(64), true, 'B'); });
  EXPECT_EQ(outcome.output, "\nFailure downloading program\n");
  EXPECT_EQ(outcome.exitStatus, 2);
}

TEST_F(BlockProgrammingTest, AReplyOfTheWrongLengthEndsTheRun) {
  useLoop("B,truncate=1");
  const auto outcome =
      runCaptured([] { programBlock(0, 0x2000, Bytes{1, 2}, BlockAction::Program, false, 0); });
  EXPECT_EQ(outcome.output, "Error!  Wrong message returned!\n");
  EXPECT_EQ(outcome.exitStatus, 1);
}

TEST_F(BlockProgrammingTest, AnInputErrorTerminatesTheBlock) {
  useLoop("B,inputerror=1");
  char status = 0;
  const auto outcome = runCaptured(
      [&] { status = programBlock(0, 0x2000, Bytes{1}, BlockAction::Program, false, 0); });
  EXPECT_EQ(status, kStatusExchangeFailed);
  EXPECT_EQ(outcome.output, "WinMidi error: MIM_ERROR\nProgramming terminated due to error\n");
}

}  // namespace
}  // namespace plenum
