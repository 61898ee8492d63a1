// Takes the pictures of the Windows front end in docs/screenshots (not part of the product):
// the main window's three pages, the device dialog, Copy Registration, the Sequencer,
// Playing and Recording (with stand-in MIDI ports: the simulated loop has none), and the
// waiting window with the real plenum.exe's output against the simulated module loop.
// Each picture is a BMP of the window as the screen shows it (scripts/win32-screenshots.sh
// makes PNGs).
//   win32_screenshots.exe PROGRAM_DIR OUT_DIR     (PROGRAM_DIR holds plenum.exe)

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tirasse/midi/midi_file.h"
#include "tirasse/win32/copy_registration_dialog.h"
#include "tirasse/win32/device_dialog.h"
#include "tirasse/win32/main_window.h"
#include "tirasse/win32/message_loop.h"
#include "tirasse/win32/playing_dialog.h"
#include "tirasse/win32/plenum_process.h"
#include "tirasse/win32/recording_dialog.h"
#include "tirasse/win32/sequencer_dialog.h"
#include "tirasse/win32/wait_window.h"
#include "tirasse/win32/wide_text.h"

namespace {

using namespace tirasse::win32;

class SceneDevices : public tirasse::MidiDeviceLists {
 public:
  std::vector<std::string> inputNames() const override {
    return {"Simulated module loop (PLENUM_LOOP=B,B)", "USB MIDI Interface"};
  }
  std::vector<std::string> outputNames() const override {
    return {"Simulated module loop (PLENUM_LOOP=B,B)", "USB MIDI Interface"};
  }
};

class SilentOutput : public tirasse::MidiSink {
 public:
  void send(const tirasse::Bytes&) override {}
};

class SilentInput : public tirasse::MidiInput {};

// Three minutes of a hymn tune's worth of quarter notes.
std::string writeTune(const std::string& folder) {
  tirasse::MidiFile file;
  file.division = 96;
  tirasse::MidiTrack track;
  for (std::uint32_t beat = 0; beat < 360; ++beat) {
    const auto note = static_cast<std::uint8_t>(60 + beat % 8);
    track.events.push_back({beat * 96, {0x90, note, 100}});
    track.events.push_back({beat * 96 + 90, {0x80, note, 0}});
  }
  file.tracks.push_back(track);
  const std::string path = folder + "\\Choral_Präludium.mid";
  tirasse::writeMidiFileType0(path, file);
  return path;
}

void settle(DWORD milliseconds = 400) {
  passMessagesUntil([] { return false; }, milliseconds);
}

// The window as the screen shows it, frame included.
void capture(HWND window, const std::string& path) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  settle();
  RECT area;
  GetWindowRect(window, &area);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);
  // GDI leaves the alpha bytes at 0, which picture tools read as transparent.
  auto* pixel = static_cast<std::uint8_t*>(bits);
  for (int i = 0; i < width * height; ++i) pixel[i * 4 + 3] = 0xFF;
  const DWORD size = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + size;
  std::ofstream out(widen(path).c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), size);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  std::printf("%s\n", path.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const std::string programDir = narrow(argv[1]);
  const std::string out = narrow(argv[2]) + "\\";
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string settings = narrow(temp) + "tirasse-screenshots";
  CreateDirectoryW(widen(settings).c_str(), nullptr);
  const std::string config = settings + "\\Kirche_Übung.ncf";
  {
    std::ofstream ini(widen(settings + "\\tirasse.ini").c_str(), std::ios::binary);
    ini << "V3\n0\nSimulated module loop (PLENUM_LOOP=B,B)\n0\nSimulated module loop (PLENUM_LOOP=B,B)\n"
        << config << "\n\n\n\n";
  }
  SetEnvironmentVariableW(L"PLENUM_LOOP", L"B,B");

  SceneDevices devices;
  StartupEnvironment environment;
  environment.folders = {programDir, settings, settings, settings};
  environment.devices = &devices;
  environment.askForConfigFile = false;
  MainWindow window(environment);
  window.onExit = [] {};
  window.show(SW_SHOW);
  if (!window.start()) return 1;
  settle();
  capture(window.hwnd(), out + "win32-main-window.bmp");
  window.selectPage(1);
  setTicked(window.control(MainWindow::ModuleOnly), true);
  setTicked(window.control(MainWindow::DebugBox0), true);
  capture(window.hwnd(), out + "win32-main-window-advanced.bmp");
  window.selectPage(2);
  capture(window.hwnd(), out + "win32-main-window-diagnostic.bmp");
  window.selectPage(0);
  setTicked(window.control(MainWindow::ModuleOnly), false);
  setTicked(window.control(MainWindow::DebugBox0), false);

  setModalShownHook([&](HWND dialog) {
    settle();
    capture(dialog, out + "win32-device-dialog.bmp");
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  SendMessageW(window.control(MainWindow::MidiInChange), BM_CLICK, 0, 0);
  setModalShownHook([&](HWND dialog) {
    settle();
    capture(dialog, out + "win32-copy-registration.bmp");
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  SendMessageW(window.control(MainWindow::CopyRegistration), BM_CLICK, 0, 0);
  // The simulated loop has no MIDI devices, so the Sequencer is made here; it opens none
  // before Play, Record or the allow box.
  setModalShownHook([&](HWND dialog) {
    settle();
    capture(dialog, out + "win32-sequencer.bmp");
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  {
    SequencerDialog sequencer(0, 0, settings, tirasse::SequencerPorts{}, showSystemFileDialog,
                              [](const std::string&) {}, window.hwnd());
    sequencer.runModal(window.hwnd());
  }
  setModalShownHook([&](HWND dialog) {
    settle(1600);
    capture(dialog, out + "win32-playing.bmp");
    // Clicked, as a user does: Enter with the focus in the speed box sets the speed instead.
    SendMessageW(findControl(dialog, PlayingDialog::FinishedButton), BM_CLICK, 0, 0);
  });
  {
    PlayingDialog playing(writeTune(settings), 0,
                          [](int) { return std::make_unique<SilentOutput>(); },
                          [](const std::string&) {}, window.hwnd());
    if (playing.isReady()) playing.runModal(window.hwnd());
  }
  tirasse::MidiInputHandler input;
  setModalShownHook([&](HWND dialog) {
    for (int key = 0; key < 24; ++key) input({0x90, static_cast<std::uint8_t>(48 + key), 90});
    settle(2300);
    capture(dialog, out + "win32-recording.bmp");
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // Save, to the file given below
  });
  {
    std::string midDir = settings;
    RecordingDialog recording(
        0, midDir,
        [&input](int, tirasse::MidiInputHandler handler) {
          input = std::move(handler);
          return std::make_unique<SilentInput>();
        },
        [&settings](HWND, const FileDialogRequest&) -> std::optional<std::string> {
          return settings + "\\take.mid";
        },
        [](const std::string&) {}, window.hwnd());
    if (recording.isReady()) recording.runModal(window.hwnd());
  }
  setModalShownHook(nullptr);

  // plenum's own output while it waits for Enter, then the main window after the run.
  SendMessageW(window.control(MainWindow::Version), BM_CLICK, 0, 0);
  passMessagesUntil([&] {
    return window.waitWindow().outputText().find("Please press <Enter>") != std::string::npos;
  }, 60000);
  capture(window.waitWindow().hwnd(), out + "win32-waiting-window.bmp");
  window.process().sendEnter();
  passMessagesUntil([&] { return !window.process().isBusy(); }, 60000);
  settle();
  capture(window.hwnd(), out + "win32-main-window-after-command.bmp");
  return 0;
}
