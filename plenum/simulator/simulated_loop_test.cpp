#include "plenum/simulator/simulated_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "plenum/midi/monitor.h"
#include "plenum/runtime/exits.h"
#include "plenum/simulator/testing/loop_layout_testing.h"

namespace plenum {
namespace {

using testing_support::layoutOf;

// Waits generously: only a reply that never comes fails, however slow the machine.
bool awaitSysex(Midi& port, Frame& out, int tries = 400) {
  std::uint8_t buffer[kSysexBufferSize];
  std::size_t length = 0;
  for (int i = 0; i < tries; ++i)
    if (port.pollSysex(buffer, sizeof buffer, length, 5)) {
      out.assign(buffer, buffer + length);
      return true;
    }
  return false;
}

TEST(SimulatedLoop, RepliesComeFromTheLoopThread) {
  SimulatedLoop loop(layoutOf("B,B"));
  const std::uint8_t count[] = {0xF0, 0x47, 'L', 0xF7};
  loop.sendSysex(count, sizeof count);
  Frame reply;
  ASSERT_TRUE(awaitSysex(loop, reply));
  EXPECT_EQ(reply, (Frame{0xF0, 0x47, 'L' - 2, 0xF7}));
}

TEST(SimulatedLoop, ShortMessagesComeBackPacked) {
  SimulatedLoop loop(layoutOf("B"));
  const std::uint8_t note[] = {0x91, 60, 99};
  loop.sendShort(note, sizeof note);
  std::uint32_t word = 0;
  bool got = false;
  for (int i = 0; i < 400 && !got; ++i) {
    got = loop.pollShort(word);
    if (!got) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(got);
  EXPECT_EQ(word, 0x633C91u);
}

TEST(SimulatedLoop, InputErrorIsSignalledWithTheReply) {
  SimulatedLoop loop(layoutOf("B,inputerror=1"));
  const std::uint8_t count[] = {0xF0, 0x47, 'L', 0xF7};
  loop.sendSysex(count, sizeof count);
  Frame reply;
  ASSERT_TRUE(awaitSysex(loop, reply));
  EXPECT_TRUE(loop.takeError(true));
}

TEST(SimulatedLoop, ReplyLongerThanTheCallersBufferEndsTheRun) {
  SimulatedLoop loop(layoutOf("B"));
  const std::uint8_t read[] = {0xF0, 0x47, 'N', 'R', '1', 'e', 'c', '0', '4', '0', 0xF7};
  loop.sendSysex(read, sizeof read);
  std::uint8_t small[100];
  std::size_t length = 0;
  testing::internal::CaptureStdout();
  bool ended = false;
  try {
    for (int i = 0; i < 400 && !loop.pollSysex(small, sizeof small, length, 5);) ++i;
  } catch (const ExitRequest& exit) {
    ended = exit.status == 1;
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Buffer too short in winmidi: 379\n");
  EXPECT_TRUE(ended);
}

TEST(SimulatedLoop, ModulesOutliveThePort) {
  auto modules = std::make_shared<SimulatedModules>(layoutOf("B"), FirmwareShelf{});
  {
    SimulatedLoop loop(modules);
    const std::uint8_t write[] = {0xF0, 0x47, 'N', 'Y', '2', '0', '0', '0', '4', '2', 0xF7};
    loop.sendSysex(write, sizeof write);
    Frame reply;
    ASSERT_TRUE(awaitSysex(loop, reply));
  }
  SimulatedLoop again(modules);
  EXPECT_EQ(again.chain().module(0).peek(0x2000), 0x42);
}

TEST(Monitor, PrintsAScriptedBurstAndEndsOnEnter) {
  SimulatedLoop loop(layoutOf("B,burst"));
  // The Enter key waits in a file, which every system has (no pipes on Windows).
  std::FILE* keyboard = std::tmpfile();
  ASSERT_NE(keyboard, nullptr);
  ASSERT_GE(std::fputs("\n", keyboard), 0);
  std::rewind(keyboard);
  testing::internal::CaptureStdout();
  monitorMidi(loop, keyboard);
  const std::string out = testing::internal::GetCapturedStdout();
  std::fclose(keyboard);
  EXPECT_EQ(out,
            "\nMonitoring for MIDI input... please press <Enter> to exit\n\n"
            "Got sysex: 0xf0 0x47 0x4e 0x56 0x03 0x10 0x42 0xf7\n"
            "Got data: 643c90 C  1 N  60 On  V 100\n"
            "Got data: 003c90 C  1 N  60 On  V   0 (Off)\n"
            "Got data: 403d85 C  6 N  61 Off V  64\n"
            "Got data: 1e3ea2 C  3 N  62 Press  30\n"
            "Got data: 7f07b0 C  1 Control   7 Value 127\n"
            "Got data:   05cf C 16 Program Change   5\n"
            "Got data:   28d3 C  4 Pressure  40\n"
            "Got data: 4000e0 C  1 Pitch wheel 8192\n"
            "Got data:     f8 Timing Clock\n"
            "Got data:     fa Start\n"
            "Got data:     fb Continue\n"
            "Got data:     fc Stop\n"
            "Got data:     fe Active Sensing\n"
            "Got data:     f9 Undefined\n"
            "Got data:     f6 System common message\n"
            "Got data:     ff System Reset\n");
}

TEST(Monitor, PrintsTheWaitingInputOnceAfterTheBurst) {
  const auto modules = simulatedModulesFrom("B,burst,input=913c64:b10740");
  for (int opening = 0; opening < 2; ++opening) {
    SimulatedLoop loop(modules);
    std::FILE* keyboard = std::tmpfile();
    ASSERT_NE(keyboard, nullptr);
    ASSERT_GE(std::fputs("\n", keyboard), 0);
    std::rewind(keyboard);
    testing::internal::CaptureStdout();
    monitorMidi(loop, keyboard);
    const std::string out = testing::internal::GetCapturedStdout();
    std::fclose(keyboard);
    const std::string played = "Got data:     ff System Reset\n"
                               "Got data: 643c91 C  2 N  60 On  V 100\n"
                               "Got data: 4007b1 C  2 Control   7 Value  64\n";
    if (opening == 0) {
      EXPECT_NE(out.find(played), std::string::npos) << out;
    } else {
      EXPECT_EQ(out.find("Got data"), std::string::npos) << "the input comes once: " << out;
    }
  }
}

}  // namespace
}  // namespace plenum
