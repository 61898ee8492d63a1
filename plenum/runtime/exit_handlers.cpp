#include "plenum/runtime/exit_handlers.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace plenum {

namespace {
void (*portCloser)() = nullptr;

void endInterruptedRun() { std::exit(0); }
void (*interruptEnd)() = endInterruptedRun;

// A Ctrl-C taken over from another thread: who closes the port is decided once.
enum InterruptState : int { NoInterrupt, InterruptRequested, TakenByMain, TakenByHandler };
std::atomic<int> interruptState{NoInterrupt};

// How long the handler's thread leaves the main thread to reach a wait and take the
// interrupt itself, before it ends the run without touching the port.
constexpr auto kInterruptGrace = std::chrono::milliseconds(1000);

// Exit handlers must not throw: an exception escaping one ends the process abnormally.
void closePortAtExit() {
  // The run was ended from the handler's thread while the main thread may be inside the
  // port: leave the port to the system, which releases the devices with the process.
  if (interruptState.load(std::memory_order_acquire) == TakenByHandler) return;
  try {
    if (portCloser) portCloser();
  } catch (...) {
  }
}

void pauseAtExit() {
  std::printf("\nPlease press <Enter> to continue...");
  std::getchar();
}

#ifdef _WIN32
// The C runtime calls this on a thread of its own. Ctrl-Break counts as Ctrl-C: a front end
// that stops plenum sends it to plenum's own process group, which Ctrl-C cannot be sent to.
void onInterrupt(int) {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGBREAK, SIG_DFL);
  handleInterruptFromOtherThread();
}
#else
// Signals are taken on the main thread here, between its own steps.
void onInterrupt(int) {
  // A second Ctrl-C ends the process at once, whatever the first one is waiting for.
  std::signal(SIGINT, SIG_DFL);
  closePortAtExit();
  std::exit(0);
}
#endif
}  // namespace

void installPortHandlers(void (*closePort)()) {
  portCloser = closePort;
  std::atexit(closePortAtExit);
  std::signal(SIGINT, onInterrupt);
#ifdef _WIN32
  std::signal(SIGBREAK, onInterrupt);
#endif
}

void installPauseAtExit() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  std::atexit(pauseAtExit);
}

void handleInterruptFromOtherThread() {
  int expected = NoInterrupt;
  if (!interruptState.compare_exchange_strong(expected, InterruptRequested)) return;
  const auto deadline = std::chrono::steady_clock::now() + kInterruptGrace;
  while (std::chrono::steady_clock::now() < deadline) {
    if (interruptState.load(std::memory_order_acquire) == TakenByMain) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  expected = InterruptRequested;
  if (!interruptState.compare_exchange_strong(expected, TakenByHandler)) return;
  std::fflush(stdout);
  interruptEnd();
}

void serviceInterrupt() {
  if (interruptState.load(std::memory_order_acquire) != InterruptRequested) return;
  int expected = InterruptRequested;
  if (!interruptState.compare_exchange_strong(expected, TakenByMain)) return;
  closePortAtExit();
  interruptEnd();
}

void setInterruptEndForTest(void (*end)()) {
  interruptEnd = end ? end : endInterruptedRun;
  interruptState.store(NoInterrupt, std::memory_order_release);
}

}  // namespace plenum
