#include "tirasse/win32/recording_dialog.h"

#include "tirasse/core/dialog_folders.h"
#include "tirasse/midi/midi_file.h"
#include "tirasse/win32/playing_dialog.h"

namespace tirasse::win32 {

namespace {
constexpr UINT_PTR kRefreshTimer = 1;
}

RecordingDialog::RecordingDialog(int inputDevice, std::string& midDir, InputPortOpener openInput,
                                 FileDialog askForFile,
                                 std::function<void(const std::string&)> showMessage, HWND owner)
    : midDir_(midDir), askForFile_(std::move(askForFile)), showMessage_(std::move(showMessage)) {
  createDialog("Recording", owner, 150, 60);
  add(L"STATIC", "Events:", SS_LEFT, -1, {7, 8, 40, 10});
  add(L"STATIC", "0", SS_LEFT, EventsLabel, {50, 8, 90, 10});
  add(L"STATIC", "Time:", SS_LEFT, -1, {7, 22, 40, 10});
  add(L"STATIC", "0:00", SS_LEFT, TimeLabel, {50, 22, 90, 10});
  add(L"BUTTON", "Save", BS_DEFPUSHBUTTON | WS_TABSTOP, SaveButton, {39, 39, 50, 14});
  add(L"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, {93, 39, 50, 14});

  recorder_.start();
  try {
    input_ = openInput(inputDevice, [this](const Bytes& message) { recorder_.add(message); });
  } catch (const std::exception&) {
    recorder_.stop();
    showMessage_("Oops, the MIDI device is already open");
    return;
  }
  SetTimer(hwnd(), kRefreshTimer, 250, nullptr);
}

RecordingDialog::~RecordingDialog() {
  input_.reset();  // no more messages from the port's thread
  if (hwnd()) KillTimer(hwnd(), kRefreshTimer);
}

void RecordingDialog::refresh() {
  setControlText(findControl(hwnd(), EventsLabel), std::to_string(recorder_.eventCount()));
  setControlText(findControl(hwnd(), TimeLabel),
                 minutesAndSeconds(static_cast<long long>(recorder_.elapsedSeconds() * 1000)));
}

bool RecordingDialog::accept() {
  recorder_.stop();
  input_.reset();
  KillTimer(hwnd(), kRefreshTimer);
  refresh();
  FileDialogRequest request;
  request.save = true;
  request.title = "Save MIDI File";
  request.filter = "MIDI Files (*.mid)|*.mid";
  request.folder = midDir_;
  request.defaultExtension = "mid";
  const std::optional<std::string> chosen = askForFile_(hwnd(), request);
  if (!chosen) return false;  // the take stays here; Save can be pressed again
  const std::string file = withDefaultExtension(*chosen, "mid");
  try {
    writeMidiFileType0(file, recorder_.toMidiFile());
  } catch (const MidiFileError& error) {
    showMessage_(file + " was not saved: " + error.what());
    return false;
  }
  const std::size_t slash = file.find_last_of("\\/");
  if (slash != std::string::npos) midDir_ = file.substr(0, slash);
  return true;
}

LRESULT RecordingDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kRefreshTimer) {
    refresh();
    return 0;
  }
  return DialogWindow::handle(message, wParam, lParam);
}

}  // namespace tirasse::win32
