#pragma once
// "Waiting", the window that shows plenum's output while it runs: what its texts say, what
// Enter, Escape, closing and its one button do, and how it ends. After a clean end it
// closes; otherwise it stays open to be read, its button then says Close.

#include <string>

#include "tirasse/core/run_outcome.h"

namespace tirasse {

inline constexpr const char* kWaitingTitle = "Waiting";
inline constexpr const char* kWaitingState = "Waiting for command to complete";
inline constexpr const char* kStopCaption = "Stop plenum";
inline constexpr const char* kSendEnterCaption = "Send Enter";
inline constexpr const char* kCloseCaption = "Close";

struct RunEnding {
  std::string appended;  // added to the output shown: the outcome on a line of its own
  std::string state;     // "Command completed" or "Command ended"
  bool closes = false;   // the window closes by itself
  std::string button;    // the button's caption from now on
};

RunEnding endingOf(const std::string& shownOutput, const RunOutcome& outcome);

enum class WaitingAction { SendEnter, StopPlenum, Close, Nothing };

// The button: Stop while plenum runs, Close once it has gone.
WaitingAction buttonAction(bool busy);
// Enter always goes to plenum (its pause and the monitor's stop key); Escape closes only
// once plenum has gone.
WaitingAction enterKeyAction();
WaitingAction escapeKeyAction(bool busy);
// The window's close box.
bool mayClose(bool busy);

}  // namespace tirasse
