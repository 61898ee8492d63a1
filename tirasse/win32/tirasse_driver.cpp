// Drives an installed tirasse.exe from outside, as a user would: starts it, presses
// Download in its main window, waits in the waiting window until plenum asks for Enter,
// presses "Send Enter", waits for the outcome line, prints what the main window shows of
// plenum's output and presses Exit. Ends with status 0 when the download succeeded.
//   tirasse_driver.exe TIRASSE_EXE

#include <windows.h>

#include <cstdio>
#include <string>

#include "tirasse/win32/main_window.h"
#include "tirasse/win32/wait_window.h"

namespace {

using tirasse::win32::MainWindow;
using tirasse::win32::WaitWindow;

struct Search {
  DWORD process;
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t title[128] = L"";
  GetWindowTextW(window, title, 128);
  if (owner != search->process || wcscmp(title, search->title) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

HWND topWindow(DWORD process, const wchar_t* title) {
  Search search{process, title, nullptr};
  EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK matchControl(HWND control, LPARAM data) {
  auto* search = reinterpret_cast<ControlSearch*>(data);
  if (GetDlgCtrlID(control) != search->id) return TRUE;
  search->found = control;
  return FALSE;
}

HWND control(HWND root, int id) {
  ControlSearch search{id, nullptr};
  if (root) EnumChildWindows(root, matchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring text(HWND window) {
  if (!window) return {};
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring result(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(window, WM_GETTEXT, result.size(), reinterpret_cast<LPARAM>(result.data()));
  result.resize(static_cast<std::size_t>(copied));
  return result;
}

std::string utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        size, nullptr, nullptr);
  }
  return result;
}

// Polls every 100 ms for up to a minute.
template <typename Condition>
bool waitFor(Condition condition) {
  for (int i = 0; i < 600; ++i) {
    if (condition()) return true;
    Sleep(100);
  }
  return false;
}

int fail(const char* step, const std::wstring& shown = {}) {
  std::printf("tirasse_driver: %s\n%s\n", step, utf8(shown).c_str());
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return fail("usage: tirasse_driver.exe TIRASSE_EXE");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
  if (!CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return fail("tirasse.exe did not start");
  }
  HWND main = nullptr;
  if (!waitFor([&] { return (main = topWindow(info.dwProcessId, L"Norvo Configuration")) != nullptr &&
                            IsWindowVisible(main); })) {
    return fail("no main window");
  }
  HWND download = control(main, MainWindow::Download);
  if (!download || !waitFor([&] { return IsWindowEnabled(main) != FALSE; })) return fail("no Download button");
  SendMessageW(download, BM_CLICK, 0, 0);
  HWND waiting = nullptr;
  if (!waitFor([&] { return (waiting = topWindow(info.dwProcessId, L"Waiting")) != nullptr; })) {
    return fail("no waiting window", text(control(main, MainWindow::CommandLabel)));
  }
  HWND output = control(waiting, WaitWindow::OutputBox);
  if (!waitFor([&] { return text(output).find(L"Please press <Enter> to continue...") != std::wstring::npos; })) {
    return fail("plenum did not ask for Enter", text(output));
  }
  SendMessageW(control(waiting, WaitWindow::SendEnterButton), BM_CLICK, 0, 0);
  HWND last = control(main, MainWindow::LastOutput);
  if (!waitFor([&] { return text(last).find(L"plenum ended") != std::wstring::npos; })) {
    return fail("no outcome line", text(output));
  }
  const std::wstring shown = text(last);
  std::printf("%s\n", utf8(shown).c_str());
  if (IsWindowVisible(waiting)) SendMessageW(control(waiting, WaitWindow::StopButton), BM_CLICK, 0, 0);
  PostMessageW(control(main, MainWindow::Exit), BM_CLICK, 0, 0);
  if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0) {
    TerminateProcess(info.hProcess, 1);
    return fail("tirasse.exe did not end after Exit");
  }
  const bool downloaded = shown.find(L"Configuration successfully downloaded") != std::wstring::npos &&
                          shown.find(L"plenum ended with status 0: it finished normally") != std::wstring::npos;
  return downloaded ? 0 : 1;
}
