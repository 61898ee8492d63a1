#pragma once
// A modal window that behaves as a dialog box: Tab moves through its controls, Enter
// presses its default button (IDOK), Escape and the close box cancel (IDCANCEL).

#include "tirasse/win32/window.h"

namespace tirasse::win32 {

class DialogWindow : public Window {
 public:
  // Runs the window until OK or Cancel ends it; true for OK.
  bool runModal(HWND owner);

 protected:
  void createDialog(const std::string& title, HWND owner, int width, int height);
  // OK was pressed: false keeps the window open.
  virtual bool accept() { return true; }
  virtual void command(int /*id*/, int /*code*/, HWND /*control*/) {}
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void end(bool accepted);

 private:
  bool ended_ = false;
  bool accepted_ = false;
};

}  // namespace tirasse::win32
