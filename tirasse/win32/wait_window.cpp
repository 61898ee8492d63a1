#include "tirasse/win32/wait_window.h"

#include "tirasse/core/waiting_rules.h"
#include "tirasse/win32/plenum_process.h"
#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

namespace {

// The edit control breaks lines only at CR LF.
std::wstring withWindowsLineEnds(const std::string& text) {
  std::wstring wide = widen(text);
  std::wstring shown;
  shown.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == L'\n' && (i == 0 || wide[i - 1] != L'\r')) shown.push_back(L'\r');
    shown.push_back(wide[i]);
  }
  return shown;
}
}  // namespace

WaitWindow::WaitWindow(PlenumProcess& process, HWND owner) : process_(process), owner_(owner) {
  create(L"TirasseWaiting", WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kWaitingTitle,
         WS_POPUP | WS_CAPTION | WS_SYSMENU, owner);
  sizeClient(340, 220);
  state_ = add(L"STATIC", kWaitingState, SS_LEFT, StateLabel, {7, 7, 326, 10});
  box_ = add(L"EDIT", "", WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
             OutputBox, {7, 20, 326, 172});
  SendMessageW(box_, WM_SETFONT, reinterpret_cast<WPARAM>(metrics_.fixedFont()), FALSE);
  SendMessageW(box_, EM_SETLIMITTEXT, 0, 0);  // an endless diagnostic prints a lot
  add(L"BUTTON", kSendEnterCaption, BS_DEFPUSHBUTTON | WS_TABSTOP, SendEnterButton, {7, 199, 60, 14});
  stop_ = add(L"BUTTON", kStopCaption, BS_PUSHBUTTON | WS_TABSTOP, StopButton, {273, 199, 60, 14});
}

void WaitWindow::open() {
  open_ = true;
  EnableWindow(owner_, FALSE);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(findControl(hwnd(), SendEnterButton));
}

void WaitWindow::close() {
  if (!open_) return;
  open_ = false;
  EnableWindow(owner_, TRUE);  // before hiding, or another program is activated
  ShowWindow(hwnd(), SW_HIDE);
  SetActiveWindow(owner_);
}

void WaitWindow::clearOutput() {
  output_.clear();
  SetWindowTextW(box_, L"");
  setControlText(state_, kWaitingState);
  setControlText(stop_, kStopCaption);
}

void WaitWindow::append(const std::string& utf8) {
  // plenum prints progress characters without line ends: append exactly what came.
  output_ += utf8;
  const int end = GetWindowTextLengthW(box_);
  SendMessageW(box_, EM_SETSEL, end, end);
  SendMessageW(box_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(withWindowsLineEnds(utf8).c_str()));
  SendMessageW(box_, EM_SCROLLCARET, 0, 0);
}

void WaitWindow::ended(const RunOutcome& outcome) {
  const RunEnding ending = endingOf(output_, outcome);
  append(ending.appended);
  setControlText(state_, ending.state);
  setControlText(stop_, ending.button);
  if (ending.closes) close();
}

void WaitWindow::act(WaitingAction action) {
  switch (action) {
    case WaitingAction::SendEnter:
      process_.sendEnter();
      return;
    case WaitingAction::StopPlenum:
      process_.stop();
      return;
    case WaitingAction::Close:
      close();
      return;
    case WaitingAction::Nothing:
      return;
  }
}

std::string WaitWindow::stateText() const { return controlText(state_); }
std::string WaitWindow::stopCaption() const { return controlText(stop_); }

LRESULT WaitWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case SendEnterButton:  // the button, and Enter
          act(enterKeyAction());
          return 0;
        case StopButton:
          act(buttonAction(process_.isBusy()));
          return 0;
        case IDCANCEL:  // Escape
          act(escapeKeyAction(process_.isBusy()));
          return 0;
        default:
          return 0;
      }
    case WM_CLOSE:
      if (mayClose(process_.isBusy())) close();
      return 0;
    default:
      return Window::handle(message, wParam, lParam);
  }
}

}  // namespace tirasse::win32
