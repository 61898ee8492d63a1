#include "plenum/protocol/loop_diagnostic.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "plenum/midi/current_port.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {

constexpr std::uint16_t kPolynomial = 0x8005;
constexpr int kDataBytes = 64;
constexpr std::size_t kFrameOverhead = 3;  // 0xF0 0x47 ... 0xF7

std::uint16_t feedBit(std::uint16_t crc, bool bit) {
  const bool top = (crc & 0x8000) != 0;
  crc = static_cast<std::uint16_t>(crc << 1);
  return top != bit ? static_cast<std::uint16_t>(crc ^ kPolynomial) : crc;
}

// The reply without 0xF0 0x47 in front and 0xF7 at the end.
Bytes framePayload(const Bytes& frame) {
  if (frame.size() < kFrameOverhead) return {};
  return Bytes(frame.begin() + 2, frame.end() - 1);
}

Bytes randomTestPayload() {
  Bytes data;
  data.reserve(kDataBytes + 2);
  for (int i = 0; i < kDataBytes; ++i) {
    data.push_back(static_cast<std::uint8_t>(std::rand() & 0x7F));
  }
  appendLoopCrc(data);
  const std::uint8_t command[] = {'~', 'D'};
  data.insert(data.begin(), std::begin(command), std::end(command));
  return data;
}

void reportDifferences(long long remaining, const Bytes& sent, const Bytes& received) {
  if (received.size() != sent.size()) {
    std::printf("%4lld: Returned string has %d characters: Expected %d\n", remaining,
                static_cast<int>(received.size()), static_cast<int>(sent.size()));
  }
  if (received == sent) return;
  std::printf("%4lld: Strings differ...\n", remaining);
  if (!settings().debug(DebugProtocolDetail)) return;
  std::printf("char sent  recd\n");
  const std::size_t common = std::min(sent.size(), received.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (sent[i] != received[i]) {
      std::printf("%4d:  %02x  %02x\n", static_cast<int>(i), sent[i], received[i]);
    }
  }
  std::printf("\n");
}

}  // namespace

std::uint16_t loopCrc(const Bytes& bytes, int lastLowBit) {
  std::uint16_t crc = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int lowBit = i + 1 == bytes.size() ? lastLowBit : 0;
    for (int bit = 6; bit >= lowBit; --bit) crc = feedBit(crc, (bytes[i] >> bit) & 1);
  }
  return crc;
}

void appendLoopCrc(Bytes& bytes) {
  if (bytes.empty()) throw ProgramBug{"loop_diagnostic:empty"};
  const std::uint16_t crc = loopCrc(bytes, 2);
  bytes.back() = static_cast<std::uint8_t>((bytes.back() & 0x7C) | (crc >> 14));
  bytes.push_back(static_cast<std::uint8_t>((crc >> 7) & 0x7F));
  bytes.push_back(static_cast<std::uint8_t>(crc & 0x7F));
}

void loopDiagnostic(int count) {
  currentPort();
  // A negative count repeats until Ctrl-C (or a fault) ends the run; its passes go on
  // counting down below zero, and there is nothing "to go".
  const bool endless = count < 0;
  for (long long remaining = count; remaining != 0;) {
    if (!endless && remaining % 100 == 0) std::printf("%lld to go\n", remaining);
    const Bytes payload = randomTestPayload();
    Bytes reply;
    const int result = exchangeText(payload, reply, false);
    --remaining;
    if (result != kExchangeOk) {
      std::printf("%4lld: Exiting early...\n", remaining);
      exitWith(1);
    }
    reportDifferences(remaining, payload, framePayload(reply));
  }
}

}  // namespace plenum
