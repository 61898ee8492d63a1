#include "tirasse/core/waiting_rules.h"

namespace tirasse {

RunEnding endingOf(const std::string& shownOutput, const RunOutcome& outcome) {
  const bool clean = outcome.exitStatus == 0 && !outcome.stoppedByUser && !outcome.crashed;
  RunEnding ending;
  ending.appended = outcomeAfter(shownOutput, outcome);
  // A window left open after plenum has gone must not say it is still waiting.
  ending.state = clean ? "Command completed" : "Command ended";
  ending.closes = clean;
  ending.button = clean ? kStopCaption : kCloseCaption;
  return ending;
}

WaitingAction buttonAction(bool busy) {
  return busy ? WaitingAction::StopPlenum : WaitingAction::Close;
}

WaitingAction enterKeyAction() { return WaitingAction::SendEnter; }

WaitingAction escapeKeyAction(bool busy) {
  return busy ? WaitingAction::Nothing : WaitingAction::Close;
}

bool mayClose(bool busy) { return !busy; }

}  // namespace tirasse
