#pragma once
// What a simulated module loop is made of: its modules, the faults it injects and how it
// paces traffic. Written as the text of the environment variable PLENUM_LOOP; the syntax
// is described in README.md of this folder.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plenum {

struct SimulatedModuleLayout {
  char type = 'B';              // 'A', 'B' or 'C'
  std::uint16_t version = 0x0310;
  // Letter sent in the version reply; '\0' for the seven-byte reply without a type letter.
  char reportedType = 'B';
};

// A combination action already present in a module, so that registration can be fetched
// before any download.
struct PresetRegistration {
  int module = 0;
  int banks = 1;
  int pistons = 1;
  int size = 1;
};

enum class FaultKind {
  LoseReply,    // the reply never comes
  LateReply,    // the reply comes delayMs later than it would
  CorruptByte,  // the middle byte of the reply's payload has its low bit inverted
  WrongLength,  // the reply loses the last byte of its payload
  InputError,   // the port reports an input error while the reply comes
  FailVerify,   // a verify block answers 'N' although the memory matches
};

struct FaultSetting {
  FaultKind kind = FaultKind::LoseReply;
  // 1-based number of the SysEx request sent into the loop (for FailVerify: of the verify
  // request); 0 for FailVerify means every verify request.
  int request = 0;
  int delayMs = 0;  // LateReply only
};

struct LoopLayout {
  std::vector<SimulatedModuleLayout> modules;
  std::vector<PresetRegistration> registrations;
  std::vector<FaultSetting> faults;
  bool wireSpeed = false;     // pace traffic at 31,250 baud, 10 bits a byte
  bool trafficBurst = false;  // a scripted burst of traffic waits at the input on opening
  // Short messages (status byte first) that wait at the input on opening, after the burst:
  // what the console's keys and stops would send.
  std::vector<std::vector<std::uint8_t>> waitingInput;
  int flashMs = 200;          // how long a started flasher keeps the loop silent
};

inline constexpr int kDefaultLateReplyMs = 1500;
inline constexpr std::size_t kMaxSimulatedModules = 47;

// The loop described by text, or none with a reason in error.
std::optional<LoopLayout> parseLoopLayout(std::string_view text, std::string& error);

}  // namespace plenum
