#include "plenum/protocol/testing/module_loop_fixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "plenum/midi/current_port.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"
#include "plenum/simulator/testing/loop_layout_testing.h"
#include "tools/firmware_synthetic.h"

namespace plenum::testing {

void ModuleLoopTest::SetUp() {
  resetSettings();
  moduleTypes().clear();
  namespace fs = std::filesystem;
  savedDirectory_ = fs::current_path().string();
  // A fresh folder of our own, as mkdtemp would make (it is POSIX only).
  std::random_device random;
  for (int attempt = 0; attempt < 100 && directory.empty(); ++attempt) {
    const fs::path candidate =
        fs::path(::testing::TempDir()) / ("plenum_loop_" + std::to_string(random()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) directory = candidate.string();
  }
  ASSERT_FALSE(directory.empty()) << "no scratch folder in " << ::testing::TempDir();
  ASSERT_EQ(writeStandardFirmware(directory), "");
  std::error_code error;
  fs::current_path(directory, error);
  ASSERT_FALSE(error) << "cannot enter " << directory;
  setExchangeClock(&ScriptedPort::now);
  setPortFactory([this] { return makePort(); });
}

void ModuleLoopTest::TearDown() {
  closeCurrentPort();
  setPortFactory(nullptr);
  setExchangeClock(nullptr);
  resetSettings();
  moduleTypes().clear();
  std::error_code error;
  std::filesystem::current_path(savedDirectory_, error);
  if (error) ADD_FAILURE() << "cannot return to " << savedDirectory_;
  if (!directory.empty()) std::filesystem::remove_all(directory, error);
}

void ModuleLoopTest::useLoop(const std::string& text) {
  closeCurrentPort();
  chain = std::make_unique<ModuleChain>(testing_support::layoutOf(text),
                                        FirmwareShelf::fromCurrentDirectory());
}

std::unique_ptr<Midi> ModuleLoopTest::makePort() {
  auto port = std::make_unique<ScriptedPort>();
  ScriptedPort* self = port.get();
  port->respond = [this, self](const Bytes& frame) {
    sent.push_back(frame);
    std::vector<ScriptedReply> replies;
    if (!chain) return replies;
    // The modules live on the scripted timeline too, so a flasher's silence is measured
    // against the same clock as the exchange's timeout.
    const LoopClock::time_point now{std::chrono::microseconds(ScriptedPort::now())};
    LoopOutcome outcome = chain->passSysex(frame, now);
    if (outcome.inputError) self->raiseInputError("MIM_ERROR");
    if (outcome.frame) replies.push_back({*outcome.frame, outcome.extraDelayMs});
    return replies;
  };
  return port;
}

Bytes ModuleLoopTest::memoryOf(int k, std::uint32_t address, std::size_t length) {
  Bytes bytes;
  for (std::size_t i = 0; i < length; ++i) {
    bytes.push_back(module(k).peek(address + static_cast<std::uint32_t>(i)));
  }
  return bytes;
}

std::vector<std::string> ModuleLoopTest::sentPayloads() const {
  std::vector<std::string> payloads;
  for (const Bytes& frame : sent) payloads.push_back(payloadText(frame));
  return payloads;
}

std::vector<std::string> ModuleLoopTest::sentCommands(char command) const {
  std::vector<std::string> matching;
  for (const std::string& payload : sentPayloads()) {
    if (payload.size() >= 2 && payload[1] == command) matching.push_back(payload);
  }
  return matching;
}

void ModuleLoopTest::writeFile(const std::string& name, const std::string& text) const {
  std::ofstream(directory + "/" + name, std::ios::binary) << text;
}

}  // namespace plenum::testing
