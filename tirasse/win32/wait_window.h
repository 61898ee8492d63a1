#pragma once
// "Waiting": plenum's output shown as it arrives, Enter passed on to plenum (its pause
// before exiting and the monitor's stop key work as in a console), Stop, and when plenum
// has ended the outcome line; what its keys and button do and how it ends are the core's
// waiting rules. The main window is disabled while it shows, but not blocked: plenum's
// output keeps arriving through the program's one message loop.

#include <string>

#include "tirasse/core/run_outcome.h"
#include "tirasse/core/waiting_rules.h"
#include "tirasse/win32/window.h"

namespace tirasse::win32 {

class PlenumProcess;

class WaitWindow : public Window {
 public:
  enum Id { StateLabel = 301, OutputBox = 302, SendEnterButton = IDOK, StopButton = 303 };
  WaitWindow(PlenumProcess& process, HWND owner);

  void open();
  void close();
  bool isOpen() const { return open_; }
  void clearOutput();
  void append(const std::string& utf8);
  void ended(const RunOutcome& outcome);

  const std::string& outputText() const { return output_; }
  std::string stateText() const;
  std::string stopCaption() const;

 private:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void act(WaitingAction action);

  PlenumProcess& process_;
  HWND owner_;
  HWND state_;
  HWND box_;
  HWND stop_;
  std::string output_;
  bool open_ = false;
};

}  // namespace tirasse::win32
