// The loop data test: its CRC stream and what it reports for a clean and a faulty loop.

#include "plenum/protocol/loop_diagnostic.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "plenum/protocol/testing/module_loop_fixture.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

using testing::runCaptured;

TEST(LoopCrc, MatchesTheKnownValuesAndClosesTheStream) {
  struct Case {
    Bytes data;
    Bytes tail;
  };
  Bytes fortyHex(64, 0x40);
  Bytes counting;
  for (int i = 1; i <= 64; ++i) counting.push_back(static_cast<std::uint8_t>(i));
  // CRCs 0x87F3 and 0xC40C.
  const Case cases[] = {{fortyHex, {0x42, 0x0F, 0x73}}, {counting, {0x43, 0x08, 0x0C}}};
  for (const Case& c : cases) {
    Bytes bytes = c.data;
    appendLoopCrc(bytes);
    ASSERT_EQ(bytes.size(), 66u);
    EXPECT_EQ(Bytes(bytes.end() - 3, bytes.end()), c.tail);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end() - 3), Bytes(c.data.begin(), c.data.end() - 1));
    // Data and CRC bits together: the same CRC over all of them is 0.
    EXPECT_EQ(loopCrc(bytes, 0), 0);
  }
}

class LoopDiagnosticTest : public testing::ModuleLoopTest {};

TEST_F(LoopDiagnosticTest, ACleanLoopReportsNothingAndCountsDownByHundreds) {
  useLoop("B,B");
  const auto clean = runCaptured([] { loopDiagnostic(250); });
  EXPECT_EQ(clean.output, "200 to go\n100 to go\n");
  EXPECT_EQ(clean.exitStatus, -1);
  ASSERT_EQ(sent.size(), 250u);
  for (const Bytes& frame : sent) {
    ASSERT_EQ(frame.size(), 71u);
    EXPECT_EQ(frame[2], '~');
    EXPECT_EQ(frame[3], 'D');
    for (std::size_t i = 2; i + 1 < frame.size(); ++i) EXPECT_LT(frame[i], 0x80);
    EXPECT_EQ(loopCrc(Bytes(frame.begin() + 4, frame.end() - 1), 0), 0);
  }
  clearSent();
  EXPECT_EQ(runCaptured([] { loopDiagnostic(0); }).output, "");
  EXPECT_TRUE(sent.empty());
}

TEST_F(LoopDiagnosticTest, ACorruptedByteIsShownWithDebugBit80) {
  useLoop("B,corrupt=2");
  settings().debugFlags = DebugProtocolDetail;
  const auto outcome = runCaptured([] { loopDiagnostic(3); });
  ASSERT_EQ(sent.size(), 3u);
  // The loop inverts the low bit of the middle byte of the second reply's payload.
  const Bytes payload(sent[1].begin() + 2, sent[1].end() - 1);
  const std::size_t middle = (payload.size() - 1) / 2;
  char line[64];
  std::snprintf(line, sizeof line, "%4d:  %02x  %02x\n", static_cast<int>(middle), payload[middle],
                payload[middle] ^ 1);
  EXPECT_EQ(outcome.output, std::string("   1: Strings differ...\nchar sent  recd\n") + line + "\n");
  EXPECT_EQ(outcome.exitStatus, -1);
}

TEST_F(LoopDiagnosticTest, LengthDifferencesAreReportedAndTheTestGoesOn) {
  useLoop("B,truncate=1");
  const auto outcome = runCaptured([] { loopDiagnostic(2); });
  EXPECT_EQ(outcome.output,
            "   1: Returned string has 67 characters: Expected 68\n   1: Strings differ...\n");
  EXPECT_EQ(sent.size(), 2u);
}

TEST_F(LoopDiagnosticTest, AnInputErrorEndsTheTestEarly) {
  useLoop("B,inputerror=2");
  const auto outcome = runCaptured([] { loopDiagnostic(5); });
  EXPECT_EQ(outcome.output, "WinMidi error: MIM_ERROR\n   3: Exiting early...\n");
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_EQ(sent.size(), 2u);
}

TEST_F(LoopDiagnosticTest, ACountOfMinusOneRepeatsUntilSomethingStopsIt) {
  // Nothing but a fault (or Ctrl-C, or the front end's Stop) ends it: here the 500th reply
  // never comes. No "to go" lines: there is no count to go.
  useLoop("B,lose=500");
  const auto outcome = runCaptured([] { loopDiagnostic(-1); });
  EXPECT_EQ(sent.size(), 500u);
  EXPECT_EQ(outcome.output, "");
  EXPECT_EQ(outcome.exceptionText,
            "Timeout waiting for sysex response\nPlease check your MIDI connections");
}

TEST_F(LoopDiagnosticTest, ALostMessageIsATimeout) {
  useLoop("B,lose=1");
  const auto outcome = runCaptured([] { loopDiagnostic(5); });
  EXPECT_EQ(outcome.exceptionText,
            "Timeout waiting for sysex response\nPlease check your MIDI connections");
}

}  // namespace
}  // namespace plenum
