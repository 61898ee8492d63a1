#pragma once
// For tests: a Midi port whose replies are scripted by the test and whose time is a
// counter that only moves while the exchange waits on the port. Tests of timeouts thus
// never depend on how busy the machine is.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plenum/midi/midi.h"
#include "plenum/protocol/sysex_exchange.h"

namespace plenum::testing {

struct ScriptedReply {
  Bytes frame;
  int delayMs = 0;  // after the request was sent
};

class ScriptedPort : public Midi {
 public:
  // Answers each sent SysEx frame; by default the frame comes back unchanged at once, as
  // from a loop without modules.
  using Responder = std::function<std::vector<ScriptedReply>(const Bytes& sentFrame)>;

  ScriptedPort();
  ~ScriptedPort() override;

  // The scripted time, in microseconds; the exchange's clock while the port is installed.
  static std::int64_t now();
  // Lets scripted time pass, as between two operations.
  static void advanceMs(int ms);

  int sendSysex(const std::uint8_t* bytes, std::size_t length) override;
  void sendShort(const std::uint8_t* bytes, std::size_t length) override;
  bool pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                 int waitMs) override;
  bool pollShort(std::uint32_t& word) override;

  // Input that is already waiting before the next request.
  void queueSysex(Bytes frame) { deliverAt(std::move(frame), now()); }
  void queueShort(std::uint32_t word) { shorts_.push_back(word); }
  // An input error signalled by the driver.
  void raiseInputError(const char* text) { signalError(text); }

  Responder respond;
  // Raised (once) when the next request is sent, as if it had met an input error.
  const char* errorOnNextSend = nullptr;

  std::vector<Bytes> sentSysex;
  std::vector<Bytes> sentShort;

 private:
  struct Pending {
    Bytes frame;
    std::int64_t readyAt;
  };
  // Keeps pending_ in order of arrival time.
  void deliverAt(Bytes frame, std::int64_t readyAt);
  std::deque<Pending> pending_;
  std::deque<std::uint32_t> shorts_;
};

// Installs a fresh ScriptedPort as the current port and returns it (owned by the port
// holder); the exchange clock follows the scripted time from now on.
ScriptedPort& installScriptedPort();

// A test with default settings, no module types and a fresh scripted current port; the
// real clock is back afterwards.
class ScriptedPortTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  ScriptedPort* port = nullptr;
};

// What an operation printed and how it ended.
struct Outcome {
  std::string output;
  int exitStatus = -1;         // from ExitRequest; -1 when it returned
  std::string exceptionText;   // from TextException; empty when none
};

// Runs `operation`, capturing standard output and the ways a run ends.
Outcome runCaptured(const std::function<void()>& operation);

// The frame 0xF0 0x47 <text> 0xF7.
Bytes frameOf(const std::string& text);

// The payload of a frame as text (without 0xF0 0x47 and 0xF7).
std::string payloadText(const Bytes& frame);

// A program/verify reply: the request frame with `status` before the final 0xF7.
Bytes withStatus(const Bytes& frame, char status);

}  // namespace plenum::testing
