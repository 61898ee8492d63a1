// Ctrl-C taken on a thread of its own (as the Windows C runtime does) while the main thread
// waits on the port: the port must be closed once, by the main thread, never under it.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <chrono>
#include <thread>

#include "plenum/midi/current_port.h"
#include "plenum/runtime/exit_handlers.h"

namespace plenum {
namespace {

std::atomic<int> closes{0};
std::atomic<bool> closedOnOtherThread{false};
std::atomic<int> inPoll{0};
std::atomic<bool> usedWhileClosed{false};
std::thread::id mainThread;

struct Interrupted {};
void throwInterrupted() { throw Interrupted{}; }

std::atomic<int> endsOnOtherThread{0};
void endFromHandler() {
  if (std::this_thread::get_id() != mainThread) ++endsOnOtherThread;
}

// Waits a little in every poll, as a device port does, and notes any use after deletion.
class WaitingPort : public Midi {
 public:
  ~WaitingPort() override {
    if (inPoll.load() != 0) usedWhileClosed = true;
    if (std::this_thread::get_id() != mainThread) closedOnOtherThread = true;
    ++closes;
    alive_ = false;
  }
  int sendSysex(const std::uint8_t*, std::size_t) override { return 0; }
  void sendShort(const std::uint8_t*, std::size_t) override {}
  bool pollSysex(std::uint8_t*, std::size_t, std::size_t&, int waitMs) override {
    ++inPoll;
    if (!alive_) usedWhileClosed = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(waitMs > 0 ? waitMs : 2));
    --inPoll;
    return false;
  }
  bool pollShort(std::uint32_t&) override { return false; }

 private:
  bool alive_ = true;
};

void closePort() { closeCurrentPort(); }

class InterruptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mainThread = std::this_thread::get_id();
    closes = 0;
    closedOnOtherThread = false;
    usedWhileClosed = false;
    endsOnOtherThread = 0;
    installPortHandlers(closePort);
    installCurrentPort(std::make_unique<WaitingPort>());
  }
  void TearDown() override {
    setInterruptEndForTest(nullptr);
    closeCurrentPort();
  }
};

// The main thread waits on the port in a loop, as the protocol's reply waits do.
bool waitUntilInterrupted() {
  std::uint8_t buffer[4];
  std::size_t length = 0;
  try {
    for (int i = 0; i < 100; ++i) currentPort().pollSysex(buffer, sizeof buffer, length, 5);
  } catch (const Interrupted&) {
    return true;
  }
  return false;
}

TEST_F(InterruptTest, WaitingMainThreadClosesThePortOnce) {
  setInterruptEndForTest(throwInterrupted);
  std::atomic<bool> handlerReturned{false};
  std::thread handler([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    handleInterruptFromOtherThread();
    handlerReturned = true;
  });
  const bool interrupted = waitUntilInterrupted();
  handler.join();
  EXPECT_TRUE(interrupted);
  EXPECT_TRUE(handlerReturned);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(closedOnOtherThread);
  EXPECT_FALSE(usedWhileClosed);
  EXPECT_FALSE(currentPortIsOpen());
  EXPECT_EQ(endsOnOtherThread, 0);
  // A second request (a later Ctrl-C reaches the default handler instead) changes nothing.
  serviceInterrupt();
  EXPECT_EQ(closes, 1);
}

TEST_F(InterruptTest, BusyMainThreadIsEndedWithoutTouchingThePort) {
  setInterruptEndForTest(endFromHandler);
  std::thread handler(handleInterruptFromOtherThread);
  handler.join();  // the main thread reached no wait within the grace
  EXPECT_EQ(endsOnOtherThread, 1);
  EXPECT_EQ(closes, 0);
  EXPECT_TRUE(currentPortIsOpen());
  // Taken by the handler: a late wait of the main thread must not close it under the run.
  serviceInterrupt();
  EXPECT_EQ(closes, 0);
}

#ifdef _WIN32
// A front end stops plenum with Ctrl-Break (the only event it can send to plenum's own
// process group); it must end the run as Ctrl-C does. raise() runs the handler on the
// thread that raises it, here one beside the waiting main thread.
TEST_F(InterruptTest, CtrlBreakIsTakenAsCtrlC) {
  setInterruptEndForTest(throwInterrupted);
  std::thread breaker([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::raise(SIGBREAK);
  });
  const bool interrupted = waitUntilInterrupted();
  breaker.join();
  EXPECT_TRUE(interrupted);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(closedOnOtherThread);
}
#endif

TEST_F(InterruptTest, NoInterruptLeavesWaitsAlone) {
  setInterruptEndForTest(throwInterrupted);
  serviceInterrupt();
  EXPECT_FALSE(waitUntilInterrupted());
  EXPECT_EQ(closes, 0);
  EXPECT_TRUE(currentPortIsOpen());
}

}  // namespace
}  // namespace plenum
