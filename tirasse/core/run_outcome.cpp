#include "tirasse/core/run_outcome.h"

namespace tirasse {

namespace {

// What plenum's exit statuses stand for.
const char* meaningOf(int status) {
  switch (status) {
    case 0:
      return "it finished normally";
    case 1:
      return "it stopped on an error, see its messages above";
    case 2:
      return "programming, verifying or sending to the modules failed";
    case 3:
      return "an option was not understood";
    // Only Check Console ends with these.
    case 5:
      return "a module differs from the configuration file";
    case 6:
      return "the loop holds more or fewer modules than the configuration file defines";
    default:
      return "a status plenum does not give";
  }
}

}  // namespace

std::string describeOutcome(const RunOutcome& outcome) {
  const std::string status = std::to_string(outcome.exitStatus);
  if (outcome.stoppedByUser) {
    if (outcome.crashed) return "plenum was stopped by the user";
    return "plenum was stopped by the user and ended with status " + status;
  }
  if (outcome.crashed) return "plenum ended abnormally, without an exit status";
  return "plenum ended with status " + status + ": " + meaningOf(outcome.exitStatus);
}

std::string outcomeAfter(const std::string& shownOutput, const RunOutcome& outcome) {
  // plenum's progress characters often leave the last line open.
  const bool lineOpen = !shownOutput.empty() && !shownOutput.ends_with('\n');
  return (lineOpen ? "\n" : "") + describeOutcome(outcome) + '\n';
}

}  // namespace tirasse
