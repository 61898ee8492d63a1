#pragma once
// The one way messages are passed on, for the program's loop, the modal windows' loops and
// the tests: keys that move between controls (Tab, Enter, Escape, Alt and a letter) go to the
// window they belong to, as in a dialog box.

#include <windows.h>

#include <functional>

namespace tirasse::win32 {

// Ctrl+Tab (wParam 1) and Ctrl+Shift+Tab (wParam -1) are sent to the window they belong to,
// as this message; a window with tab pages turns its page and returns nonzero.
inline constexpr UINT kTurnPageMessage = WM_APP + 20;

void passOn(MSG& message);

// Runs until WM_QUIT; returns its exit code.
int runMessageLoop();

// Passes messages on until `done` holds or `timeout` milliseconds have passed; false on the
// time-out. A WM_QUIT seen meanwhile is posted again for the outer loop.
bool passMessagesUntil(const std::function<bool()>& done, DWORD timeout = INFINITE);

// Shows `window` modally over `owner` (disabled meanwhile) until `done` holds.
void runModal(HWND window, HWND owner, const std::function<bool()>& done);

// Called with each modal window once it shows, before its loop runs; the tests press its
// buttons from here. Unset in the program.
void setModalShownHook(std::function<void(HWND)> hook);

}  // namespace tirasse::win32
