#pragma once
// "Select MIDI device": the task ("Select MIDI Input Device") and the device names, the
// first one selected.

#include <string>
#include <vector>

#include "tirasse/win32/dialog_window.h"

namespace tirasse::win32 {

class DeviceDialog : public DialogWindow {
 public:
  enum Id { TaskLabel = 101, DeviceList = 102 };
  DeviceDialog(const std::string& task, const std::vector<std::string>& names, HWND owner);
  // The line selected when OK closed the window, -1 for none.
  int selectedDevice() const { return selected_; }

 private:
  bool accept() override;
  void command(int id, int code, HWND control) override;

  HWND list_ = nullptr;
  int selected_ = -1;
};

}  // namespace tirasse::win32
