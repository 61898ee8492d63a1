#include "reply_port.h"

#include <algorithm>
#include <cstdio>

namespace plenum::fuzz {

namespace {

using Frame = std::vector<std::uint8_t>;

constexpr std::uint8_t kStart = 0xF0;
constexpr std::uint8_t kNorvo = 0x47;
constexpr std::uint8_t kEnd = 0xF7;
// Bytes of the information block that tell the registration what a module holds.
constexpr std::size_t kInfoSize = 50, kInfoPistons = 53, kInfoBanks = 54;

std::int64_t now = 0;

char hexDigit(int value) { return "0123456789ABCDEF"[value & 0xF]; }

bool isBlockLetter(std::uint8_t letter) {
  return letter == 'P' || letter == 'p' || letter == 'C' || letter == 'c' || letter == 'Y' ||
         letter == 'Z';
}

// A module's memory read: the eight request characters and 64 bytes as hex digits. The
// information blocks describe a small combination action so the registration gets going.
Frame memoryReadReply(const Frame& request) {
  Frame reply(request.begin(), request.begin() + std::min<std::size_t>(request.size() - 1, 10));
  const std::string address(request.begin() + 4, request.begin() + std::min<std::size_t>(request.size() - 1, 8));
  const bool infoBlock = address == "1ec0" || address == "e040";
  for (std::size_t i = 0; i < 64; ++i) {
    int value = static_cast<int>(i * 7 % 256);
    if (infoBlock) {
      value = i == kInfoSize ? 4 : i == kInfoPistons ? 8 : i == kInfoBanks ? 1 : 0;
    }
    reply.push_back(static_cast<std::uint8_t>(hexDigit(value >> 4)));
    reply.push_back(static_cast<std::uint8_t>(hexDigit(value)));
  }
  reply.push_back(kEnd);
  return reply;
}

// The reply a working loop of script().modules modules would send, or an empty frame when
// it would send none.
Frame soundReply(const Frame& request) {
  const ReplyScript& script = replyScript();
  if (request.size() < 4 || request[0] != kStart || request[1] != kNorvo) return request;
  const std::uint8_t first = request[2];
  if (first == 'L') return Frame{kStart, kNorvo, static_cast<std::uint8_t>('L' - script.modules), kEnd};
  if (first == '~') return request;
  const int module = first - 'N';
  if (module < 0 || module >= script.modules) return request;  // travels the loop
  const std::uint8_t command = request[3];
  Frame reply(request.begin(), request.end() - 1);
  if (command == 'V') {
    reply = {kStart, kNorvo, first, 'V', static_cast<std::uint8_t>(script.version >> 8 & 0x7F),
             static_cast<std::uint8_t>(script.version & 0x7F)};
    const char type = static_cast<std::size_t>(module) < script.types.size()
                          ? script.types[static_cast<std::size_t>(module)] : 'B';
    if (type != 'A') reply.push_back(static_cast<std::uint8_t>(type));
    reply.push_back(kEnd);
    return reply;
  }
  if (command == 'R' && request.size() >= 11) return memoryReadReply(request);
  if (isBlockLetter(command) || command == 'H' || command == 'E' || command == 'N') {
    reply.push_back('G');
    reply.push_back(kEnd);
    return reply;
  }
  return {};
}

}  // namespace

ReplyScript& replyScript() {
  static ReplyScript script;
  return script;
}

std::int64_t replyClock() { return ++now; }

void ReplyPort::deliver(const Frame& frame) {
  if (!frame.empty()) received_.pushSysex(frame.data(), frame.size());
}

int ReplyPort::sendSysex(const std::uint8_t* bytes, std::size_t length) {
  traceSending(bytes, length);
  const Frame request(bytes, bytes + length);
  Frame reply = soundReply(request);
  InputBytes* input = replyScript().input;
  if (input == nullptr || input->empty()) {
    deliver(reply);
    return 0;
  }
  const std::uint8_t choice = input->take();
  switch (choice % 16) {
    case 8:  // lost
      break;
    case 9:  // cut short
      if (!reply.empty()) reply.resize(input->take() % reply.size());
      deliver(reply);
      break;
    case 10:  // one byte changed
      if (!reply.empty()) reply[input->take() % reply.size()] = input->take();
      deliver(reply);
      break;
    case 11: {  // raw bytes, up to well beyond a receive buffer
      const std::size_t count = std::size_t{input->take()} * 2 + (choice >> 7);
      Frame raw;
      for (std::size_t i = 0; i < count && !input->empty(); ++i) raw.push_back(input->take());
      deliver(raw);
      break;
    }
    case 12:  // an input error as the reply comes
      signalError("MIM_ERROR");
      deliver(reply);
      break;
    case 13:  // a short message first
      received_.pushShort(std::uint32_t{input->take()} | std::uint32_t{input->take()} << 8);
      deliver(reply);
      break;
    case 14:  // the reply twice
      deliver(reply);
      deliver(reply);
      break;
    case 15:  // another status character
      if (reply.size() >= 2) reply[reply.size() - 2] = input->take();
      deliver(reply);
      break;
    default:
      deliver(reply);
  }
  return 0;
}

void ReplyPort::sendShort(const std::uint8_t*, std::size_t) {}

bool ReplyPort::pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                          int waitMs) {
  if (received_.popSysex(buffer, capacity, length, 0)) return true;
  now += std::int64_t{std::max(waitMs, 1)} * 1000;
  return false;
}

bool ReplyPort::pollShort(std::uint32_t& word) { return received_.popShort(word); }

}  // namespace plenum::fuzz
