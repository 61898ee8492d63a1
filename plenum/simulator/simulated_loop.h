#pragma once
// The MIDI port over a simulated loop of Norvo modules: plenum talks to it exactly as to
// real devices, and the replies come back from the loop's own thread. Selected with the
// environment variable PLENUM_LOOP (see README.md in this folder).

#include <memory>
#include <string_view>

#include "plenum/midi/midi.h"
#include "plenum/midi/received_traffic.h"
#include "plenum/simulator/loop_runner.h"
#include "plenum/simulator/module_chain.h"

namespace plenum {

// The modules of a simulated loop, kept apart from the port: closing and re-opening the
// port (as the download does between modules) leaves the modules and their memory as
// they were, just as with hardware.
struct SimulatedModules {
  SimulatedModules(const LoopLayout& layout, FirmwareShelf shelf) : chain(layout, std::move(shelf)), layout(layout) {}
  ModuleChain chain;
  LoopLayout layout;
  bool burstSent = false;  // the scripted burst comes once, on the first opening
  bool inputSent = false;  // so does the waiting input
};

class SimulatedLoop final : public Midi, private LoopOutput {
 public:
  // A port on modules of its own; their executives come from the standard firmware files
  // of the current directory when they are there.
  explicit SimulatedLoop(const LoopLayout& layout);
  // A port on modules that outlive it. Only one port may use them at a time.
  explicit SimulatedLoop(std::shared_ptr<SimulatedModules> modules);
  ~SimulatedLoop() override;

  int sendSysex(const std::uint8_t* bytes, std::size_t length) override;
  void sendShort(const std::uint8_t* bytes, std::size_t length) override;
  bool pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                 int waitMs) override;
  bool pollShort(std::uint32_t& word) override;

  // The modules, for tests that look into their memory. Only safe while no request is on
  // its way: after the reply to the last request has been polled.
  ModuleChain& chain() { return modules_->chain; }

 private:
  void deliverSysex(const Frame& frame) override;
  void deliverShort(const Frame& message) override;
  void signalInputError() override;

  ReceivedTraffic received_;
  std::shared_ptr<SimulatedModules> modules_;
  std::unique_ptr<LoopRunner> runner_;  // stopped first, before what it delivers into
};

// The modules that the text of PLENUM_LOOP describes. Malformed text prints
// "Bad PLENUM_LOOP setting \"%s\": %s\n" and ends the run (ExitRequest, status 1).
std::shared_ptr<SimulatedModules> simulatedModulesFrom(std::string_view text);

}  // namespace plenum
