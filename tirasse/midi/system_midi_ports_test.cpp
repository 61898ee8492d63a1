// The front end's MIDI ports on the system's devices: plenum's MIDI system, plenum's device
// numbers, and nothing printed by the libraries. The JACK cases run under
// tests/jack/jack_devices_test.sh, which starts a JACK dummy server with norvo-loop on it.

#include "tirasse/midi/system_midi_ports.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace tirasse {
namespace {

bool onJackWithTheLoop() { return std::getenv("TIRASSE_TEST_JACK_LOOP") != nullptr; }

TEST(SystemMidiPorts, ANumberPastTheListIsRefusedInWordsAndNothingIsPrinted) {
  testing::internal::CaptureStderr();
  const SystemMidiDeviceLists lists;
  const int outputs = static_cast<int>(lists.outputNames().size());
  const int inputs = static_cast<int>(lists.inputNames().size());
  try {
    openSystemOutput(outputs + 3);
    ADD_FAILURE() << "an output past the list opened";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what())
                  .rfind("there is no MIDI output device " + std::to_string(outputs + 3), 0),
              0u)
        << error.what();
  }
  try {
    openSystemInput(inputs, [](const Bytes&) {});
    ADD_FAILURE() << "an input past the list opened";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what())
                  .rfind("there is no MIDI input device " + std::to_string(inputs), 0),
              0u)
        << error.what();
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// The player's output and the recorder's input are the devices plenum numbers: a SysEx
// message played to norvo-loop comes back round the loop into the recorder's input.
TEST(SystemMidiPorts, PlayerAndRecorderUseTheDevicesOfTheLists) {
  if (!onJackWithTheLoop()) GTEST_SKIP() << "needs norvo-loop on a JACK server";
  const SystemMidiDeviceLists lists;
  // norvo-loop's ports are the only devices; JACK names them "CLIENT:PORT".
  ASSERT_EQ(lists.inputNames().size(), 1u);
  ASSERT_EQ(lists.outputNames().size(), 1u);
  EXPECT_TRUE(lists.inputNames()[0].ends_with(":norvo-loop out")) << lists.inputNames()[0];
  EXPECT_TRUE(lists.outputNames()[0].ends_with(":norvo-loop in")) << lists.outputNames()[0];
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<Bytes> received;
  std::unique_ptr<MidiInput> input = openSystemInput(0, [&](const Bytes& message) {
    std::lock_guard lock(mutex);
    received.push_back(message);
    arrived.notify_all();
  });
  std::unique_ptr<MidiSink> output = openSystemOutput(0);
  const Bytes foreign = {0xF0, 0x7D, 0x01, 0x02, 0x03, 0xF7};  // not for the modules
  output->send(foreign);
  std::unique_lock lock(mutex);
  ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(10), [&] { return !received.empty(); }));
  EXPECT_EQ(received.front(), foreign);
}

}  // namespace
}  // namespace tirasse
