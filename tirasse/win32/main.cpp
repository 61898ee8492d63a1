// tirasse.exe: the Windows front end of plenum.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "tirasse/midi/system_midi_ports.h"
#include "tirasse/win32/known_folders.h"
#include "tirasse/win32/main_window.h"
#include "tirasse/win32/message_loop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);  // file dialogs
  const tirasse::SystemMidiDeviceLists devices;
  tirasse::win32::StartupEnvironment environment;
  // plenum.exe, plenum.bat and version.txt are installed beside tirasse.exe.
  environment.folders = tirasse::win32::systemFolders();
  environment.devices = &devices;
  tirasse::win32::MainWindow window(environment);
  window.show(show);
  if (!window.start()) return 1;
  return tirasse::win32::runMessageLoop();
}
