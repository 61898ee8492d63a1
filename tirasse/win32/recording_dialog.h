#pragma once
// "Recording": shows the recording session and asks where its take goes.

#include <functional>
#include <string>

#include "tirasse/flow/recording_session.h"
#include "tirasse/win32/dialog_window.h"
#include "tirasse/win32/file_dialogs.h"

namespace tirasse::win32 {

class RecordingDialog : public DialogWindow {
 public:
  enum Id { EventsLabel = 501, TimeLabel, SaveButton = IDOK };
  // `midDir` is where the MIDI file dialog starts; a saved file's folder replaces it.
  RecordingDialog(int inputDevice, std::string& midDir, InputPortOpener openInput,
                  FileDialog askForFile, std::function<void(const std::string&)> showMessage,
                  HWND owner);
  ~RecordingDialog() override;
  bool isReady() const { return session_.isReady(); }

 private:
  bool accept() override;
  void refresh();
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

  std::string& midDir_;
  FileDialog askForFile_;
  RecordingSession session_;
};

}  // namespace tirasse::win32
