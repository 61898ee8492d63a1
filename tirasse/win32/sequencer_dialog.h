#pragma once
// "Sequencer": shows the sequencer session (tirasse/flow) and forwards its buttons. What the
// MIDI input's thread hands over is queued and run on this window's thread.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tirasse/flow/sequencer_session.h"
#include "tirasse/win32/dialog_window.h"
#include "tirasse/win32/file_dialogs.h"

namespace tirasse::win32 {

class SequencerDialog : public DialogWindow {
 public:
  enum Id {
    OpenButton = 601, CloseButton, SaveButton, StopButton, PlayButton, RecordButton,
    EventsLabel, TimeLabel, StateLabel, AllowControlBox,
  };
  // `midDir` is where the MIDI file dialogs start; a chosen file's folder replaces it.
  SequencerDialog(int inputDevice, int outputDevice, std::string midDir, SequencerPorts ports,
                  FileDialog askForFile, std::function<void(const std::string&)> showMessage,
                  HWND owner);
  ~SequencerDialog() override;

  std::string stateText() const;

 private:
  void post(std::function<void()> action);  // any thread
  void runPosted();
  void open();
  void save();
  void refreshLabels();
  bool accept() override { return false; }  // Enter does not close it; Escape does
  void command(int id, int code, HWND control) override;
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

  std::string midDir_;
  FileDialog askForFile_;
  std::function<void(const std::string&)> showMessage_;
  std::mutex postedMutex_;
  std::vector<std::function<void()>> posted_;
  std::unique_ptr<SequencerSession> session_;
};

}  // namespace tirasse::win32
