#pragma once
// "Playing": shows the playing session (position, length, speed) and forwards its buttons.

#include <functional>
#include <string>

#include "tirasse/flow/playing_session.h"
#include "tirasse/win32/dialog_window.h"

namespace tirasse::win32 {

class PlayingDialog : public DialogWindow {
 public:
  enum Id {
    FileLabel = 401, PositionLabel, LengthLabel, SpeedBox, StopButton, PauseButton,
    FasterButton, SlowerButton, NormalButton, FinishedButton = IDOK,
  };
  PlayingDialog(const std::string& file, int outputDevice, OutputPortOpener openOutput,
                std::function<void(const std::string&)> showMessage, HWND owner);
  ~PlayingDialog() override;
  // False after a failed command: the message has been shown and there is nothing to play.
  bool isReady() const { return session_.isReady(); }

 private:
  // Runs one of the session's commands and shows the result; only a speed change rewrites
  // the speed box, so the poll never overwrites what is being typed there.
  void act(const std::function<void(PlayingSession&)>& action, bool speed = false);
  bool accept() override;
  void command(int id, int code, HWND control) override;
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

  PlayingSession session_;
};

}  // namespace tirasse::win32
