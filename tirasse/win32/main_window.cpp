#include "tirasse/win32/main_window.h"

#include <commctrl.h>

#include <fstream>
#include <string>

#include "plenum/midi/device_choice.h"
#include "tirasse/core/dialog_folders.h"
#include "tirasse/core/memory_range.h"
#include "tirasse/core/run_outcome.h"
#include "tirasse/core/utf8_path.h"
#include "tirasse/win32/copy_registration_dialog.h"
#include "tirasse/win32/device_dialog.h"
#include "tirasse/win32/plenum_process.h"
#include "tirasse/win32/wait_window.h"
#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

namespace {

constexpr UINT kProcessMessage = WM_APP + 1;

const char* const kTitle = "Norvo Configuration";
const char* const kConfigFilter = "All Files (*.*)|*.*|Norvo Configuration Files (*.ncf)|*.ncf";
const char* const kRegistrationFilter = "All Files (*.*)|*.*|Registration Files (*.reg)|*.reg";

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

MainWindow::MainWindow(StartupEnvironment environment) : environment_(std::move(environment)) {
  showMessage = [this](const std::string& text) {
    MessageBoxW(hwnd(), widen(text).c_str(), widen(kTitle).c_str(), MB_OK | MB_ICONINFORMATION);
  };
  create(L"TirasseMain", WS_EX_CONTROLPARENT, kTitle,
         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, nullptr);
  buildPages();
  process_ = std::make_unique<PlenumProcess>(widen(environment_.programDir), hwnd(), kProcessMessage);
  wait_ = std::make_unique<WaitWindow>(*process_, hwnd());
  process_->onOutput = [this](std::string_view text) {
    wait_->append(std::string(text));
    appendLastOutput(std::string(text));
  };
  process_->onFinished = [this](const RunOutcome& outcome) {
    appendLastOutput(outcomeAfter(lastOutput_, outcome));
    wait_->ended(outcome);
  };
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
  switch (id) {
    case Download:
      if (settings_.configFile.empty()) {
        showMessage("Please choose a configuration file first.");
        return;
      }
      if (moduleBoxAccepted()) sendPlenumCmd(commandBuilder().download(settings_.configFile));
      return;
    case Version:
      sendPlenumCmd(commandBuilder().version());
      return;
    case Reset:
      sendPlenumCmd(commandBuilder().reset());
      return;
    case Monitor:
      sendPlenumCmd(commandBuilder().monitor());
      return;
    case Halt:
      if (moduleBoxAccepted()) sendPlenumCmd(commandBuilder().halt());
      return;
    case Run:
      if (moduleBoxAccepted()) sendPlenumCmd(commandBuilder().run());
      return;
    case ProgramExecutive:
      if (moduleBoxAccepted()) sendPlenumCmd(commandBuilder().programExecutive());
      return;
    case VerifyExecutive:
      if (moduleBoxAccepted()) sendPlenumCmd(commandBuilder().verifyExecutive());
      return;
    case DataDiagnostic:
      sendPlenumCmd(commandBuilder().dataDiagnostic(isTicked(control(DisplayData)),
                                                    controlText(control(DiagCount))));
      return;
    case SaveRegistration:
    case LoadRegistration: {
      const bool saving = id == SaveRegistration;
      const std::string file = chooseRegistrationFile(saving);
      if (file.empty()) return;
      MemoryRange range;
      const MemoryRange* limits = registrationRange(range);
      sendPlenumCmd(saving ? commandBuilder().saveRegistration(limits, file)
                           : commandBuilder().loadRegistration(limits, file));
      return;
    }
    case CopyRegistration:
      copyRegistration();
      return;
    case MidiInChange:
    case MidiOutChange:
      chooseDevice(id == MidiInChange, true);
      showDevices();
      return;
    case ConfigFileChange:
      chooseConfigFile();
      return;
    case SkipUnchanged:
      settings_.skipUnchangedRelayCode = isTicked(control(SkipUnchanged));
      return;
    case RegistrationOnly: {
      const bool ticked = isTicked(control(RegistrationOnly));
      EnableWindow(control(RegistrationFrom), ticked);
      EnableWindow(control(RegistrationThrough), ticked);
      return;
    }
    case Play:
    case Record:
    case Sequencer:
      if (refuseSimulatedLoop()) return;
      showMessage("Playing, recording and the sequencer are not part of this version of tirasse "
                  "for Windows yet.");
      return;
    case Exit:
      exitAndSave();
      return;
    default:
      return;
  }
}

CommandBuilder MainWindow::commandBuilder() const {
  CommandOptions options;
  options.midiInDev = settings_.midiInDev;
  options.midiOutDev = settings_.midiOutDev;
  options.keepWindowOpen = isTicked(control(KeepWindowOpen));
  options.startAtModule = isTicked(control(ModuleOnly));
  options.moduleText = controlText(control(ModuleBox));
  options.otherOptions = controlText(control(OtherOptions));
  options.skipUnchangedRelayCode = isTicked(control(SkipUnchanged));
  for (int i = 0; i < 9; ++i) {
    if (isTicked(control(DebugBox0 + i))) options.debugBoxes |= 1u << i;
  }
  return CommandBuilder(options);
}

bool MainWindow::moduleBoxAccepted() {
  if (commandBuilder().moduleBoxAccepted()) return true;
  showMessage("The module box must hold a module number while \"Start at selected module\" is "
              "ticked.");
  return false;
}

void MainWindow::showRange(const MemoryRange& range) {
  setControlText(control(RegistrationFrom), std::to_string(range.from));
  setControlText(control(RegistrationThrough), std::to_string(range.through));
}

const MemoryRange* MainWindow::registrationRange(MemoryRange& storage) {
  if (!isTicked(control(RegistrationOnly))) return nullptr;
  // A box edited and not yet left still counts, limited as leaving it would.
  storage = afterFromEdited(controlText(control(RegistrationFrom)),
                            controlText(control(RegistrationThrough)));
  showRange(storage);
  return &storage;
}

void MainWindow::sendPlenumCmd(const PlenumCommand& command) {
  if (process_->isBusy()) {
    showMessage("Please exit the previous command before starting another");
    return;
  }
  setControlText(control(CommandLabel), command.line);
  lastOutput_.clear();
  SetWindowTextW(control(LastOutput), L"");
  wait_->clearOutput();
  if (process_->start(command) != PlenumProcess::Start::Started) {
    showMessage("Shell failed. Is the current directory set to the location of this executable?");
    return;
  }
  wait_->open();
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

std::string MainWindow::settingsFilePath() const {
  return pathToUtf8(pathFromUtf8(settingsFolder_) / kSettingsFileName);
}

bool MainWindow::start() {
  settings_.settingsDir = environment_.settingsDir;
  std::error_code ignored;
  std::filesystem::create_directories(pathFromUtf8(environment_.settingsDir), ignored);
  settings_.midDir = environment_.documentsDir;
  settings_.configDir = environment_.programDir;
  settingsFolder_ = environment_.settingsDir;
  readSettingsFile(pathFromUtf8(settingsFilePath()), settings_);
  setTicked(control(SkipUnchanged), settings_.skipUnchangedRelayCode);
  readVersion();
  if (!chooseDevices()) return false;
  if (!settings_.configFile.empty()) {
    setControlText(control(ConfigFileBox), settings_.configFile);
  } else if (environment_.askForConfigFile) {
    chooseConfigFile();
  }
  return true;
}

void MainWindow::readVersion() {
  std::ifstream file(pathFromUtf8(environment_.programDir) / "version.txt");
  std::string first;
  if (!file || !std::getline(file, first)) return;
  while (!first.empty() && (first.back() == '\r' || first.back() == ' ')) first.pop_back();
  if (!first.empty()) setControlText(control(VersionLabel), first);
}

bool MainWindow::chooseDevices() {
  if (!chooseDevice(true, false) || !chooseDevice(false, false)) return false;
  showDevices();
  return true;
}

bool MainWindow::chooseDevice(bool input, bool forget) {
  const std::vector<std::string> names =
      input ? environment_.devices->inputNames() : environment_.devices->outputNames();
  int& number = input ? settings_.midiInDev : settings_.midiOutDev;
  std::string& name = input ? settings_.midiInName : settings_.midiOutName;
  const plenum::RememberedDevice previous{number, name};
  const plenum::RememberedChoice choice =
      plenum::chooseRememberedDevice(names, forget ? plenum::RememberedDevice{} : previous);
  if (choice.outcome == plenum::DeviceOutcome::NoDevices) {
    showMessage(input ? "No MIDI input devices found.  Do you need to install a device driver "
                        "for your sound card?"
                      : "No MIDI output devices found.  Do you need to install a device driver "
                        "for your sound card?");
    return false;
  }
  plenum::RememberedDevice device = choice.device;
  if (choice.outcome == plenum::DeviceOutcome::AskUser) {
    DeviceDialog dialog(input ? "Select MIDI Input Device" : "Select MIDI Output Device", names,
                        hwnd());
    if (dialog.runModal(hwnd()) && dialog.selectedDevice() >= 0) {
      device = {dialog.selectedDevice(), names[static_cast<std::size_t>(dialog.selectedDevice())]};
    } else if (plenum::chooseRememberedDevice(names, previous).outcome ==
               plenum::DeviceOutcome::Chosen) {
      device = previous;  // Cancel keeps the choice made before, while it still holds
    }
  }
  number = device.number;
  name = device.name;
  return true;
}

void MainWindow::showDevices() {
  setControlText(control(MidiInBox), settings_.midiInName);
  setControlText(control(MidiOutBox), settings_.midiOutName);
}

std::string MainWindow::startFolder(const std::string& lastUsed) const {
  return dialogStartFolder(lastUsed, environment_.documentsDir, environment_.programDir,
                           environment_.homeDir);
}

void MainWindow::chooseConfigFile() {
  FileDialogRequest request;
  request.title = "Configuration File";
  request.filter = kConfigFilter;
  request.filterIndex = 2;
  request.folder = startFolder(settings_.configDir);
  const std::optional<std::string> chosen = askForFile(hwnd(), request);
  if (!chosen) return;
  settings_.configFile = *chosen;
  settings_.configDir = folderOf(*chosen);
  setControlText(control(ConfigFileBox), settings_.configFile);
}

std::string MainWindow::chooseRegistrationFile(bool forSaving) {
  FileDialogRequest request;
  request.save = forSaving;
  request.title = "Registration File";
  request.filter = kRegistrationFilter;
  request.filterIndex = 2;
  request.folder = startFolder(regDir_);
  request.fileName = regFile_;
  if (forSaving) request.defaultExtension = "reg";
  const std::optional<std::string> chosen = askForFile(hwnd(), request);
  if (!chosen) return {};
  const std::string path = forSaving ? withDefaultExtension(*chosen, "reg") : *chosen;
  regDir_ = folderOf(path);
  regFile_ = fileNameOf(path);
  return path;
}

void MainWindow::copyRegistration() {
  CopyRegistrationDialog dialog(hwnd());
  if (!dialog.runModal(hwnd())) return;
  sendPlenumCmd(commandBuilder().copyRegistration(dialog.sourceMemory(), dialog.targets()));
}

void MainWindow::exitAndSave() {
  if (!writeSettingsFile(pathFromUtf8(settingsFilePath()), settings_)) {
    showMessage("The settings could not be saved in " + settingsFilePath());
  }
  if (onExit) onExit();
}

bool MainWindow::refuseSimulatedLoop() {
  if (!environment_.devices->simulatedLoop()) return false;
  showMessage("The simulated module loop (PLENUM_LOOP) has no MIDI devices: it cannot play or "
              "record MIDI files.");
  return true;
}

}  // namespace tirasse::win32
