#pragma once
// The ground of every tirasse window: the window procedure reaches its C++ object, the
// controls are placed in dialog units and placed again when the window moves to a screen
// of another DPI, and all of them use the message font.

#include <windows.h>

#include <string>
#include <vector>

#include "tirasse/win32/ui_metrics.h"

namespace tirasse::win32 {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }
  const UiMetrics& metrics() const { return metrics_; }

 protected:
  // Creates the window (of a class registered once per name) at the owner's DPI.
  void create(const wchar_t* className, DWORD exStyle, const std::string& title, DWORD style,
              HWND parent, int backgroundColour = COLOR_BTNFACE);
  virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

  struct Place {
    int x, y, width, height;  // dialog units, in the parent's client area
  };
  // A control with its place; `parent` null means this window.
  HWND add(const wchar_t* className, const std::string& text, DWORD style, int id, Place place,
           HWND parent = nullptr, DWORD exStyle = 0);
  // Sets this window's client size in dialog units and centres it on its owner.
  void sizeClient(int width, int height);
  // Applies the places and the font again (after a DPI change).
  virtual void layout();

  UiMetrics metrics_;
  int clientWidth_ = 0;
  int clientHeight_ = 0;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  struct Placed {
    HWND control;
    HWND parent;
    Place place;
  };
  std::vector<Placed> placed_;
  HWND hwnd_ = nullptr;
};

// A control anywhere below `root` (tab pages included) by its id; null when there is none.
HWND findControl(HWND root, int id);

// Control text as UTF-8, and the common states.
std::string controlText(HWND control);
void setControlText(HWND control, const std::string& text);
bool isTicked(HWND checkBox);
void setTicked(HWND checkBox, bool ticked);

}  // namespace tirasse::win32
