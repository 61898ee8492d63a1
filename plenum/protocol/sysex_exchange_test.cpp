#include "plenum/protocol/sysex_exchange.h"

#include <gtest/gtest.h>

#include <memory>

#include "plenum/midi/current_port.h"
#include "plenum/protocol/testing/scripted_port.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

using testing::frameOf;
using testing::payloadText;
using testing::runCaptured;
using testing::ScriptedReply;

class SysexExchangeTest : public testing::ScriptedPortTest {
 protected:
  // Every request is answered by `reply` after `delayMs`.
  void answerWith(const Bytes& reply, int delayMs = 0) {
    port->respond = [reply, delayMs](const Bytes&) {
      return std::vector<ScriptedReply>{{reply, delayMs}};
    };
  }
  void answerNothing() {
    port->respond = [](const Bytes&) { return std::vector<ScriptedReply>{}; };
  }
};

TEST_F(SysexExchangeTest, FramesUpToTheLongestPayloadAndRefusesLonger) {
  const Bytes longest(kMaxPayload, 'a');
  frameAndSend(longest.data(), longest.size());
  ASSERT_EQ(port->sentSysex.size(), 1u);
  const Bytes& frame = port->sentSysex[0];
  ASSERT_EQ(frame.size(), 350u);
  EXPECT_EQ(frame.front(), 0xF0);
  EXPECT_EQ(frame[1], 0x47);
  EXPECT_EQ(frame[2], 'a');
  EXPECT_EQ(frame[348], 'a');
  EXPECT_EQ(frame.back(), 0xF7);

  const Bytes tooLong(kMaxPayload + 1, 'a');
  const auto outcome = runCaptured([&] { frameAndSend(tooLong.data(), tooLong.size()); });
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_EQ(outcome.output, "Sorry, found a sysex that was too long\n");
  EXPECT_EQ(port->sentSysex.size(), 1u);
}

TEST_F(SysexExchangeTest, TakesTheFirstSysexAfterTheRequestAsItsReply) {
  answerWith(frameOf("Lx"));
  Bytes reply{1, 2, 3};
  EXPECT_EQ(exchangeText(Bytes{'L'}, reply, false), kExchangeOk);
  EXPECT_EQ(reply, frameOf("Lx"));
  ASSERT_EQ(port->sentSysex.size(), 1u);
  EXPECT_EQ(port->sentSysex[0], frameOf("L"));
}

TEST_F(SysexExchangeTest, AcceptsRepliesUpToTheTimeoutAndRefusesLaterOnes) {
  struct Case {
    int delayMs;
    bool accepted;
  };
  for (const Case& c : {Case{0, true}, Case{990, true}, Case{999, true}, Case{1001, false},
                        Case{1500, false}}) {
    answerWith(frameOf("ok"), c.delayMs);
    Bytes reply;
    const auto outcome = runCaptured([&] { exchangeText(Bytes{'L'}, reply, false); });
    if (c.accepted) {
      EXPECT_EQ(outcome.exceptionText, "") << c.delayMs;
      EXPECT_EQ(reply, frameOf("ok")) << c.delayMs;
    } else {
      EXPECT_EQ(outcome.exceptionText,
                "Timeout waiting for sysex response\nPlease check your MIDI connections")
          << c.delayMs;
      EXPECT_TRUE(reply.empty()) << c.delayMs;
    }
    port = &testing::installScriptedPort();
  }
}

TEST_F(SysexExchangeTest, ALateReplyIsReportedByTheNextExchangeAndNotTakenAsItsReply) {
  answerWith(frameOf("late"), 1200);
  Bytes reply;
  EXPECT_EQ(runCaptured([&] { exchangeText(Bytes{'L'}, reply, false); }).exceptionText,
            kTimeoutText);
  testing::ScriptedPort::advanceMs(300);
  answerWith(frameOf("fresh"), 5);
  const auto outcome = runCaptured([&] { exchangeText(Bytes{'L'}, reply, false); });
  EXPECT_EQ(reply, frameOf("fresh"));
  EXPECT_EQ(outcome.output, "Got unexpected sysex: 0xf0 0x47 0x6c 0x61 0x74 0x65 0xf7\n");
}

TEST_F(SysexExchangeTest, ReportsAndDiscardsStaleInputBeforeTheRequest) {
  port->queueShort(0x003C90);
  port->queueSysex(frameOf("old"));
  port->raiseInputError("MIM_ERROR");
  answerWith(frameOf("new"));
  Bytes reply;
  const auto outcome = runCaptured([&] { EXPECT_EQ(exchangeText(Bytes{'L'}, reply, false), 0); });
  EXPECT_EQ(reply, frameOf("new"));
  EXPECT_EQ(outcome.output,
            "Got unexpected data: 003c90 C  1 N  60 On  V   0 (Off)\n"
            "WinMidi error: MIM_ERROR\n"
            "Got unexpected sysex: 0xf0 0x47 0x6f 0x6c 0x64 0xf7\n");
}

TEST_F(SysexExchangeTest, ReportsShortMessagesArrivingWhileWaiting) {
  port->respond = [this](const Bytes&) {
    port->queueShort(0x05CF);
    return std::vector<ScriptedReply>{{frameOf("r"), 50}};
  };
  Bytes reply;
  const auto outcome = runCaptured([&] { exchangeText(Bytes{'L'}, reply, false); });
  EXPECT_EQ(outcome.output, "Got unexpected data:   05cf C 16 Program Change   5\n");
  EXPECT_EQ(reply, frameOf("r"));
}

// A port on which a note arrives during the blocking wait for the reply, just before it.
class NoteBeforeReplyPort : public testing::ScriptedPort {
 public:
  bool pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                 int waitMs) override {
    if (!ScriptedPort::pollSysex(buffer, capacity, length, waitMs)) return false;
    queueShort(0x403C90);
    return true;
  }
};

TEST_F(SysexExchangeTest, ShortMessagesFromTheBlockingWaitArePrintedBeforeTheReply) {
  installCurrentPort(std::make_unique<NoteBeforeReplyPort>());
  settings().debugFlags = DebugSysexReceived;
  Bytes reply;
  const auto outcome = runCaptured([&] { exchangeText(Bytes{'L'}, reply, false); });
  EXPECT_EQ(outcome.output,
            "Got unexpected data: 403c90 C  1 N  60 On  V  64\n"
            "Got sysex\n 0xf0 0x47 0x4c 0xf7\n");
  EXPECT_EQ(reply, frameOf("L"));
}

TEST_F(SysexExchangeTest, AnInputErrorWhileWaitingGivesResultTwoAndKeepsTheOldReply) {
  for (bool quiet : {false, true}) {
    port->errorOnNextSend = "MIM_LONGERROR";
    answerWith(frameOf("r"), 10);
    Bytes reply{9};
    int result = -1;
    const auto outcome = runCaptured([&] { result = exchangeText(Bytes{'L'}, reply, quiet); });
    EXPECT_EQ(result, kExchangeInputError);
    EXPECT_EQ(reply, Bytes{9});
    EXPECT_EQ(outcome.output, quiet ? "" : "WinMidi error: MIM_LONGERROR\n");
  }
}

TEST_F(SysexExchangeTest, TracesSentAndReceivedSysexWithDebugBits) {
  settings().debugFlags = DebugSysexSent | DebugSysexReceived;
  answerWith(frameOf("Lk"));
  Bytes reply;
  const auto outcome = runCaptured([&] { exchangeText(Bytes{'L', 'k'}, reply, false); });
  EXPECT_EQ(outcome.output, "Sending sysex\nLk\nGot sysex\n 0xf0 0x47 0x4c 0x6b 0xf7\n");
}

TEST_F(SysexExchangeTest, AddressesCommandsToModules) {
  Bytes reply;
  EXPECT_EQ(addressedExchange(2, "V", reply), 0);
  EXPECT_EQ(commandAndWait(0, "H", false), 0);
  answerNothing();
  sendCommand(-1, "E");
  sendCommand(3, "E");
  ASSERT_EQ(port->sentSysex.size(), 4u);
  EXPECT_EQ(payloadText(port->sentSysex[0]), "PV");
  EXPECT_EQ(payloadText(port->sentSysex[1]), "NH");
  EXPECT_EQ(payloadText(port->sentSysex[2]), "NE");
  EXPECT_EQ(payloadText(port->sentSysex[3]), "QE");
  EXPECT_EQ(reply, frameOf("PV"));
}

TEST_F(SysexExchangeTest, SendCommandTracesWithDebugBitTwo) {
  settings().debugFlags = DebugSysexSent;
  answerNothing();
  const auto outcome = runCaptured([] { sendCommand(-4, "H"); });
  EXPECT_EQ(outcome.output, "Sending sysex: H to module 0\n");
}

TEST_F(SysexExchangeTest, CommandAndWaitIgnoresInputErrors) {
  port->errorOnNextSend = "MIM_ERROR";
  int result = -1;
  runCaptured([&] { result = commandAndWait(1, "E", false); });
  EXPECT_EQ(result, 0);
}

TEST_F(SysexExchangeTest, RefusesModuleNumbersThatDoNotMakeADataByte) {
  EXPECT_EQ(moduleAddressByte(0), 'N');
  EXPECT_EQ(moduleAddressByte(49), 0x7F);
  answerNothing();
  for (int module : {50, 169, 1000}) {
    const auto outcome = runCaptured([&] { sendCommand(module, "E"); });
    EXPECT_EQ(outcome.exceptionText,
              "Module number " + std::to_string(module) + " is out of range (0 to 49)");
  }
  EXPECT_TRUE(port->sentSysex.empty());
}

TEST_F(SysexExchangeTest, WaitForReprogrammingTriesTwentyTimes) {
  answerNothing();
  int result = -1;
  runCaptured([&] { result = waitForReprogramming(1); });
  EXPECT_EQ(result, 1);
  ASSERT_EQ(port->sentSysex.size(), 20u);
  EXPECT_EQ(payloadText(port->sentSysex[19]), "ON");
}

TEST_F(SysexExchangeTest, WaitForReprogrammingSucceedsOnTheFirstAnswer) {
  int tries = 0;
  port->respond = [&tries](const Bytes&) {
    return ++tries < 3 ? std::vector<ScriptedReply>{}
                       : std::vector<ScriptedReply>{{frameOf("here"), 400}};
  };
  port->queueSysex(frameOf("stale"));
  settings().debugFlags = DebugSysexSent;
  int result = -1;
  const auto outcome = runCaptured([&] { result = waitForReprogramming(0); });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(tries, 3);
  EXPECT_EQ(outcome.output,
            "Got unexpected sysex: 0xf0 0x47 0x73 0x74 0x61 0x6c 0x65 0xf7\n"
            "Sending sysex 'NN'\nSending sysex 'NN'\nSending sysex 'NN'\n");
}

TEST(ParseHex, ReadsHexDigitsOfEitherCase) {
  struct Case {
    const char* text;
    std::size_t position;
    std::size_t count;
    int value;
  };
  const Case cases[] = {
      {"7F", 0, 2, 127},   {"7f", 0, 2, 127},   {"x1e80", 1, 4, 0x1E80},
      {"7g", 0, 2, -1},    {"g7", 0, 2, -1},    {"12", 1, 2, -1},
      {"12", 3, 1, -1},    {"", 0, 0, 0},       {"AbCd", 0, 4, 0xABCD},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseHex(std::string_view(c.text), c.position, c.count), c.value) << c.text;
  }
  const Bytes bytes{'0', '4', '0'};
  EXPECT_EQ(parseHex(bytes, 1, 2), 0x40);
}

}  // namespace
}  // namespace plenum
