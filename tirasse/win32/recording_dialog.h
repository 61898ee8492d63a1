#pragma once
// "Recording": records what arrives on the input device and saves it as a type 0 MIDI file.

#include <functional>
#include <memory>
#include <string>

#include "tirasse/midi/midi_recorder.h"
#include "tirasse/midi/system_midi_ports.h"
#include "tirasse/win32/dialog_window.h"
#include "tirasse/win32/file_dialogs.h"

namespace tirasse::win32 {

using InputPortOpener = std::function<std::unique_ptr<MidiInput>(int port, MidiInputHandler handler)>;

class RecordingDialog : public DialogWindow {
 public:
  enum Id { EventsLabel = 501, TimeLabel, SaveButton = IDOK };
  // `midDir` is where the MIDI file dialog starts; a saved file's folder replaces it.
  RecordingDialog(int inputDevice, std::string& midDir, InputPortOpener openInput,
                  FileDialog askForFile, std::function<void(const std::string&)> showMessage,
                  HWND owner);
  ~RecordingDialog() override;
  bool isReady() const { return input_ != nullptr; }
  MidiRecorder& recorder() { return recorder_; }

 private:
  bool accept() override;
  void refresh();
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

  std::string& midDir_;
  FileDialog askForFile_;
  std::function<void(const std::string&)> showMessage_;
  MidiRecorder recorder_;
  std::unique_ptr<MidiInput> input_;
};

}  // namespace tirasse::win32
