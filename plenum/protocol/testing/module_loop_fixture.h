#pragma once
// For tests: the current port is a scripted port over a chain of simulated modules, in a
// scratch current directory that holds the synthetic standard firmware files. Ports that
// an operation re-creates are new scripted ports over the same modules, and every frame
// sent through any of them is logged. Time is scripted, so late replies, timeouts and the
// flasher's silence cost no real time.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "plenum/protocol/testing/scripted_port.h"
#include "plenum/simulator/module_chain.h"

namespace plenum::testing {

class ModuleLoopTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Builds the modules from PLENUM_LOOP text (for example "A:0x310,B,failverify=3").
  // Their executives come from the firmware files of the scratch directory, so write or
  // remove files before calling this.
  void useLoop(const std::string& text);

  SimulatedModule& module(int k) { return chain->module(k); }
  // The bytes of module k from `address`, `length` of them.
  Bytes memoryOf(int k, std::uint32_t address, std::size_t length);

  // Payloads of the frames sent since the last clear, as text.
  std::vector<std::string> sentPayloads() const;
  // Those whose second character (the command after the address byte) is `command`.
  std::vector<std::string> sentCommands(char command) const;
  void clearSent() { sent.clear(); }

  // Writes a file into the scratch directory.
  void writeFile(const std::string& name, const std::string& text) const;

  std::unique_ptr<ModuleChain> chain;
  std::vector<Bytes> sent;
  std::string directory;

 private:
  std::unique_ptr<Midi> makePort();
  std::string savedDirectory_;
};

}  // namespace plenum::testing
