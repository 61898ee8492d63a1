#include "tirasse/win32/device_dialog.h"

#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

DeviceDialog::DeviceDialog(const std::string& task, const std::vector<std::string>& names,
                           HWND owner) {
  createDialog("Select MIDI device", owner, 220, 150);
  add(L"STATIC", task, SS_LEFT, TaskLabel, {7, 7, 206, 10});
  list_ = add(L"LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
              DeviceList, {7, 20, 206, 102});
  for (const std::string& name : names) {
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
  }
  SendMessageW(list_, LB_SETCURSEL, 0, 0);
  add(L"BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, {109, 129, 50, 14});
  add(L"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, {163, 129, 50, 14});
}

bool DeviceDialog::accept() {
  selected_ = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
  return true;
}

void DeviceDialog::command(int id, int code, HWND) {
  if (id == DeviceList && code == LBN_DBLCLK && accept()) end(true);
}

}  // namespace tirasse::win32
