#include "plenum/simulator/simulated_module.h"

#include <algorithm>
#include <cstdio>

namespace plenum {

namespace {

// The executive's top block and, but on type C, its low block.
bool isExecutiveAddress(std::uint32_t address, char type) {
  return address >= kExecutiveTop || (type != 'C' && address >= kExecutiveLowBlock && address < kExecutiveLowLimit);
}

// Stands in for an executive when its firmware file is not at hand: fixed, and unlike
// both erased (0xFF) and blank (0x00) memory.
std::uint8_t executivePattern(std::uint32_t address) {
  return static_cast<std::uint8_t>((address * 31u + (address >> 8) * 7u + 0x5Au) & 0xFFu);
}

int hexDigit(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

long hexValue(const std::uint8_t* digits, std::size_t count) {
  long value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const int d = hexDigit(digits[i]);
    if (d < 0) return -1;
    value = value * 16 + d;
  }
  return value;
}

FirmwareShelf FirmwareShelf::fromCurrentDirectory() {
  FirmwareShelf shelf;
  shelf.relayB = readFirmwareSegments("nvrelay6.obf");
  shelf.relayA = readFirmwareSegments("nvrelayi.obf");
  for (const char* name : {"flashold.obf", "flashexec.obf"}) {
    std::optional<std::vector<FirmwareSegment>> flasher = readFirmwareSegments(name);
    if (!flasher) continue;
    // Only the code below the executive's top block is programmed into a module.
    std::vector<FirmwareSegment> code;
    for (FirmwareSegment& segment : *flasher) {
      if (segment.address >= kExecutiveTop) continue;
      if (segment.address + segment.bytes.size() > kExecutiveTop) segment.bytes.resize(kExecutiveTop - segment.address);
      code.push_back(std::move(segment));
    }
    if (!code.empty()) shelf.flashers.push_back(std::move(code));
  }
  return shelf;
}

SimulatedModule::SimulatedModule(const SimulatedModuleLayout& layout, const FirmwareShelf& shelf)
    : layout_(layout), shelf_(shelf) {
  for (std::uint32_t a = 0; a < kMemorySize; ++a)
    if (isExecutiveAddress(a, layout.type)) memory_[a] = executivePattern(a);
  if (layout.type == 'B' && shelf.relayB) load(*shelf.relayB, true);
  if (layout.type == 'A' && shelf.relayA) load(*shelf.relayA, true);
}

void SimulatedModule::load(const std::vector<FirmwareSegment>& segments, bool executiveOnly) {
  for (const FirmwareSegment& segment : segments)
    for (std::size_t i = 0; i < segment.bytes.size(); ++i) {
      const std::uint32_t address = segment.address + static_cast<std::uint32_t>(i);
      if (address >= kMemorySize) break;
      if (!executiveOnly || isExecutiveAddress(address, layout_.type)) memory_[address] = segment.bytes[i];
    }
}

void SimulatedModule::installRegistration(const PresetRegistration& registration) {
  const std::uint32_t info = registrationInfoAddress();
  memory_[info + 50] = static_cast<std::uint8_t>(registration.size);
  memory_[info + 53] = static_cast<std::uint8_t>(registration.pistons);
  memory_[info + 54] = static_cast<std::uint8_t>(registration.banks - 1);
  // Bank k ends at base - k * bank size; give every byte a value that tells bank and place.
  const std::uint32_t bankBytes = static_cast<std::uint32_t>(registration.pistons * registration.size);
  const std::uint32_t base = registrationBase();
  // A type A module keeps a marker that says its registration area has been initialised.
  if (layout_.type == 'A') {
    memory_[kRegistrationMarker] = 0xF0;
    memory_[kRegistrationMarker + 1] = 0x00;
  }
  for (int bank = 0; bank < registration.banks; ++bank) {
    const std::uint32_t start = base - (static_cast<std::uint32_t>(bank) + 1) * bankBytes;
    for (std::uint32_t i = 0; i < bankBytes; ++i)
      memory_[start + i] = static_cast<std::uint8_t>((bank * 16 + i) & 0xFF);
  }
}

bool SimulatedModule::takeFlasherStarted() {
  const bool started = flasherStarted_;
  flasherStarted_ = false;
  return started;
}

// 0xF0, 0x47, the request payload, the status 'G', 0xF7.
Frame SimulatedModule::reply(const std::uint8_t* payload, std::size_t length) const {
  // Sized at once: growing the vector by insert misleads GCC 12 at -O3 into array-bounds
  // warnings.
  Frame frame(length + 4);
  frame[0] = 0xF0;
  frame[1] = 0x47;
  std::copy(payload, payload + length, frame.begin() + 2);
  frame[length + 2] = 'G';
  frame[length + 3] = 0xF7;
  return frame;
}

std::optional<Frame> SimulatedModule::answer(const std::uint8_t* payload, std::size_t length) {
  if (length < 2) return std::nullopt;
  switch (payload[1]) {
    case 'V':
      return versionReply(payload);
    case 'H':
      running_ = false;
      return reply(payload, length);
    case 'E':
      return execute(payload, length);
    case 'N':
      return reply(payload, length);
    case 'P':
    case 'p':
    case 'C':
    case 'c':
    case 'Y':
    case 'Z':
      return blockReply(payload, length);
    case 'R':
      return readReply(payload, length);
    default:
      return std::nullopt;  // an executive ignores what it does not know
  }
}

// 0xF0, 0x47, address, 'V', version high, version low, [type letter], 0xF7.
std::optional<Frame> SimulatedModule::versionReply(const std::uint8_t* payload) const {
  Frame frame{0xF0, 0x47, payload[0], 'V', static_cast<std::uint8_t>(layout_.version >> 8),
              static_cast<std::uint8_t>(layout_.version & 0xFF)};
  if (layout_.reportedType != '\0') frame.push_back(static_cast<std::uint8_t>(layout_.reportedType));
  frame.push_back(0xF7);
  return frame;
}

// Program or verify: address hhhh, then two hex digits per byte. The status is 'G' when
// done, 'N' when a verify finds other bytes, 'E' when the request makes no sense to this
// module (bad digits, past the end of memory, a code letter of another module type).
Frame SimulatedModule::blockReply(const std::uint8_t* payload, std::size_t length) {
  Frame frame = reply(payload, length);
  std::uint8_t& status = frame[frame.size() - 2];
  const char letter = static_cast<char>(payload[1]);
  const bool verify = letter == 'C' || letter == 'c' || letter == 'Z';
  const bool typeBCode = letter == 'p' || letter == 'c';
  const bool otherCode = letter == 'P' || letter == 'C';
  const long address = length >= 6 ? hexValue(payload + 2, 4) : -1;
  const std::size_t digits = length >= 6 ? length - 6 : 0;
  if (address < 0 || digits % 2 != 0 || (typeBCode && layout_.type != 'B') || (otherCode && layout_.type == 'B')) {
    status = 'E';
    return frame;
  }
  const std::size_t count = digits / 2;
  if (static_cast<std::size_t>(address) + count > kMemorySize) {
    status = 'E';
    return frame;
  }
  std::vector<std::uint8_t> data(count);
  for (std::size_t i = 0; i < count; ++i) {
    const long value = hexValue(payload + 6 + 2 * i, 2);
    if (value < 0) {
      status = 'E';
      return frame;
    }
    data[i] = static_cast<std::uint8_t>(value);
  }
  if (verify) {
    if (!std::equal(data.begin(), data.end(), memory_.begin() + address)) status = 'N';
  } else {
    std::copy(data.begin(), data.end(), memory_.begin() + address);
  }
  return frame;
}

// Read: address hhhh, count hh; the reply is the 8 request characters followed by two
// hex digits per byte.
std::optional<Frame> SimulatedModule::readReply(const std::uint8_t* payload, std::size_t length) const {
  if (length != 8) return std::nullopt;
  const long address = hexValue(payload + 2, 4);
  const long count = hexValue(payload + 6, 2);
  // The reply must fit the 350-byte frame: 2 + 8 + 2 * count + 1.
  if (address < 0 || count < 0 || 11 + 2 * count > 350) return std::nullopt;
  Frame frame{0xF0, 0x47};
  frame.insert(frame.end(), payload, payload + length);
  char digits[3];
  for (long i = 0; i < count; ++i) {
    std::snprintf(digits, sizeof digits, "%02X", memory_[static_cast<std::size_t>((address + i) & 0xFFFF)]);
    frame.push_back(static_cast<std::uint8_t>(digits[0]));
    frame.push_back(static_cast<std::uint8_t>(digits[1]));
  }
  frame.push_back(0xF7);
  return frame;
}

// Execute starts the user program, unless the code area holds a flasher: then the flasher
// runs at once and the executive, being replaced, does not answer.
std::optional<Frame> SimulatedModule::execute(const std::uint8_t* payload, std::size_t length) {
  for (const std::vector<FirmwareSegment>& flasher : shelf_.flashers) {
    if (!holdsFlasher(flasher)) continue;
    runFlasher(flasher);
    flasherStarted_ = true;
    return std::nullopt;
  }
  running_ = true;
  return reply(payload, length);
}

bool SimulatedModule::holdsFlasher(const std::vector<FirmwareSegment>& flasher) const {
  for (const FirmwareSegment& segment : flasher)
    for (std::size_t i = 0; i < segment.bytes.size(); ++i)
      if (memory_[(segment.address + i) & 0xFFFF] != segment.bytes[i]) return false;
  return true;
}

// The flasher installs the template and (except on type A) the snippet written beside it,
// then clears itself away so that the next execute starts a user program again.
void SimulatedModule::runFlasher(const std::vector<FirmwareSegment>& flasher) {
  // Taken before the flasher clears itself, in case its code shares addresses with them.
  std::array<std::uint8_t, kExecutiveTopSize> top{};
  std::array<std::uint8_t, kExecutiveLowBlockSize> snippet{};
  std::copy_n(memory_.begin() + kExecutiveTopCopy, kExecutiveTopSize, top.begin());
  std::copy_n(memory_.begin() + kExecutiveLowBlockCopy, kExecutiveLowBlockSize, snippet.begin());
  for (const FirmwareSegment& segment : flasher)
    for (std::size_t i = 0; i < segment.bytes.size(); ++i) memory_[(segment.address + i) & 0xFFFF] = 0xFF;
  std::copy(top.begin(), top.end(), memory_.begin() + kExecutiveTop);
  if (layout_.type != 'A') std::copy(snippet.begin(), snippet.end(), memory_.begin() + kExecutiveLowBlock);
  running_ = false;
}

}  // namespace plenum
