// Counting the modules, asking their versions and types, and the simple chain actions,
// against simulated modules.

#include "plenum/protocol/chain_inquiry.h"

#include <gtest/gtest.h>

#include "plenum/midi/current_port.h"
#include "plenum/protocol/chain_control.h"
#include "plenum/protocol/testing/module_loop_fixture.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

using testing::runCaptured;

class ChainInquiryTest : public testing::ModuleLoopTest {};

TEST_F(ChainInquiryTest, ReportsEveryModuleOfAMixedLoop) {
  useLoop("A:0x310,B:0x322");
  const auto outcome = runCaptured([] { reportModuleVersions(); });
  EXPECT_EQ(outcome.output,
            "plenum.exe: Version A.3.2.2\n"
            "Module 0: Type A Firmware version A.3.1.0\n"
            "Module 1: Type B Firmware version A.3.2.2\n");
  EXPECT_EQ(outcome.exitStatus, -1);
}

TEST_F(ChainInquiryTest, ShowsTheHintOnlyWhenTheLastTwoDigitsAreZero) {
  useLoop("C:0x2310,B:0x2300,A:0x1000/-");
  const auto outcome = runCaptured([] { reportModuleVersions(); });
  EXPECT_EQ(outcome.output,
            "plenum.exe: Version A.3.2.2\n"
            "Module 0: Type C Firmware version C.3.1.0\n"
            "Module 1: Type B Firmware version C.3.0.0\n"
            "\tThe last two digits of the version will appear after Downloading\n"
            "Module 2: Type A Firmware version B.0.0.0\n"
            "\tThe last two digits of the version will appear after Downloading\n");
}

TEST_F(ChainInquiryTest, AnEmptyLoopHasNoModules) {
  useLoop("empty");
  EXPECT_EQ(runCaptured([] { reportModuleVersions(); }).output, "plenum.exe: Version A.3.2.2\n");
  currentPort();
  EXPECT_EQ(countModules(false), 0);
}

TEST_F(ChainInquiryTest, CountFailuresEndTheRunUnlessQuiet) {
  struct Case {
    const char* loop;
    bool quiet;
    const char* output;
    int status;
  };
  const Case cases[] = {
      {"B,B,truncate=1", false, "Unexpected length 3\n", 2},
      {"B,B,truncate=1", true, "", -1},
      {"B,B,inputerror=1", false, "WinMidi error: MIM_ERROR\nError sending sysex...\n", 2},
      {"B,B,inputerror=1", true, "", -1},
  };
  for (const Case& c : cases) {
    useLoop(c.loop);
    int count = -1;
    const auto outcome = runCaptured([&] {
      currentPort();
      count = countModules(c.quiet);
    });
    EXPECT_EQ(outcome.output, c.output) << c.loop << c.quiet;
    EXPECT_EQ(outcome.exitStatus, c.status) << c.loop << c.quiet;
    if (c.quiet) {
      EXPECT_EQ(count, 0) << c.loop;
    }
  }
}

TEST_F(ChainInquiryTest, VersionRepliesGiveTypeAndFailuresAreTextExceptions) {
  struct Case {
    const char* loop;
    int version;
    char type;
    const char* exception;
  };
  const Case cases[] = {
      {"B:0x322", 0x322, 'B', ""},
      {"C:0x1234", 0x1234, 'C', ""},
      {"B/-", 0x310, 'A', ""},           // seven bytes: no type letter
      {"B,truncate=1", 0x310, 'A', ""},  // the type byte lost: seven bytes again
      {"B/-,truncate=1", 0, 0, "Improper response to V"},
      {"B,inputerror=1", 0, 0, "Error sending/receiving sysex"},
      {"B,lose=1", 0, 0, "Timeout waiting for sysex response\nPlease check your MIDI connections"},
  };
  for (const Case& c : cases) {
    useLoop(c.loop);
    char type = 0;
    int version = -1;
    const auto outcome = runCaptured([&] { version = queryVersion(0, type); });
    EXPECT_EQ(outcome.exceptionText, c.exception) << c.loop;
    if (*c.exception == '\0') {
      EXPECT_EQ(version, c.version) << c.loop;
      EXPECT_EQ(type, c.type) << c.loop;
    }
  }
}

TEST_F(ChainInquiryTest, ALateReplyCountsUntilTheTimeout) {
  struct Case {
    const char* loop;
    bool answered;
  };
  const Case cases[] = {{"B,late=1:990", true}, {"B,late=1:999", true}, {"B,late=1:1001", false}};
  for (const Case& c : cases) {
    useLoop(c.loop);
    char type = 0;
    const auto outcome = runCaptured([&] { queryVersion(0, type); });
    EXPECT_EQ(outcome.exceptionText.empty(), c.answered) << c.loop;
    EXPECT_EQ(type, c.answered ? 'B' : 0) << c.loop;
  }
  // When the late reply has come in by the next exchange, that exchange reports it and
  // waits for its own.
  testing::ScriptedPort::advanceMs(100);
  const auto next = runCaptured([] { EXPECT_EQ(countModules(false), 1); });
  EXPECT_EQ(next.output, "Got unexpected sysex: 0xf0 0x47 0x4e 0x56 0x03 0x10 0x42 0xf7\n");
}

TEST_F(ChainInquiryTest, TypesAreStoredByTheDefinitionModuleThatEachLoopModuleReceives) {
  useLoop("A,C");
  learnModuleTypes(1);
  // Definition module 1 goes to loop module 0, definition module 2 to loop module 1.
  EXPECT_EQ(moduleTypeOf(1), 'A');
  EXPECT_EQ(moduleTypeOf(2), 'C');
  EXPECT_EQ(modulePageSize(1), 64);
  EXPECT_EQ(modulePageSize(2), 128);

  learnModuleTypes(-1);
  EXPECT_EQ(moduleTypeOf(0), 'A');
  EXPECT_EQ(moduleTypeOf(1), 'C');

  // A loop that does not answer the count leaves nothing of an earlier answer behind.
  useLoop("A,C,truncate=1");
  learnModuleTypes(0);
  EXPECT_EQ(moduleTypeOf(0), 'B');
  EXPECT_EQ(moduleTypeOf(1), 'B');
}

TEST_F(ChainInquiryTest, AssumingTypeBAsksNothing) {
  useLoop("A,A");
  settings().assumeTypeB = true;
  EXPECT_EQ(runCaptured([] { learnModuleTypes(0); }).output, "Assuming all modules type B\n");
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(moduleTypeOf(0), 'B');
  EXPECT_EQ(moduleTypeOf(1), 'B');
}

TEST_F(ChainInquiryTest, HaltAndExecuteGoToOneModuleOrToAll) {
  useLoop("B,B");
  broadcastCommand(3, "E");
  EXPECT_EQ(sentPayloads(), (std::vector<std::string>{"QE"}));
  clearSent();
  broadcastCommand(-1, "H");
  EXPECT_EQ(sentPayloads(), (std::vector<std::string>{"L", "NH", "OH"}));
  EXPECT_FALSE(module(0).running());
  EXPECT_FALSE(module(1).running());
  // The commands' replies are off the input: the next exchange sees only its own.
  clearSent();
  const auto outcome = runCaptured([] { EXPECT_EQ(countModules(false), 2); });
  EXPECT_EQ(outcome.output, "");
}

TEST_F(ChainInquiryTest, ACommandWhoseReplyIsLostIsNoFailure) {
  useLoop("B,B,lose=2");
  const auto outcome = runCaptured([] { broadcastCommand(-1, "E"); });
  EXPECT_EQ(outcome.output, "");
  EXPECT_EQ(outcome.exitStatus, -1);
  EXPECT_EQ(outcome.exceptionText, "");
  EXPECT_EQ(sentPayloads(), (std::vector<std::string>{"L", "NE", "OE"}));
}

TEST_F(ChainInquiryTest, ResetSendsOneSystemResetByte) {
  useLoop("B");
  sendSystemReset();
  auto& port = static_cast<testing::ScriptedPort&>(currentPort());
  ASSERT_EQ(port.sentShort.size(), 1u);
  EXPECT_EQ(port.sentShort[0], (Bytes{0xFF}));
  EXPECT_TRUE(sent.empty());
}

TEST(FirmwareVersionText, ShowsALetterAndThreeDigits) {
  EXPECT_EQ(formatFirmwareVersion(0x1234), "B.2.3.4");
  EXPECT_EQ(formatFirmwareVersion(0x0310), "A.3.1.0");
  EXPECT_EQ(formatFirmwareVersion(0xF00F), "P.0.0.15");
}

}  // namespace
}  // namespace plenum
