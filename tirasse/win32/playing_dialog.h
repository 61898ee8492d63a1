#pragma once
// "Playing": plays a MIDI file on the output device through the file-player commands, with
// its position, Stop, Pause, and tempo changes as a percentage of the file's tempo.

#include <functional>
#include <memory>
#include <string>

#include "tirasse/midi/sequencer_commands.h"
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
  bool isReady() const { return ready_; }
  double speed() const { return speed_; }

 private:
  bool send(const std::string& command, std::string* result = nullptr);
  void poll();
  void setSpeed(double percent);
  bool accept() override;
  void command(int id, int code, HWND control) override;
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

  std::function<void(const std::string&)> showMessage_;
  SequencerCommands commands_;
  bool ready_ = false;
  bool opened_ = false;
  bool paused_ = false;
  double tempo_ = 120;
  double speed_ = 100;
};

// Minutes and seconds of a time in milliseconds, as "3:07".
std::string minutesAndSeconds(long long milliseconds);

}  // namespace tirasse::win32
