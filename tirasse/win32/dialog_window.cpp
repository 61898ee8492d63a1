#include "tirasse/win32/dialog_window.h"

#include "tirasse/win32/message_loop.h"

namespace tirasse::win32 {

void DialogWindow::createDialog(const std::string& title, HWND owner, int width, int height) {
  create(L"TirasseDialog", WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, title,
         WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, owner);
  sizeClient(width, height);
}

bool DialogWindow::runModal(HWND owner) {
  ended_ = false;
  accepted_ = false;
  HWND first = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
  if (first) SetFocus(first);
  win32::runModal(hwnd(), owner, [this] { return ended_; });
  return accepted_;
}

void DialogWindow::end(bool accepted) {
  accepted_ = accepted;
  ended_ = true;
}

LRESULT DialogWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK) {
        if (accept()) end(true);
        return 0;
      }
      if (id == IDCANCEL) {
        end(false);
        return 0;
      }
      command(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    }
    case WM_CLOSE:
      end(false);
      return 0;
    default:
      return Window::handle(message, wParam, lParam);
  }
}

}  // namespace tirasse::win32
