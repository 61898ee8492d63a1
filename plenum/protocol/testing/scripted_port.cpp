#include "plenum/protocol/testing/scripted_port.h"

#include <algorithm>
#include <cstdio>

#include "plenum/midi/current_port.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace plenum::testing {

namespace {
std::int64_t scriptedTime = 0;
}

ScriptedPort::ScriptedPort() {
  respond = [](const Bytes& frame) { return std::vector<ScriptedReply>{{frame, 0}}; };
}

ScriptedPort::~ScriptedPort() = default;

std::int64_t ScriptedPort::now() { return scriptedTime; }

void ScriptedPort::advanceMs(int ms) { scriptedTime += ms * 1000LL; }

void ScriptedPort::deliverAt(Bytes frame, std::int64_t readyAt) {
  auto later = std::find_if(pending_.begin(), pending_.end(),
                            [readyAt](const Pending& p) { return p.readyAt > readyAt; });
  pending_.insert(later, Pending{std::move(frame), readyAt});
}

int ScriptedPort::sendSysex(const std::uint8_t* bytes, std::size_t length) {
  Bytes frame(bytes, bytes + length);
  sentSysex.push_back(frame);
  if (errorOnNextSend != nullptr) {
    signalError(errorOnNextSend);
    errorOnNextSend = nullptr;
  }
  for (ScriptedReply& reply : respond(frame)) {
    deliverAt(std::move(reply.frame), scriptedTime + reply.delayMs * 1000LL);
  }
  return 0;
}

void ScriptedPort::sendShort(const std::uint8_t* bytes, std::size_t length) {
  sentShort.emplace_back(bytes, bytes + length);
}

bool ScriptedPort::pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                             int waitMs) {
  const std::int64_t deadline = scriptedTime + waitMs * 1000LL;
  if (pending_.empty() || pending_.front().readyAt > deadline) {
    scriptedTime = deadline;
    return false;
  }
  scriptedTime = std::max(scriptedTime, pending_.front().readyAt);
  const Bytes& frame = pending_.front().frame;
  length = std::min(frame.size(), capacity);
  std::copy(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(length), buffer);
  pending_.pop_front();
  return true;
}

bool ScriptedPort::pollShort(std::uint32_t& word) {
  if (shorts_.empty()) return false;
  word = shorts_.front();
  shorts_.pop_front();
  return true;
}

ScriptedPort& installScriptedPort() {
  auto port = std::make_unique<ScriptedPort>();
  ScriptedPort& installed = *port;
  installCurrentPort(std::move(port));
  setExchangeClock(&ScriptedPort::now);
  return installed;
}

void ScriptedPortTest::SetUp() {
  resetSettings();
  moduleTypes().clear();
  port = &installScriptedPort();
}

void ScriptedPortTest::TearDown() {
  closeCurrentPort();
  setExchangeClock(nullptr);
  resetSettings();
  moduleTypes().clear();
}

Outcome runCaptured(const std::function<void()>& operation) {
  Outcome outcome;
  ::testing::internal::CaptureStdout();
  try {
    operation();
  } catch (const ExitRequest& request) {
    outcome.exitStatus = request.status;
  } catch (const TextException& exception) {
    outcome.exceptionText = exception.text;
  }
  std::fflush(stdout);
  outcome.output = ::testing::internal::GetCapturedStdout();
  return outcome;
}

Bytes frameOf(const std::string& text) {
  Bytes frame(text.size() + 3);
  frame[0] = kSysexStart;
  frame[1] = kNorvoId;
  std::copy(text.begin(), text.end(), frame.begin() + 2);
  frame.back() = kSysexEnd;
  return frame;
}

std::string payloadText(const Bytes& frame) {
  if (frame.size() < 3) return {};
  return std::string(frame.begin() + 2, frame.end() - 1);
}

Bytes withStatus(const Bytes& frame, char status) {
  Bytes reply = frame;
  reply.insert(reply.end() - 1, static_cast<std::uint8_t>(status));
  return reply;
}

}  // namespace plenum::testing
