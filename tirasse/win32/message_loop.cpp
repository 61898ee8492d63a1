#include "tirasse/win32/message_loop.h"

namespace tirasse::win32 {

namespace {
std::function<void(HWND)>& modalShownHook() {
  static std::function<void(HWND)> hook;
  return hook;
}

bool isDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }
}  // namespace

void passOn(MSG& message) {
  HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  // Before the dialog manager, which would take Ctrl+Tab for a plain Tab.
  if (root && message.message == WM_KEYDOWN && message.wParam == VK_TAB && isDown(VK_CONTROL) &&
      SendMessageW(root, kTurnPageMessage, isDown(VK_SHIFT) ? -1 : 1, 0)) {
    return;
  }
  if (root && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int runMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) passOn(message);
  return static_cast<int>(message.wParam);
}

bool passMessagesUntil(const std::function<bool()>& done, DWORD timeout) {
  const ULONGLONG deadline = GetTickCount64() + timeout;
  while (!done()) {
    MSG message;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return false;
      }
      passOn(message);
      continue;
    }
    const ULONGLONG now = GetTickCount64();
    if (timeout != INFINITE && now >= deadline) return false;
    const DWORD wait = timeout == INFINITE ? INFINITE : static_cast<DWORD>(deadline - now);
    MsgWaitForMultipleObjectsEx(0, nullptr, wait < 50 ? wait : 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  return true;
}

void runModal(HWND window, HWND owner, const std::function<bool()>& done) {
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  if (modalShownHook()) modalShownHook()(window);
  passMessagesUntil([&] { return done() || !IsWindow(window); });
  // The owner is enabled before the window goes, or another program would be activated.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  if (owner) SetActiveWindow(owner);
  if (IsWindow(window)) ShowWindow(window, SW_HIDE);
}

void setModalShownHook(std::function<void(HWND)> hook) { modalShownHook() = std::move(hook); }

}  // namespace tirasse::win32
