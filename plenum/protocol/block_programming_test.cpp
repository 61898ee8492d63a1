// Block program and verify requests and page-wise programming, against simulated modules.

#include "plenum/protocol/block_programming.h"

#include <gtest/gtest.h>

#include "plenum/protocol/testing/module_loop_fixture.h"
#include "plenum/runtime/exits.h"
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

TEST(HexDigitsOf, TwoLowerCaseDigitsPerByte) {
  EXPECT_EQ(hexDigitsOf(Bytes{0x00, 0x0A, 0xAB, 0xFF, 0x7F}), "000aabff7f");
  EXPECT_EQ(hexDigitsOf(Bytes{}), "");
}

TEST_F(BlockProgrammingTest, DigitsAreSentAsTheyStandInEitherCase) {
  useLoop("B");
  const BlockRequest request{0, BlockAction::Program, 'Y', 0x2000, "aB0fC1"};
  EXPECT_EQ(writeBlock(request, kRegistrationBlockRules), kStatusDone);
  EXPECT_EQ(writeBlock(request, kProgramBlockRules), kStatusDone);
  const auto requests = sentPayloads();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], "NY2000aB0fC1");
  EXPECT_EQ(requests[1], "NY2000aB0fC1");
  EXPECT_EQ(memoryOf(0, 0x2000, 3), (Bytes{0xAB, 0x0F, 0xC1}));
}

// Program pages and registration blocks take the same requests but judge the replies
// differently: a reply that does not echo the request ends a download, while a
// registration store only looks at the status byte and reports the failure itself.
TEST_F(BlockProgrammingTest, TheTwoRulesJudgeRepliesDifferently) {
  struct Case {
    const char* loop;
    BlockRules rules;
    char status;  // 0: the run ends
    int exitStatus;
    const char* output;
  };
  const Case cases[] = {
      {"B", kProgramBlockRules, 'G', -1, ""},
      {"B", kRegistrationBlockRules, 'G', -1, ""},
      // The reply loses its status byte: the run ends, or the last digit reads as the status.
      {"B,truncate=1", kProgramBlockRules, 0, 1, "Error!  Wrong message returned!\n"},
      {"B,truncate=1", kRegistrationBlockRules, '2', -1, ""},
      {"B,inputerror=1", kProgramBlockRules, kStatusExchangeFailed, -1,
       "WinMidi error: MIM_ERROR\nProgramming terminated due to error\n"},
      {"B,inputerror=1", kRegistrationBlockRules, kStatusExchangeFailed, -1, "WinMidi error: MIM_ERROR\n"},
  };
  for (const Case& c : cases) {
    useLoop(c.loop);
    char status = 0;
    const auto outcome = runCaptured(
        [&] { status = writeBlock({0, BlockAction::Program, 'Y', 0x2000, "0102"}, c.rules); });
    EXPECT_EQ(outcome.exitStatus, c.exitStatus) << c.loop;
    EXPECT_EQ(outcome.output, c.output) << c.loop;
    if (c.exitStatus == -1) {
      EXPECT_EQ(status, c.status) << c.loop;
    }
  }
}

TEST_F(BlockProgrammingTest, TheTwoTracesShowTheSameTraffic) {
  useLoop("B");
  settings().debugFlags = DebugPages | DebugProtocolDetail;
  const BlockRequest request{0, BlockAction::Verify, 'Z', 0x2000, "ab"};
  auto outcome = runCaptured([&] { writeBlock(request, kProgramBlockRules); });
  EXPECT_EQ(outcome.output, std::string("Verifying 0x2000\nSending:\nNZ2000ab\nThat's\n\xF0\x47NZ2000abN\xF7\n"));
  outcome = runCaptured([&] { writeBlock(request, kRegistrationBlockRules); });
  EXPECT_EQ(outcome.output, "Sending: NZ2000ab\nGot:     NZ2000abN\n");
}

TEST_F(BlockProgrammingTest, ABlockPastTheEndOfMemoryIsAProgramFault) {
  useLoop("B");
  EXPECT_THROW(writeBlock({0, BlockAction::Program, 'Y', 0xFFFF, "0102"}, kProgramBlockRules), ProgramBug);
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(writeBlock({0, BlockAction::Program, 'Y', 0xFFFE, "0102"}, kProgramBlockRules), kStatusDone);
}

TEST_F(BlockProgrammingTest, VerifyPagesComparesThePagesProgramPagesWritesAndWritesNothing) {
  useLoop("A");
  const Bytes data = counting(150);
  programPages(0, 0xE000, data, false, 'A');
  module(0).poke(0xE041, 0);  // second page
  module(0).poke(0xE095, 0);  // third, the short one
  clearSent();
  const std::vector<PageDifference> differing = verifyPages(0, 0xE000, data, false, 'A');
  ASSERT_EQ(differing.size(), 2u);
  EXPECT_EQ(differing[0].address, 0xE040u);
  EXPECT_EQ(differing[0].length, 64u);
  EXPECT_EQ(differing[0].status, 'N');
  EXPECT_EQ(differing[1].address, 0xE080u);
  EXPECT_EQ(differing[1].length, 22u);
  const auto requests = sentPayloads();
  ASSERT_EQ(requests.size(), 3u);
  for (const std::string& request : requests) EXPECT_EQ(request[1], 'Z') << request;
  EXPECT_EQ(requests[2].substr(0, 6), "NZe080");
  EXPECT_EQ(memoryOf(0, 0xE041, 1), Bytes{0});

  // Code commands and answers other than 'N' are passed on as they come.
  useLoop("A");
  const std::vector<PageDifference> refused = verifyPages(0, 0xE000, counting(10), true, 'B');
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused[0].status, 'E');
  const auto misaligned = runCaptured([&] { verifyPages(0, 0xE020, data, false, 'A'); });
  EXPECT_EQ(misaligned.exitStatus, 2);
}

}  // namespace
}  // namespace plenum
