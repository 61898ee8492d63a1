#include "tirasse/win32/window.h"

#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Window::create(const wchar_t* className, DWORD exStyle, const std::string& title, DWORD style,
                    HWND parent, int backgroundColour) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW known{};
  known.cbSize = sizeof known;
  if (!GetClassInfoExW(instance, className, &known)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(backgroundColour);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
  }
  metrics_.setDpi(UiMetrics::dpiOf(parent));
  CreateWindowExW(exStyle, className, widen(title).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance, this);
}

LRESULT CALLBACK Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->handle(message, wParam, lParam);
}

LRESULT Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DPICHANGED) {
    metrics_.setDpi(HIWORD(wParam));
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    layout();
    return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

HWND Window::add(const wchar_t* className, const std::string& text, DWORD style, int id,
                 Place place, HWND parent, DWORD exStyle) {
  HWND owner = parent ? parent : hwnd_;
  HWND control = CreateWindowExW(exStyle, className, widen(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                                 metrics_.x(place.x), metrics_.y(place.y), metrics_.x(place.width),
                                 metrics_.y(place.height), owner,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(metrics_.font()), FALSE);
  placed_.push_back({control, owner, place});
  return control;
}

void Window::sizeClient(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  RECT rect{0, 0, metrics_.x(width), metrics_.y(height)};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  const int outerWidth = rect.right - rect.left;
  const int outerHeight = rect.bottom - rect.top;
  RECT area{};
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (owner) {
    GetWindowRect(owner, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  const int x = area.left + ((area.right - area.left) - outerWidth) / 2;
  const int y = area.top + ((area.bottom - area.top) - outerHeight) / 2;
  SetWindowPos(hwnd_, nullptr, x > 0 ? x : 0, y > 0 ? y : 0, outerWidth, outerHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::layout() {
  for (const Placed& placed : placed_) {
    SetWindowPos(placed.control, nullptr, metrics_.x(placed.place.x), metrics_.y(placed.place.y),
                 metrics_.x(placed.place.width), metrics_.y(placed.place.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(metrics_.font()), TRUE);
  }
}

namespace {
struct Search {
  int id;
  HWND found;
};
BOOL CALLBACK matchId(HWND control, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (GetDlgCtrlID(control) != search->id) return TRUE;
  search->found = control;
  return FALSE;
}
}  // namespace

HWND findControl(HWND root, int id) {
  Search search{id, nullptr};
  EnumChildWindows(root, matchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string controlText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return narrow(text);
}

void setControlText(HWND control, const std::string& text) {
  SetWindowTextW(control, widen(text).c_str());
}

bool isTicked(HWND checkBox) {
  return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setTicked(HWND checkBox, bool ticked) {
  SendMessageW(checkBox, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace tirasse::win32
