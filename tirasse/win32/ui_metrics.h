#pragma once
// The look of a Windows program of today: the system's message font at the window's DPI,
// and positions given in dialog units (a quarter of the font's average character width, an
// eighth of its height), so that the windows grow with the font and the screen.

#include <windows.h>

namespace tirasse::win32 {

class UiMetrics {
 public:
  explicit UiMetrics(UINT dpi = 96);
  ~UiMetrics();
  UiMetrics(const UiMetrics&) = delete;
  UiMetrics& operator=(const UiMetrics&) = delete;

  // The window's DPI, or the system's where per-monitor DPI is not known.
  static UINT dpiOf(HWND window);
  void setDpi(UINT dpi);

  HFONT font() const { return font_; }
  HFONT fixedFont() const { return fixedFont_; }
  int x(int dialogUnits) const { return MulDiv(dialogUnits, baseX_, 4); }
  int y(int dialogUnits) const { return MulDiv(dialogUnits, baseY_, 8); }

 private:
  HFONT font_ = nullptr;
  HFONT fixedFont_ = nullptr;
  int baseX_ = 6;
  int baseY_ = 13;
};

}  // namespace tirasse::win32
