#include "tirasse/win32/recording_dialog.h"

#include "tirasse/flow/main_flow.h"

namespace tirasse::win32 {

namespace {
constexpr UINT_PTR kRefreshTimer = 1;
}

RecordingDialog::RecordingDialog(int inputDevice, std::string& midDir, InputPortOpener openInput,
                                 FileDialog askForFile,
                                 std::function<void(const std::string&)> showMessage, HWND owner)
    : midDir_(midDir),
      askForFile_(std::move(askForFile)),
      session_(inputDevice, openInput, std::move(showMessage)) {
  createDialog(kRecordingTitle, owner, 150, 60);
  add(L"STATIC", "Events:", SS_LEFT, -1, {7, 8, 40, 10});
  add(L"STATIC", "0", SS_LEFT, EventsLabel, {50, 8, 90, 10});
  add(L"STATIC", "Time:", SS_LEFT, -1, {7, 22, 40, 10});
  add(L"STATIC", "0:00", SS_LEFT, TimeLabel, {50, 22, 90, 10});
  add(L"BUTTON", "Save", BS_DEFPUSHBUTTON | WS_TABSTOP, SaveButton, {39, 39, 50, 14});
  add(L"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, {93, 39, 50, 14});
  if (session_.isReady()) SetTimer(hwnd(), kRefreshTimer, 250, nullptr);
}

RecordingDialog::~RecordingDialog() {
  if (hwnd()) KillTimer(hwnd(), kRefreshTimer);
}

void RecordingDialog::refresh() {
  setControlText(findControl(hwnd(), EventsLabel), session_.eventsText());
  setControlText(findControl(hwnd(), TimeLabel), session_.timeText());
}

bool RecordingDialog::accept() {
  session_.finish();
  KillTimer(hwnd(), kRefreshTimer);
  refresh();
  FileDialogRequest request;
  request.save = true;
  request.title = kSaveMidiFileTitle;
  request.filter = windowsFilter(kMidiFilter);
  request.folder = midDir_;
  request.defaultExtension = "mid";
  const std::optional<std::string> chosen = askForFile_(hwnd(), request);
  if (!chosen) return false;  // the take stays here; Save can be pressed again
  return session_.saveTo(*chosen, midDir_);
}

LRESULT RecordingDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kRefreshTimer) {
    refresh();
    return 0;
  }
  return DialogWindow::handle(message, wParam, lParam);
}

}  // namespace tirasse::win32
