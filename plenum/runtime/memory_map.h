#pragma once
// Where things lie in a module's memory. The compiler lays out programs for these
// addresses, the download and the executive operations write to them, the simulated
// modules keep their memory the same way and the synthetic firmware is built to fit: one
// table, so that none of them can drift from the others.

#include <cstdint>

namespace plenum {

// Module addresses are 16 bits: nothing is ever written at or above this.
inline constexpr std::uint32_t kModuleMemorySize = 0x10000;

// What differs between the module types.
struct ModuleMemoryMap {
  char type;
  std::uint32_t programLoad;  // the user program's first byte
  int pageSize;               // bytes per program page; programs are written page by page
  // Room for the user program and the memory banks after it: with and without a
  // combination action (the relay code of type A takes the upper half otherwise).
  int programArea;
  int programAreaCombination;
  std::uint32_t registrationInfo;  // the combination action's 64-byte information block
  std::uint32_t registrationBase;  // the memory banks lie below it, bank 0 highest
  int registrationBlock;           // bytes per registration write request
};

inline constexpr ModuleMemoryMap kModuleMemoryMaps[] = {
    {'A', 0xE000, 64, 0x800, 0x1000, 0xE040, 0xF000, 64},
    {'B', 0x1E80, 128, 0xC980, 0xC980, 0x1EC0, 0xE800, 128},
    {'C', 0x0000, 128, 0x800, 0x1000, 0xE040, 0xF000, 64},
};

// The map of type letter 'A', 'B' or 'C'; none for any other letter.
constexpr const ModuleMemoryMap* memoryMapOf(char type) {
  for (const ModuleMemoryMap& map : kModuleMemoryMaps)
    if (map.type == type) return &map;
  return nullptr;
}

// The map the registration operations use: they tell type B from all the others.
constexpr const ModuleMemoryMap& registrationMapOf(bool isTypeB) {
  return *memoryMapOf(isTypeB ? 'B' : 'A');
}

inline constexpr std::uint32_t kInfoBlockSize = 64;

// The same on every type.
// The executive's top block, up to the end of memory; code files program below it.
inline constexpr std::uint32_t kExecutiveTop = 0xF800;
inline constexpr std::uint32_t kExecutiveTopSize = kModuleMemorySize - kExecutiveTop;
// The executive check compares the top block only up to here.
inline constexpr std::uint32_t kExecutiveVerifiedEnd = 0xFE00;
// Type B's executive also has a low block, where its relay code starts too.
inline constexpr std::uint32_t kExecutiveLowBlock = 0x0480;
inline constexpr std::uint32_t kExecutiveLowBlockSize = 0x80;
// The firmware below this belongs to the low block (the rest of it is relay code).
inline constexpr std::uint32_t kExecutiveLowLimit = 0x0500;
// Where a new executive's blocks wait for the flasher to install them.
inline constexpr std::uint32_t kExecutiveTopCopy = 0xE800;
inline constexpr std::uint32_t kExecutiveLowBlockCopy = 0xE480;
// The relay code of the other types starts within this range.
inline constexpr std::uint32_t kRelayCodeLowest = 0xE800;
inline constexpr std::uint32_t kRelayCodeHighest = 0xF000;
// Type A with combination action: the registration area and the marker (0xF0 0x00) that
// the combination-action relay code brings once the area has been initialised.
inline constexpr std::uint32_t kRegistrationAreaStart = 0xE000;
inline constexpr std::uint32_t kRegistrationAreaEnd = 0xF000;
inline constexpr std::uint32_t kRegistrationMarker = 0xF7D7;

static_assert(kExecutiveTop + kExecutiveTopSize == kModuleMemorySize);
// Every program area ends inside the 16-bit address space, so the addresses and branch
// distances of a program that fits its area fit 16 bits (module_program.cpp relies on it).
constexpr bool programAreasFitAddresses() {
  for (const ModuleMemoryMap& map : kModuleMemoryMaps) {
    const int area = map.programArea > map.programAreaCombination ? map.programArea : map.programAreaCombination;
    if (map.programLoad + static_cast<std::uint32_t>(area) > kModuleMemorySize) return false;
  }
  return true;
}
static_assert(programAreasFitAddresses());
static_assert(memoryMapOf('B')->programLoad + memoryMapOf('B')->programArea ==
              memoryMapOf('B')->registrationBase);
static_assert(memoryMapOf('A')->programLoad + memoryMapOf('A')->programAreaCombination ==
              memoryMapOf('A')->registrationBase);

}  // namespace plenum
