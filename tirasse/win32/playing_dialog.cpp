#include "tirasse/win32/playing_dialog.h"

namespace tirasse::win32 {

namespace {
constexpr UINT_PTR kPollTimer = 1;
}

PlayingDialog::PlayingDialog(const std::string& file, int outputDevice, OutputPortOpener openOutput,
                             std::function<void(const std::string&)> showMessage, HWND owner)
    : session_(file, outputDevice, std::move(openOutput), std::move(showMessage)) {
  createDialog(kPlayingTitle, owner, 280, 96);
  add(L"STATIC", "File:", SS_LEFT, -1, {7, 8, 50, 10});
  add(L"STATIC", file, SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, FileLabel, {60, 8, 213, 10});
  add(L"STATIC", "Position:", SS_LEFT, -1, {7, 22, 50, 10});
  add(L"STATIC", session_.positionText(), SS_LEFT, PositionLabel, {60, 22, 60, 10});
  add(L"STATIC", "Length:", SS_LEFT, -1, {7, 36, 50, 10});
  add(L"STATIC", session_.lengthText(), SS_LEFT, LengthLabel, {60, 36, 60, 10});
  add(L"STATIC", "Speed (%):", SS_LEFT, -1, {7, 52, 50, 10});
  add(L"EDIT", session_.speedText(), WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, SpeedBox,
      {60, 50, 40, 12});
  const struct {
    const char* caption;
    int id;
  } buttons[] = {{"Stop", StopButton},     {"Pause", PauseButton},   {"Faster", FasterButton},
                 {"Slower", SlowerButton}, {"Normal", NormalButton}, {"Finished", FinishedButton}};
  int x = 7;
  for (const auto& button : buttons) {
    add(L"BUTTON", button.caption, BS_PUSHBUTTON | WS_TABSTOP, button.id, {x, 75, 41, 14});
    x += 45;
  }
  if (session_.isReady()) SetTimer(hwnd(), kPollTimer, 1000, nullptr);
}

PlayingDialog::~PlayingDialog() {
  if (hwnd()) KillTimer(hwnd(), kPollTimer);
}

void PlayingDialog::act(const std::function<void(PlayingSession&)>& action, bool speed) {
  action(session_);
  if (!session_.isPolling()) KillTimer(hwnd(), kPollTimer);
  setControlText(findControl(hwnd(), PositionLabel), session_.positionText());
  if (speed) setControlText(findControl(hwnd(), SpeedBox), session_.speedText());
  setControlText(findControl(hwnd(), PauseButton), session_.pauseCaption());
}

bool PlayingDialog::accept() {
  // Enter in the speed box sets the speed; elsewhere it is Finished.
  if (GetFocus() != findControl(hwnd(), SpeedBox)) return true;
  command(SpeedBox, EN_KILLFOCUS, nullptr);
  return false;
}

void PlayingDialog::command(int id, int code, HWND) {
  switch (id) {
    case StopButton:
      return act(&PlayingSession::stop);
    case PauseButton:
      return act(&PlayingSession::togglePause);
    case FasterButton:
      return act(&PlayingSession::faster, true);
    case SlowerButton:
      return act(&PlayingSession::slower, true);
    case NormalButton:
      return act(&PlayingSession::normal, true);
    case SpeedBox:
      if (code == EN_KILLFOCUS) {
        const std::string text = controlText(findControl(hwnd(), SpeedBox));
        act([&text](PlayingSession& session) { session.speedEdited(text); }, true);
      }
      return;
    default:
      return;
  }
}

LRESULT PlayingDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kPollTimer) {
    act(&PlayingSession::poll);
    return 0;
  }
  return DialogWindow::handle(message, wParam, lParam);
}

}  // namespace tirasse::win32
