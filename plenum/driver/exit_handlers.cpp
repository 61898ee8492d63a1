#include "plenum/driver/exit_handlers.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "plenum/driver/operations.h"

namespace plenum {

namespace {
// Exit handlers must not throw: an exception escaping one ends the process abnormally.
void closePortAtExit() {
  try {
    closeMidiPort();
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

void installPortHandlers() {
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
