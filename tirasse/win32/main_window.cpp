#include "tirasse/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <fstream>
#include <string>

#include "tirasse/core/memory_range.h"
#include "tirasse/core/run_outcome.h"
#include "tirasse/core/utf8_path.h"
#include "tirasse/win32/copy_registration_dialog.h"
#include "tirasse/win32/device_dialog.h"
#include "tirasse/win32/message_loop.h"
#include "tirasse/win32/playing_dialog.h"
#include "tirasse/win32/plenum_process.h"
#include "tirasse/win32/sequencer_dialog.h"
#include "tirasse/win32/wait_window.h"
#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

namespace {

constexpr UINT kProcessMessage = WM_APP + 1;

}  // namespace

MainWindow::MainWindow(StartupEnvironment environment)
    : environment_(std::move(environment)), flow_(environment_.folders, *environment_.devices) {
  showMessage = [this](const std::string& text) {
    MessageBoxW(hwnd(), widen(text).c_str(), widen(kMainWindowTitle).c_str(),
                MB_OK | MB_ICONINFORMATION);
  };
  flow_.showMessage = [this](const std::string& text) { showMessage(text); };
  openFolder = [this](const std::string& folder) {
    ShellExecuteW(hwnd(), L"open", widen(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  };
  openChart = [this](const std::string& page) {
    ShellExecuteW(hwnd(), L"open", widen(page).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  };
  flow_.askDevice = [this](bool input, const std::vector<std::string>& names) {
    DeviceDialog dialog(input ? "Select MIDI Input Device" : "Select MIDI Output Device", names,
                        hwnd());
    return dialog.runModal(hwnd()) ? dialog.selectedDevice() : -1;
  };
  create(L"TirasseMain", WS_EX_CONTROLPARENT, kMainWindowTitle,
         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, nullptr);
  buildPages();
  PlenumRun::Listener listener;
  listener.output = [this](const std::string& text) {
    wait_->append(text);
    appendLastOutput(text);
  };
  listener.finished = [this](const RunOutcome& outcome) {
    appendLastOutput(outcomeAfter(lastOutput_, outcome));
    wait_->ended(outcome);
    showChartOnceWritten(outcome);
  };
  listener.startFailed = [this] {
    wait_->close();
    showMessage(kStartFailedMessage);
  };
  process_ = std::make_unique<PlenumProcess>(environment_.folders.programDir, hwnd(), kProcessMessage,
                                             std::move(listener));
  wait_ = std::make_unique<WaitWindow>(*process_, hwnd());
}

MainWindow::~MainWindow() {
  // plenum still running goes first: its output must find the windows.
  process_.reset();
  wait_.reset();
}

void MainWindow::show(int how) {
  ShowWindow(hwnd(), how);
  UpdateWindow(hwnd());
}

HWND MainWindow::control(int id) const { return findControl(hwnd(), id); }

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      const auto* note = reinterpret_cast<const NMHDR*>(lParam);
      if (note->hwndFrom == tabs_ && note->code == TCN_SELCHANGE) {
        selectPage(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
      }
      return 0;
    }
    case kProcessMessage:
      process_->notified(wParam);
      return 0;
    case kTurnPageMessage: {
      const int count = static_cast<int>(pages_.size());
      const int current = static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0));
      const int step = static_cast<INT_PTR>(wParam) < 0 ? -1 : 1;
      selectPage((current + step + count) % count);
      // A control of the page put away cannot keep the keyboard.
      if (!IsWindowVisible(GetFocus())) SetFocus(tabs_);
      return 1;
    }
    case WM_TIMER:
      if (process_->timerFired(wParam)) return 0;
      return Window::handle(message, wParam, lParam);
    case WM_CLOSE:
      // Only Exit saves the settings; closing the window otherwise does not.
      if (onExit) onExit();
      return 0;
    default:
      return Window::handle(message, wParam, lParam);
  }
}

void MainWindow::command(int id, int code) {
  if (id >= DebugBox0) return;
  if (code == EN_KILLFOCUS) {
    if (id == RegistrationFrom || id == RegistrationThrough) {
      const std::string from = controlText(control(RegistrationFrom));
      const std::string through = controlText(control(RegistrationThrough));
      showRange(id == RegistrationFrom ? afterFromEdited(from, through)
                                       : afterThroughEdited(from, through));
    }
    return;
  }
  if (code != BN_CLICKED) return;
  const std::pair<int, PlenumButton> plain[] = {
      {Download, PlenumButton::Download}, {Version, PlenumButton::Version},
      {Reset, PlenumButton::Reset},       {Monitor, PlenumButton::Monitor},
      {Halt, PlenumButton::Halt},         {Run, PlenumButton::Run},
      {ProgramExecutive, PlenumButton::ProgramExecutive},
      {VerifyExecutive, PlenumButton::VerifyExecutive},
      {DataDiagnostic, PlenumButton::DataDiagnostic}, {CheckConsole, PlenumButton::CheckConsole}};
  for (const auto& [button, task] : plain) {
    if (id == button) {
      runButton(task);
      return;
    }
  }
  switch (id) {
    case SaveRegistration:
      runButton(PlenumButton::SaveRegistration, chooseRegistrationFile(true));
      return;
    case LoadRegistration:
      runButton(PlenumButton::LoadRegistration, chooseRegistrationFile(false));
      return;
    case CopyRegistration:
      copyRegistration();
      return;
    case WiringChart:
      writeWiringChart();
      return;
    case MidiInChange:
    case MidiOutChange:
      flow_.changeDevice(id == MidiInChange);
      showDevices();
      return;
    case ConfigFileChange:
      chooseConfigFile();
      return;
    case FirmwareChange:
      chooseFirmwareFolder();
      return;
    case OpenFirmware:
      if (openFolder) openFolder(flow_.firmwareFolder());
      return;
    case SkipUnchanged:
      flow_.setSkipUnchangedRelayCode(isTicked(control(SkipUnchanged)));
      return;
    case RegistrationOnly: {
      const bool ticked = isTicked(control(RegistrationOnly));
      EnableWindow(control(RegistrationFrom), ticked);
      EnableWindow(control(RegistrationThrough), ticked);
      return;
    }
    case Play:
      playMidiFile();
      return;
    case Record:
      recordMidiFile();
      return;
    case Sequencer:
      openSequencer();
      return;
    case Exit:
      flow_.exitAndSave();
      if (onExit) onExit();
      return;
    default:
      return;
  }
}

OptionControls MainWindow::controls() const {
  OptionControls controls;
  controls.keepWindowOpen = isTicked(control(KeepWindowOpen));
  controls.startAtModule = isTicked(control(ModuleOnly));
  controls.moduleText = controlText(control(ModuleBox));
  controls.otherOptions = controlText(control(OtherOptions));
  for (int i = 0; i < 9; ++i) {
    if (isTicked(control(DebugBox0 + i))) controls.debugBoxes |= 1u << i;
  }
  controls.skipUnchangedRelayCode = isTicked(control(SkipUnchanged));
  controls.nameMessages = isTicked(control(NameMessages));
  controls.displayComparison = isTicked(control(DisplayData));
  controls.repeatCount = controlText(control(DiagCount));
  controls.rangeOnly = isTicked(control(RegistrationOnly));
  controls.rangeFrom = controlText(control(RegistrationFrom));
  controls.rangeThrough = controlText(control(RegistrationThrough));
  return controls;
}

void MainWindow::showRange(const MemoryRange& range) {
  setControlText(control(RegistrationFrom), std::to_string(range.from));
  setControlText(control(RegistrationThrough), std::to_string(range.through));
}

void MainWindow::runButton(PlenumButton button, const std::string& file, int source,
                           MemoryRange targets) {
  if (button == PlenumButton::SaveRegistration || button == PlenumButton::LoadRegistration) {
    if (file.empty()) return;
    // A box edited and not yet left counts, limited as leaving it would.
    if (isTicked(control(RegistrationOnly))) showRange(rangeOf(controls()));
  }
  const std::optional<PlenumCommand> command =
      flow_.commandFor(button, controls(), file, source, targets);
  if (command) sendPlenumCmd(*command);
}

void MainWindow::writeWiringChart() {
  const std::optional<PlenumCommand> command = flow_.commandFor(PlenumButton::WiringChart, controls());
  if (!command || !flow_.mayStartCommand(process_->isBusy())) return;
  pendingChart_ = flow_.wiringChartPath();
  sendPlenumCmd(*command);
  if (!process_->isBusy()) pendingChart_.clear();  // plenum did not start
}

void MainWindow::showChartOnceWritten(const RunOutcome& outcome) {
  const std::string chart = std::move(pendingChart_);
  pendingChart_.clear();
  if (MainFlow::chartIsReady(chart, outcome) && openChart) openChart(chart);
}

void MainWindow::sendPlenumCmd(const PlenumCommand& command) {
  if (!flow_.mayStartCommand(process_->isBusy())) return;
  setControlText(control(CommandLabel), command.line);
  lastOutput_.clear();
  SetWindowTextW(control(LastOutput), L"");
  wait_->clearOutput();
  process_->start(command);
  if (process_->isBusy()) wait_->open();  // a start that failed has said so
}

void MainWindow::appendLastOutput(const std::string& text) {
  lastOutput_ += text;
  std::wstring shown;
  for (wchar_t c : widen(text)) {
    if (c == L'\n') shown.push_back(L'\r');
    shown.push_back(c);
  }
  HWND box = control(LastOutput);
  const int end = GetWindowTextLengthW(box);
  SendMessageW(box, EM_SETSEL, end, end);
  SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(shown.c_str()));
}

std::string MainWindow::settingsFilePath() const { return pathToUtf8(flow_.settingsFile()); }

bool MainWindow::start() {
  const bool started = flow_.start();
  setTicked(control(SkipUnchanged), flow_.settings().skipUnchangedRelayCode);
  setControlText(control(VersionLabel), flow_.versionText());
  showFirmwareFolder();
  if (!started) return false;
  showDevices();
  if (!flow_.settings().configFile.empty()) {
    setControlText(control(ConfigFileBox), flow_.settings().configFile);
  } else if (environment_.askForConfigFile) {
    chooseConfigFile();
  }
  return true;
}

void MainWindow::showDevices() {
  setControlText(control(MidiInBox), flow_.settings().midiInName);
  setControlText(control(MidiOutBox), flow_.settings().midiOutName);
}

void MainWindow::showFirmwareFolder() {
  setControlText(control(FirmwareBox), flow_.firmwareFolder());
  process_->setWorkingDir(flow_.firmwareFolder());
}

void MainWindow::chooseFirmwareFolder() {
  FileDialogRequest request;
  request.pickFolder = true;
  request.title = "Firmware Folder";
  request.folder = flow_.firmwareFolder();
  const std::optional<std::string> chosen = askForFile(hwnd(), request);
  if (chosen && flow_.firmwareFolderChosen(*chosen)) showFirmwareFolder();
}

void MainWindow::chooseConfigFile() {
  FileDialogRequest request;
  request.title = "Configuration File";
  request.filter = windowsFilter(kConfigFilter);
  request.filterIndex = filterIndex(kConfigFilter, kConfigFilterChosen);
  request.folder = flow_.configStartFolder();
  const std::optional<std::string> chosen = askForFile(hwnd(), request);
  if (!chosen) return;
  flow_.configFileChosen(*chosen);
  setControlText(control(ConfigFileBox), *chosen);
}

std::string MainWindow::chooseRegistrationFile(bool forSaving) {
  FileDialogRequest request;
  request.save = forSaving;
  request.title = "Registration File";
  request.filter = windowsFilter(kRegistrationFilter);
  request.filterIndex = filterIndex(kRegistrationFilter, kRegistrationFilterChosen);
  request.folder = flow_.registrationStartFolder();
  request.fileName = flow_.registrationFileName();
  if (forSaving) request.defaultExtension = "reg";
  const std::optional<std::string> chosen = askForFile(hwnd(), request);
  if (!chosen) return {};
  return flow_.registrationFileChosen(*chosen, forSaving);
}

void MainWindow::copyRegistration() {
  CopyRegistrationDialog dialog(hwnd());
  if (!dialog.runModal(hwnd())) return;
  runButton(PlenumButton::CopyRegistration, {}, dialog.sourceMemory(), dialog.targets());
}

}  // namespace tirasse::win32

namespace tirasse::win32 {

void MainWindow::playMidiFile() {
  if (flow_.refuseSimulatedLoop()) return;
  FileDialogRequest request;
  request.title = "Play MIDI File";
  request.filter = windowsFilter(kMidiFilter);
  request.folder = flow_.midiStartFolder();
  const std::optional<std::string> file = askForFile(hwnd(), request);
  if (!file) return;
  flow_.midiFileChosen(*file);
  setControlText(control(Play), "Playing");
  PlayingDialog dialog(*file, flow_.settings().midiOutDev, openOutput, showMessage, hwnd());
  if (dialog.isReady()) dialog.runModal(hwnd());
  setControlText(control(Play), "Play");
}

void MainWindow::recordMidiFile() {
  if (flow_.refuseSimulatedLoop()) return;
  std::string folder = flow_.midiStartFolder();
  flow_.midiFolderUsed(folder);
  RecordingDialog dialog(flow_.settings().midiInDev, folder, openInput, askForFile, showMessage,
                         hwnd());
  if (dialog.isReady()) dialog.runModal(hwnd());
  flow_.midiFolderUsed(folder);
}

void MainWindow::openSequencer() {
  if (flow_.refuseSimulatedLoop()) return;
  SequencerDialog dialog(flow_.settings().midiInDev, flow_.settings().midiOutDev,
                         flow_.midiStartFolder(), SequencerPorts{openOutput, openInput}, askForFile,
                         showMessage, hwnd());
  dialog.runModal(hwnd());
}

}  // namespace tirasse::win32
