#pragma once
// A chain of simulated modules joined in a MIDI loop: every message the host sends passes
// each module in turn and comes back to the host's input. This is the loop's logic only,
// without threads or clocks of its own, so it can be driven step by step.

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "plenum/simulator/loop_layout.h"
#include "plenum/simulator/simulated_module.h"

namespace plenum {

using LoopClock = std::chrono::steady_clock;

// What comes back at the host's input for one message sent into the loop.
struct LoopOutcome {
  std::optional<Frame> frame;  // none: nothing comes back
  int extraDelayMs = 0;        // a late reply's delay
  bool inputError = false;     // the port signals an input error as it comes
};

class ModuleChain {
 public:
  ModuleChain(const LoopLayout& layout, FirmwareShelf shelf);
  ModuleChain(const ModuleChain&) = delete;
  ModuleChain& operator=(const ModuleChain&) = delete;

  // One SysEx frame sent into the loop at time now. A request whose first payload byte is
  // 'N' + n is answered by module n; 'L' comes back lowered by one for every module; an
  // address beyond the loop comes back lowered by the module count; anything else ('~'
  // loop tests, other manufacturers) comes back as it was sent.
  LoopOutcome passSysex(const Frame& request, LoopClock::time_point now);

  // A short message sent into the loop comes back unchanged.
  bool passesShort(LoopClock::time_point now) const { return !silent(now); }

  int moduleCount() const { return static_cast<int>(modules_.size()); }
  SimulatedModule& module(int k) { return modules_.at(static_cast<std::size_t>(k)); }

  // The scripted traffic that waits at the input when a loop with "burst" opens: frames
  // that start with 0xF0 are SysEx, the others short messages of 1 to 3 bytes.
  static const std::vector<Frame>& trafficBurst();

 private:
  bool silent(LoopClock::time_point now) const { return now < silentUntil_; }
  void injectFaults(const Frame& request, LoopOutcome& outcome, bool answeredVerify);

  LoopLayout layout_;
  FirmwareShelf shelf_;
  std::vector<SimulatedModule> modules_;
  LoopClock::time_point silentUntil_{};  // a flasher at work breaks the loop until then
  int requestsSeen_ = 0;
  int verifiesSeen_ = 0;
};

}  // namespace plenum
