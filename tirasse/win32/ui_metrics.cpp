#include "tirasse/win32/ui_metrics.h"

namespace tirasse::win32 {

namespace {

using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiCall = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

template <typename Call>
Call user32Call(const char* name) {
  return reinterpret_cast<Call>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

LOGFONTW messageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  static const auto forDpi = user32Call<SystemParametersInfoForDpiCall>("SystemParametersInfoForDpi");
  if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    return metrics.lfMessageFont;
  }
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    HDC screen = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                            systemDpi > 0 ? systemDpi : 96);
    return metrics.lfMessageFont;
  }
  LOGFONTW fallback{};
  fallback.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
  wcscpy_s(fallback.lfFaceName, L"Segoe UI");
  return fallback;
}

}  // namespace

UiMetrics::UiMetrics(UINT dpi) { setDpi(dpi); }

UiMetrics::~UiMetrics() {
  if (font_) DeleteObject(font_);
  if (fixedFont_) DeleteObject(fixedFont_);
}

UINT UiMetrics::dpiOf(HWND window) {
  static const auto forWindow = user32Call<GetDpiForWindowCall>("GetDpiForWindow");
  if (forWindow && window) {
    const UINT dpi = forWindow(window);
    if (dpi > 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

void UiMetrics::setDpi(UINT dpi) {
  if (font_) DeleteObject(font_);
  if (fixedFont_) DeleteObject(fixedFont_);
  LOGFONTW font = messageFont(dpi);
  font_ = CreateFontIndirectW(&font);
  // plenum's output is laid out in columns: a fixed-pitch face of the same size.
  LOGFONTW fixed = font;
  fixed.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  wcscpy_s(fixed.lfFaceName, L"Consolas");
  fixedFont_ = CreateFontIndirectW(&fixed);

  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font_);
  TEXTMETRICW text{};
  GetTextMetricsW(screen, &text);
  SIZE size{};
  static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  GetTextExtentPoint32W(screen, kLetters, 52, &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  baseX_ = size.cx > 0 ? (size.cx / 26 + 1) / 2 : 6;
  baseY_ = text.tmHeight > 0 ? text.tmHeight : 13;
}

}  // namespace tirasse::win32
