#include "plenum/runtime/exit_handlers.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace plenum {

namespace {
void (*portCloser)() = nullptr;

// Exit handlers must not throw: an exception escaping one ends the process abnormally.
void closePortAtExit() {
  try {
    if (portCloser) portCloser();
  } catch (...) {
  }
}

void pauseAtExit() {
  std::printf("\nPlease press <Enter> to continue...");
  std::getchar();
}

void onInterrupt(int) {
  // A second Ctrl-C ends the process at once, whatever the first one is waiting for.
  std::signal(SIGINT, SIG_DFL);
  closePortAtExit();
  std::exit(0);
}
}  // namespace

void installPortHandlers(void (*closePort)()) {
  portCloser = closePort;
  std::atexit(closePortAtExit);
  std::signal(SIGINT, onInterrupt);
}

void installPauseAtExit() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  std::atexit(pauseAtExit);
}

}  // namespace plenum
