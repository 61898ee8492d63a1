#pragma once
// One simulated Norvo module: type letter, executive version, 64 KiB of memory and the
// halted/running state, answering the requests addressed to it with the replies a real
// executive gives.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "plenum/runtime/memory_map.h"
#include "plenum/simulator/firmware_segments.h"
#include "plenum/simulator/loop_layout.h"

namespace plenum {

using Frame = std::vector<std::uint8_t>;

// Firmware the modules know about, read once from the current directory.
struct FirmwareShelf {
  std::optional<std::vector<FirmwareSegment>> relayB;  // nvrelay6.obf
  std::optional<std::vector<FirmwareSegment>> relayA;  // nvrelayi.obf
  std::vector<std::vector<FirmwareSegment>> flashers;  // flashold.obf, flashexec.obf

  static FirmwareShelf fromCurrentDirectory();
};

class SimulatedModule {
 public:
  static constexpr std::size_t kMemorySize = kModuleMemorySize;

  SimulatedModule(const SimulatedModuleLayout& layout, const FirmwareShelf& shelf);

  // What the module does with a request whose first payload byte addresses it. The payload
  // is the frame without 0xF0, 0x47 and 0xF7. Returns the reply frame, or none when the
  // module stays silent (an unknown command, or one that starts the flasher).
  std::optional<Frame> answer(const std::uint8_t* payload, std::size_t length);

  // Set by answer() when an execute command found a flasher in the code area and started
  // it; the flasher has installed the new executive by the time this is seen.
  bool takeFlasherStarted();

  void installRegistration(const PresetRegistration& registration);

  char type() const { return layout_.type; }
  bool running() const { return running_; }
  std::uint8_t peek(std::uint32_t address) const { return memory_[address & 0xFFFF]; }
  void poke(std::uint32_t address, std::uint8_t value) { memory_[address & 0xFFFF] = value; }

  // Where the combination action keeps its information block and banks.
  std::uint32_t registrationInfoAddress() const { return registrationMapOf(layout_.type == 'B').registrationInfo; }
  std::uint32_t registrationBase() const { return registrationMapOf(layout_.type == 'B').registrationBase; }

 private:
  Frame reply(const std::uint8_t* payload, std::size_t length) const;
  std::optional<Frame> versionReply(const std::uint8_t* payload) const;
  Frame blockReply(const std::uint8_t* payload, std::size_t length);
  std::optional<Frame> readReply(const std::uint8_t* payload, std::size_t length) const;
  std::optional<Frame> execute(const std::uint8_t* payload, std::size_t length);
  bool holdsFlasher(const std::vector<FirmwareSegment>& flasher) const;
  void runFlasher(const std::vector<FirmwareSegment>& flasher);
  void load(const std::vector<FirmwareSegment>& segments, bool executiveOnly);

  SimulatedModuleLayout layout_;
  const FirmwareShelf& shelf_;
  std::array<std::uint8_t, kMemorySize> memory_{};
  bool running_ = true;
  bool flasherStarted_ = false;
};

// Value of count hex digits (either case), or -1 when one is not a hex digit.
long hexValue(const std::uint8_t* digits, std::size_t count);

}  // namespace plenum
