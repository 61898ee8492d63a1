#pragma once
// The ways a run ends from deep inside an operation. Each is an exception that main
// catches; main then calls std::exit so the exit handlers (the -P pause, closing the
// MIDI port) still run, and tests can run an operation in-process and see the outcome.

#include <string>
#include <utility>

namespace plenum {

// "End the process with status N": whatever had to be printed was printed already.
struct ExitRequest {
  int status;
};

// A failure of an operation that ends the run: main prints "%s: exiting\n", status 1.
struct TextException {
  std::string text;
  explicit TextException(std::string t) : text(std::move(t)) {}
};

// A state that only a fault of this program can reach; names the place of the check
// (for example "data:4818"). main prints "Program bug: %s\n".
struct ProgramBug {
  const char* where;
};

[[noreturn]] inline void exitWith(int status) { throw ExitRequest{status}; }

}  // namespace plenum
