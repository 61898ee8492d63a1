// The main window's controls: the tab control with its three pages ("Download", "Advanced",
// "Diagnostic"), the command line, the last output, the version and Exit. Places are in
// dialog units; creation order is Tab order.

#include "tirasse/win32/main_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

namespace {

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kBox = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kShownBox = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY;
constexpr DWORD kGroup = BS_GROUPBOX;

// Pages take the tab control's body colour: the themed one where visual styles are on.
HBRUSH pageBrush() { return GetSysColorBrush(IsAppThemed() ? COLOR_WINDOW : COLOR_BTNFACE); }

// A page passes what its controls report on to the main window.
LRESULT CALLBACK pageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
      return SendMessageW(GetParent(page), message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(pageBrush());
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(page, &area);
      FillRect(reinterpret_cast<HDC>(wParam), &area, pageBrush());
      return 1;
    }
    default:
      return DefWindowProcW(page, message, wParam, lParam);
  }
}

HWND makePage(HWND parent) {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = pageProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"TirassePage";
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
  // WS_EX_CONTROLPARENT: Tab and the accelerators reach the controls on the page.
  return CreateWindowExW(WS_EX_CONTROLPARENT, L"TirassePage", L"", WS_CHILD | WS_CLIPSIBLINGS, 0,
                         0, 10, 10, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

void MainWindow::buildPages() {
  tabs_ = add(WC_TABCONTROLW, "", WS_TABSTOP | WS_CLIPSIBLINGS, Tabs, {6, 6, 318, 186});
  const char* const names[3] = {"Download", "Advanced", "Diagnostic"};
  for (int i = 0; i < 3; ++i) {
    std::wstring name = widen(names[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = name.data();
    SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    pages_[i] = makePage(hwnd());
  }

  HWND page = pages_[0];
  const struct {
    const char* caption;
    int box;
    int change;
  } rows[] = {{"MIDI Input Device:", MidiInBox, MidiInChange},
              {"MIDI Output Device:", MidiOutBox, MidiOutChange},
              {"Configuration File:", ConfigFileBox, ConfigFileChange}};
  int y = 8;
  for (const auto& row : rows) {
    add(L"STATIC", row.caption, SS_LEFT, -1, {6, y + 2, 72, 10}, page);
    add(L"EDIT", "", kShownBox, row.box, {80, y, 170, 12}, page);
    add(L"BUTTON", "Change", kButton, row.change, {254, y - 1, 50, 14}, page);
    y += 18;
  }
  // plenum runs in this folder and finds the firmware files there.
  add(L"STATIC", "Firmware Folder:", SS_LEFT, -1, {6, y + 2, 72, 10}, page);
  add(L"EDIT", "", kShownBox, FirmwareBox, {80, y, 116, 12}, page);
  add(L"BUTTON", "Open", kButton, OpenFirmware, {200, y - 1, 50, 14}, page);
  add(L"BUTTON", "Change", kButton, FirmwareChange, {254, y - 1, 50, 14}, page);
  y += 20;
  const struct {
    const char* caption;
    int id;
  } commands[] = {{"&Download", Download}, {"&Version", Version}, {"&Reset", Reset},
                  {"&Monitor", Monitor}};
  int x = 6;
  for (const auto& button : commands) {
    add(L"BUTTON", button.caption, kButton, button.id, {x, y, 70, 16}, page);
    x += 75;
  }
  add(L"BUTTON", "Skip unchanged relay code", kCheckBox, SkipUnchanged, {6, y + 22, 150, 10}, page);
  add(L"BUTTON", "Check &Console", kButton, CheckConsole, {160, y + 20, 70, 14}, page);
  add(L"BUTTON", "Wiring C&hart", kButton, WiringChart, {234, y + 20, 70, 14}, page);
  add(L"BUTTON", "Monitor names messages from the configuration", kCheckBox, NameMessages,
      {6, y + 36, 220, 10}, page);
  add(L"BUTTON", "MIDI files", kGroup, -1, {6, y + 50, 298, 32}, page);
  add(L"BUTTON", "Play", kButton, Play, {14, y + 62, 60, 14}, page);
  add(L"BUTTON", "Record", kButton, Record, {80, y + 62, 60, 14}, page);
  add(L"BUTTON", "Sequencer", kButton, Sequencer, {146, y + 62, 60, 14}, page);

  page = pages_[1];
  add(L"BUTTON", "&Program Executive", kButton, ProgramExecutive, {6, 6, 100, 16}, page);
  add(L"BUTTON", "&Verify Executive", kButton, VerifyExecutive, {112, 6, 100, 16}, page);
  add(L"STATIC", "Module:", SS_LEFT, -1, {6, 32, 30, 10}, page);
  add(L"EDIT", "0", kBox, ModuleBox, {38, 30, 24, 12}, page);
  add(L"BUTTON", "Start at selected module", kCheckBox, ModuleOnly, {68, 31, 110, 10}, page);
  add(L"BUTTON", "Halt", kButton, Halt, {184, 29, 50, 14}, page);
  add(L"BUTTON", "Run", kButton, Run, {240, 29, 50, 14}, page);
  add(L"STATIC", "Other Options", SS_LEFT, -1, {6, 52, 52, 10}, page);
  add(L"EDIT", "", kBox, OtherOptions, {60, 50, 244, 12}, page);
  add(L"BUTTON", "Keep command window open", kCheckBox, KeepWindowOpen, {6, 67, 200, 10}, page);
  add(L"BUTTON", "Debug display", kGroup, -1, {6, 80, 298, 72}, page);
  for (int i = 0; i < 9; ++i) {
    add(L"BUTTON", kDebugCaptions[i], kCheckBox, DebugBox0 + i, {14 + (i / 5) * 140, 92 + (i % 5) * 11, 130, 10},
        page);
  }

  page = pages_[2];
  add(L"BUTTON", "Display data comparison", kCheckBox, DisplayData, {6, 9, 104, 10}, page);
  add(L"STATIC", "Repeat count:", SS_LEFT, -1, {114, 10, 48, 10}, page);
  add(L"EDIT", "1", kBox, DiagCount, {164, 8, 30, 12}, page);
  add(L"BUTTON", "Run Data Diagnostic", kButton, DataDiagnostic, {202, 7, 90, 14}, page);
  add(L"BUTTON", "Registration", kGroup, -1, {6, 30, 298, 58}, page);
  add(L"BUTTON", "Only Save/Load", kCheckBox, RegistrationOnly, {14, 45, 70, 10}, page);
  add(L"STATIC", "Memories from", SS_LEFT, -1, {90, 46, 52, 10}, page);
  add(L"EDIT", "0", kBox | WS_DISABLED, RegistrationFrom, {144, 44, 24, 12}, page);
  add(L"STATIC", "through", SS_LEFT, -1, {174, 46, 30, 10}, page);
  add(L"EDIT", "127", kBox | WS_DISABLED, RegistrationThrough, {206, 44, 24, 12}, page);
  add(L"BUTTON", "Save Registration to File", kButton, SaveRegistration, {14, 64, 96, 16}, page);
  add(L"BUTTON", "Load Registration from File", kButton, LoadRegistration, {114, 64, 104, 16}, page);
  add(L"BUTTON", "Copy Registration", kButton, CopyRegistration, {222, 64, 76, 16}, page);

  add(L"STATIC", "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, CommandLabel, {6, 196, 318, 10});
  add(L"EDIT", "", WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, LastOutput,
      {6, 209, 318, 62});
  SendMessageW(control(LastOutput), WM_SETFONT, reinterpret_cast<WPARAM>(metrics_.fixedFont()), FALSE);
  SendMessageW(control(LastOutput), EM_SETLIMITTEXT, 0, 0);
  add(L"STATIC", "Tirasse Version ?", SS_LEFT | SS_NOPREFIX, VersionLabel, {6, 282, 200, 10});
  add(L"BUTTON", "E&xit", kButton, Exit, {274, 279, 50, 14});
  sizeClient(330, 300);
  placePages();
  selectPage(0);
}

void MainWindow::placePages() {
  RECT area;
  GetWindowRect(tabs_, &area);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&area), 2);
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (HWND page : pages_) {
    // Above the tab control, so that they are drawn over its body.
    SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOACTIVATE);
  }
}

void MainWindow::selectPage(int page) {
  SendMessageW(tabs_, TCM_SETCURSEL, page, 0);
  for (int i = 0; i < 3; ++i) ShowWindow(pages_[i], i == page ? SW_SHOW : SW_HIDE);
}

void MainWindow::layout() {
  Window::layout();
  SendMessageW(control(LastOutput), WM_SETFONT, reinterpret_cast<WPARAM>(metrics_.fixedFont()), TRUE);
  placePages();
}

}  // namespace tirasse::win32
