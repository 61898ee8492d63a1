#include "plenum/protocol/sysex_exchange.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "plenum/language/diagnostics.h"
#include "plenum/midi/current_port.h"
#include "plenum/runtime/exit_handlers.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {

// Short waits on the port between checks of the clock and of the short-message queue.
// The port blocks on its own, so waiting costs no CPU.
constexpr int kPollWaitMs = 5;
constexpr int kReprogrammingTries = 20;
constexpr int kHighestModule = 0x7F - 'N';

std::uint8_t replyBuffer[kSysexBufferSize];
std::size_t replyBufferLength = 0;

std::int64_t steadyMicroseconds() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

MicrosecondClock exchangeClock = steadyMicroseconds;

// Whole milliseconds between two clock readings, counted as seconds times 1000 plus the
// difference of the microsecond parts divided by 1000.
int elapsedMs(std::int64_t from, std::int64_t to) {
  const std::int64_t seconds = to / 1000000 - from / 1000000;
  const std::int64_t micros = to % 1000000 - from % 1000000;
  return static_cast<int>(seconds * 1000 + micros / 1000);
}

void printBytes(const std::uint8_t* bytes, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) std::printf(" 0x%02x", bytes[i]);
  std::printf("\n");
}

void reportUnexpectedShort(std::uint32_t word) {
  std::printf("Got unexpected data: %s\n", Midi::describeShort(word));
}

// Whatever is waiting before a request is sent is stale: report it and throw it away, so
// a late reply to an earlier request is never taken for the reply to this one.
void drainStaleInput(Midi& port, bool quiet) {
  std::uint32_t word = 0;
  while (port.pollShort(word)) reportUnexpectedShort(word);
  port.takeError(quiet);
  std::size_t length = 0;
  while (port.pollSysex(replyBuffer, sizeof replyBuffer, length, 0)) {
    std::printf("Got unexpected sysex:");
    printBytes(replyBuffer, length);
  }
  replyBufferLength = 0;
}

void traceReceived() {
  if (!settings().debug(DebugSysexReceived)) return;
  std::printf("Got sysex\n");
  printBytes(replyBuffer, replyBufferLength);
}

// Waits for one SysEx into the reply buffer. Returns false when none came within the
// timeout. Every input error seen while waiting sets *inputError.
bool awaitReply(Midi& port, bool quiet, bool* inputError) {
  const std::int64_t start = exchangeClock();
  for (;;) {
    const int elapsed = elapsedMs(start, exchangeClock());
    if (elapsed > kReplyTimeoutMs) return false;
    serviceInterrupt();
    std::uint32_t word = 0;
    if (port.pollShort(word)) reportUnexpectedShort(word);
    if (port.takeError(quiet)) *inputError = true;
    const int wait = std::clamp(kReplyTimeoutMs + 1 - elapsed, 1, kPollWaitMs);
    if (port.pollSysex(replyBuffer, sizeof replyBuffer, replyBufferLength, wait)) {
      // Short messages and errors that came while the poll waited are reported before
      // the reply is handled, not left for the next exchange (or lost after the last).
      while (port.pollShort(word)) reportUnexpectedShort(word);
      if (port.takeError(quiet)) *inputError = true;
      traceReceived();
      return true;
    }
  }
}

Bytes addressed(int module, std::string_view text) {
  Bytes request;
  request.reserve(text.size() + 1);
  request.push_back(moduleAddressByte(module));
  request.insert(request.end(), text.begin(), text.end());
  return request;
}

int hexDigitValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::uint8_t moduleAddressByte(int module) {
  if (module < 0 || module > kHighestModule) {
    throw TextException(formatText("Module number %d is out of range (0 to %d)", module,
                                   kHighestModule));
  }
  return static_cast<std::uint8_t>('N' + module);
}

void frameAndSend(const std::uint8_t* payload, std::size_t length) {
  if (length > kMaxPayload) {
    std::printf("Sorry, found a sysex that was too long\n");
    exitWith(1);
  }
  std::uint8_t frame[kMaxPayload + 3];
  frame[0] = kSysexStart;
  frame[1] = kNorvoId;
  std::copy(payload, payload + length, frame + 2);
  frame[length + 2] = kSysexEnd;
  currentPort().sendSysex(frame, length + 3);
}

int exchange(const std::uint8_t* payload, std::size_t length, const std::uint8_t*& reply,
             std::size_t& replyLength, bool quiet) {
  Midi& port = currentPort();
  drainStaleInput(port, quiet);
  if (settings().debug(DebugSysexSent)) {
    std::printf("Sending sysex\n%.*s\n", static_cast<int>(length),
                reinterpret_cast<const char*>(payload));
  }
  frameAndSend(payload, length);
  bool inputError = false;
  if (!awaitReply(port, quiet, &inputError)) throw TextException(kTimeoutText);
  reply = replyBuffer;
  replyLength = replyBufferLength;
  return inputError ? kExchangeInputError : kExchangeOk;
}

int exchangeText(const Bytes& request, Bytes& reply, bool quiet) {
  const std::uint8_t* received = nullptr;
  std::size_t receivedLength = 0;
  const int result = exchange(request.data(), request.size(), received, receivedLength, quiet);
  if (result == kExchangeOk) reply.assign(received, received + receivedLength);
  return result;
}

void sendCommand(int module, std::string_view text) {
  Midi& port = currentPort();
  const int target = std::max(module, 0);
  Bytes frame{kSysexStart, kNorvoId, moduleAddressByte(target)};
  frame.insert(frame.end(), text.begin(), text.end());
  frame.push_back(kSysexEnd);
  if (settings().debug(DebugSysexSent)) {
    std::printf("Sending sysex: %.*s to module %d\n", static_cast<int>(text.size()),
                text.data(), target);
  }
  port.sendSysex(frame.data(), frame.size());
}

void discardCommandReplies(int count) {
  Midi& port = currentPort();
  for (int taken = 0; taken < count; ++taken) {
    bool inputError = false;  // of no consequence: nothing was asked of the replies
    if (!awaitReply(port, true, &inputError)) return;
  }
  replyBufferLength = 0;
}

int commandAndWait(int module, std::string_view text, bool quiet) {
  Bytes reply;
  exchangeText(addressed(module, text), reply, quiet);
  return 0;
}

int addressedExchange(int module, std::string_view text, Bytes& reply) {
  return exchangeText(addressed(module, text), reply, false);
}

int waitForReprogramming(int module) {
  const Bytes request = addressed(module, "N");
  Midi& port = currentPort();
  drainStaleInput(port, true);
  for (int attempt = 0; attempt < kReprogrammingTries; ++attempt) {
    if (settings().debug(DebugSysexSent)) {
      std::printf("Sending sysex '%.2s'\n", reinterpret_cast<const char*>(request.data()));
    }
    frameAndSend(request.data(), request.size());
    bool inputError = false;  // taken quietly and of no consequence here
    if (awaitReply(port, true, &inputError)) return 0;
  }
  return 1;
}

int parseHex(std::span<const std::uint8_t> text, std::size_t position, std::size_t count) {
  if (position > text.size() || count > text.size() - position) return -1;
  int value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const int digit = hexDigitValue(text[position + i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

int parseHex(std::string_view text, std::size_t position, std::size_t count) {
  return parseHex(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                  position, count);
}

void setExchangeClock(MicrosecondClock clock) {
  exchangeClock = clock != nullptr ? clock : steadyMicroseconds;
}

}  // namespace plenum
