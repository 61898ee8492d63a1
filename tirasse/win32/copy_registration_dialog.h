#pragma once
// "Copy Registration": one memory copied to a range of memories.

#include "tirasse/core/command_builder.h"
#include "tirasse/win32/dialog_window.h"

namespace tirasse::win32 {

class CopyRegistrationDialog : public DialogWindow {
 public:
  enum Id { SourceBox = 201, FromBox = 202, ThroughBox = 203 };
  explicit CopyRegistrationDialog(HWND owner);
  int sourceMemory() const;
  MemoryRange targets() const;

 private:
  void command(int id, int code, HWND control) override;
  bool accept() override;

  HWND source_;
  HWND from_;
  HWND through_;
};

}  // namespace tirasse::win32
