#pragma once
// How a plenum run ended, in words for the waiting window: the front end reads plenum's exit
// status, so a failed run does not look like a finished one.

#include <string>

namespace tirasse {

struct RunOutcome {
  bool stoppedByUser = false;  // the Stop button ended it
  bool crashed = false;        // ended by a signal, without an exit status
  int exitStatus = 0;
};

// One line without a line end, e.g. "plenum ended with status 1: it stopped on an error...".
std::string describeOutcome(const RunOutcome& outcome);

// That line, to be appended to the output shown so far: on a line of its own.
std::string outcomeAfter(const std::string& shownOutput, const RunOutcome& outcome);

}  // namespace tirasse
