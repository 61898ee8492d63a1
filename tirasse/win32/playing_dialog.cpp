#include "tirasse/win32/playing_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tirasse::win32 {

namespace {
constexpr UINT_PTR kPollTimer = 1;
}

std::string minutesAndSeconds(long long milliseconds) {
  const long long seconds = std::max(0LL, milliseconds) / 1000;
  const long long rest = seconds % 60;
  return std::to_string(seconds / 60) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest);
}

PlayingDialog::PlayingDialog(const std::string& file, int outputDevice, OutputPortOpener openOutput,
                             std::function<void(const std::string&)> showMessage, HWND owner)
    : showMessage_(std::move(showMessage)), commands_(std::move(openOutput)) {
  createDialog("Playing", owner, 280, 96);
  add(L"STATIC", "File:", SS_LEFT, -1, {7, 8, 50, 10});
  add(L"STATIC", file, SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, FileLabel, {60, 8, 213, 10});
  add(L"STATIC", "Position:", SS_LEFT, -1, {7, 22, 50, 10});
  add(L"STATIC", "0:00", SS_LEFT, PositionLabel, {60, 22, 60, 10});
  add(L"STATIC", "Length:", SS_LEFT, -1, {7, 36, 50, 10});
  add(L"STATIC", "", SS_LEFT, LengthLabel, {60, 36, 60, 10});
  add(L"STATIC", "Speed (%):", SS_LEFT, -1, {7, 52, 50, 10});
  add(L"EDIT", "100", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, SpeedBox, {60, 50, 40, 12});
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

  if (!send("open \"" + file + "\" type sequencer alias midio")) return;
  opened_ = true;
  std::string divisionType, length, tempo;
  if (!send("set midio port " + std::to_string(outputDevice)) ||
      !send("status midio division type", &divisionType) || !send("status midio length", &length) ||
      !send("status midio tempo", &tempo)) {
    return;
  }
  tempo_ = std::atof(tempo.c_str());
  setControlText(findControl(hwnd(), LengthLabel),
                 divisionType == "PPQN" ? minutesAndSeconds(std::atoll(length.c_str())) : length);
  if (!send("play midio")) return;
  ready_ = true;
  SetTimer(hwnd(), kPollTimer, 1000, nullptr);
}

PlayingDialog::~PlayingDialog() {
  if (hwnd()) KillTimer(hwnd(), kPollTimer);
  if (!opened_) return;
  try {
    commands_.send("close midio");
  } catch (const CommandError&) {
  }
}

bool PlayingDialog::send(const std::string& command, std::string* result) {
  try {
    const std::string answer = commands_.send(command);
    if (result) *result = answer;
    return true;
  } catch (const CommandError& error) {
    KillTimer(hwnd(), kPollTimer);
    showMessage_(commandFailedMessage(command, error.what()));
    return false;
  }
}

void PlayingDialog::poll() {
  std::string position, mode;
  if (!send("status midio position", &position) || !send("status midio mode", &mode)) return;
  setControlText(findControl(hwnd(), PositionLabel), minutesAndSeconds(std::atoll(position.c_str())));
  if (mode == "stopped" && !paused_) send("seek midio to start");
}

void PlayingDialog::setSpeed(double percent) {
  speed_ = std::clamp(percent, 5.0, 1000.0);
  setControlText(findControl(hwnd(), SpeedBox), std::to_string(std::lround(speed_)));
  const long tempo = static_cast<long>(tempo_ * speed_ / 100);
  send("set midio tempo " + std::to_string(std::max(1L, tempo)));
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
      if (send("stop midio")) send("seek midio to start");
      return;
    case PauseButton:
      if (send(paused_ ? "play midio" : "pause midio")) {
        paused_ = !paused_;
        setControlText(findControl(hwnd(), PauseButton), paused_ ? "Resume" : "Pause");
      }
      return;
    case FasterButton:
      setSpeed(speed_ * 1.25);
      return;
    case SlowerButton:
      setSpeed(speed_ * 0.8);
      return;
    case NormalButton:
      setSpeed(100);
      return;
    case SpeedBox:
      if (code == EN_KILLFOCUS) {
        char* end = nullptr;
        const std::string text = controlText(findControl(hwnd(), SpeedBox));
        const double percent = std::strtod(text.c_str(), &end);
        setSpeed(end != text.c_str() && *end == '\0' && percent > 0 ? percent : speed_);
      }
      return;
    default:
      return;
  }
}

LRESULT PlayingDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kPollTimer) {
    poll();
    return 0;
  }
  return DialogWindow::handle(message, wParam, lParam);
}

}  // namespace tirasse::win32
