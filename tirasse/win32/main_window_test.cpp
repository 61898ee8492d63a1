// Drives the main window in-process: windows made, buttons pressed through their messages,
// the command lines that reach a recording stand-in for plenum.exe, the settings written and
// read, the dialogs' texts; and the real plenum.exe against the simulated module loop.

#include "tirasse/win32/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>

#include "tirasse/core/settings_file.h"
#include "tirasse/flow/command_line_table.h"
#include "tirasse/core/utf8_path.h"
#include "tirasse/win32/copy_registration_dialog.h"
#include "tirasse/win32/device_dialog.h"
#include "tirasse/win32/message_loop.h"
#include "tirasse/win32/plenum_process.h"
#include "tirasse/win32/wait_window.h"
#include "tirasse/win32/wide_text.h"
#include "tirasse/win32/window_test_support.h"

namespace tirasse::win32 {
namespace {

using testing::click;
using testing::readFile;

using testing::waitFor;
using testing::writeFile;
using Id = MainWindow::Id;

class FakeDevices : public MidiDeviceLists {
 public:
  std::vector<std::string> inputs{"In A"};
  std::vector<std::string> outputs{"Out A"};
  bool simulated = false;
  std::vector<std::string> inputNames() const override { return inputs; }
  std::vector<std::string> outputNames() const override { return outputs; }
  bool simulatedLoop() const override { return simulated; }
};

std::string windowText(HWND window) { return controlText(window); }

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::copyFile(testing::hostPath(RECORDING_PLENUM), programDir_.text("plenum.exe"));
    writeFile(programDir_.text("version.txt"), "Tirasse Version 9.8\r\nsecond\r\n");
  }
  void TearDown() override {
    setModalShownHook(nullptr);
    SetEnvironmentVariableW(L"STANDIN_SCRIPT", nullptr);
    SetEnvironmentVariableW(L"PLENUM_LOOP", nullptr);
  }

  std::unique_ptr<MainWindow> makeWindow(const std::string& programDir) {
    StartupEnvironment environment;
    environment.folders = {programDir, settingsDir_.text(), documentsDir_.text(),
                           documentsDir_.text()};
    environment.devices = &devices_;
    environment.askForConfigFile = false;
    auto window = std::make_unique<MainWindow>(environment);
    window->showMessage = [this](const std::string& text) { messages_.push_back(text); };
    window->askForFile = [this](HWND, const FileDialogRequest& request) {
      requests_.push_back(request);
      return fileChosen_;
    };
    window->onExit = [this] { exited_ = true; };
    window->openFolder = [this](const std::string& folder) { opened_.push_back(folder); };
    window->show(SW_SHOWNOACTIVATE);
    return window;
  }
  void writeSettings(const std::string& text) { writeFile(settingsDir_.text("tirasse.ini"), text); }
  static std::string text(MainWindow& window, int id) { return controlText(window.control(id)); }
  // What the stand-in wrote down, in the folder it ran in: the firmware folder.
  std::string recorded(const std::string& folder = {}) {
    return readFile((folder.empty() ? documentsDir_.text("Norvo Firmware") : folder) + "\\recorded.txt");
  }
  // Enter in the waiting window, then plenum's end.
  static void finishWithEnter(MainWindow& window) {
    click(findControl(window.waitWindow().hwnd(), WaitWindow::SendEnterButton));
    ASSERT_TRUE(waitFor([&] { return !window.process().isBusy(); }));
  }

  TestScratchFolder programDir_;
  TestScratchFolder settingsDir_;
  TestScratchFolder documentsDir_;
  FakeDevices devices_;
  std::vector<std::string> messages_;
  std::vector<FileDialogRequest> requests_;
  std::optional<std::string> fileChosen_;
  bool exited_ = false;
  std::vector<std::string> opened_;
};

TEST_F(MainWindowTest, StartUpTakesTheOnlyDeviceAndReadsTheVersion) {
  writeSettings("V3\n4\nOld in\n5\nOld out\nC:\\x\\organ.ncf\nC:\\nowhere\nC:\\nowhere\nC:\\nowhere\n");
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  EXPECT_EQ(window->currentSettings().midiInDev, 0);
  EXPECT_EQ(window->currentSettings().midiOutDev, 0);
  EXPECT_EQ(text(*window, Id::MidiInBox), "In A");
  EXPECT_EQ(text(*window, Id::MidiOutBox), "Out A");
  EXPECT_EQ(text(*window, Id::ConfigFileBox), "C:\\x\\organ.ncf");
  EXPECT_EQ(text(*window, Id::VersionLabel), "Tirasse Version 9.8");
  EXPECT_EQ(windowText(window->hwnd()), "Norvo Configuration");
}

// plenum runs in the firmware folder, which the user owns: "Norvo Firmware" in the documents
// folder unless another is chosen.
TEST_F(MainWindowTest, PlenumRunsInTheFirmwareFolderShownChangedAndOpened) {
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  const std::string standard = documentsDir_.text("Norvo Firmware");
  EXPECT_EQ(window->currentSettings().firmwareDir, standard);
  EXPECT_EQ(text(*window, Id::FirmwareBox), standard);
  EXPECT_TRUE(std::filesystem::is_directory(pathFromUtf8(standard)));
  click(window->control(Id::Reset));
  ASSERT_TRUE(waitFor([&] { return recorded(standard).find("args ") != std::string::npos; }));
  EXPECT_EQ(recorded(standard), "cwd " + standard + "\nargs [-i][0][-o][0][-R]\n");
  finishWithEnter(*window);

  TestScratchFolder other;
  fileChosen_ = other.text();
  click(window->control(Id::FirmwareChange));
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_TRUE(requests_[0].pickFolder);
  EXPECT_EQ(requests_[0].title, "Firmware Folder");
  EXPECT_EQ(requests_[0].folder, standard);
  EXPECT_EQ(text(*window, Id::FirmwareBox), other.text());
  click(window->control(Id::OpenFirmware));
  EXPECT_EQ(opened_, std::vector<std::string>{other.text()});
  click(window->control(Id::Reset));
  ASSERT_TRUE(waitFor([&] { return recorded(other.text()).find("args ") != std::string::npos; }));
  EXPECT_EQ(recorded(other.text()), "cwd " + other.text() + "\nargs [-i][0][-o][0][-R]\n");
  finishWithEnter(*window);

  fileChosen_ = other.text("not there");
  click(window->control(Id::FirmwareChange));
  EXPECT_EQ(messages_, std::vector<std::string>{"The folder " + *fileChosen_ +
                                                " cannot be used for the firmware files"});
  EXPECT_EQ(text(*window, Id::FirmwareBox), other.text());
  click(window->control(Id::Exit));
  TirasseSettings saved;
  ASSERT_EQ(readSettingsFile(pathFromUtf8(window->settingsFilePath()), saved), SettingsFileState::Read);
  EXPECT_EQ(saved.firmwareDir, other.text());
}

TEST_F(MainWindowTest, TheControlsCarryTheirCaptions) {
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  const std::vector<std::pair<int, std::string>> captions = {
      {Id::Download, "&Download"}, {Id::Version, "&Version"}, {Id::Reset, "&Reset"},
      {Id::Monitor, "&Monitor"}, {Id::ProgramExecutive, "&Program Executive"},
      {Id::VerifyExecutive, "&Verify Executive"}, {Id::Halt, "Halt"}, {Id::Run, "Run"},
      {Id::Play, "Play"}, {Id::Record, "Record"}, {Id::Sequencer, "Sequencer"},
      {Id::ModuleOnly, "Start at selected module"}, {Id::KeepWindowOpen, "Keep command window open"},
      {Id::SkipUnchanged, "Skip unchanged relay code"}, {Id::DisplayData, "Display data comparison"},
      {Id::DataDiagnostic, "Run Data Diagnostic"}, {Id::RegistrationOnly, "Only Save/Load"},
      {Id::SaveRegistration, "Save Registration to File"},
      {Id::LoadRegistration, "Load Registration from File"},
      {Id::CopyRegistration, "Copy Registration"}, {Id::Exit, "E&xit"},
      {Id::DebugBox0, "Progress"}, {Id::DebugBox0 + 8, "Parser Details"},
      {Id::RegistrationFrom, "0"}, {Id::RegistrationThrough, "127"}, {Id::DiagCount, "1"}};
  for (const auto& [id, caption] : captions) EXPECT_EQ(text(*window, id), caption) << id;
  // The pages show one at a time.
  EXPECT_TRUE(IsWindowVisible(window->control(Id::Download)));
  EXPECT_FALSE(IsWindowVisible(window->control(Id::Halt)));
  window->selectPage(1);
  EXPECT_FALSE(IsWindowVisible(window->control(Id::Download)));
  EXPECT_TRUE(IsWindowVisible(window->control(Id::Halt)));
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the pages round, as in the Qt window; the keyboard does
// not stay on a control put away, and a plain Tab still moves between controls.
TEST_F(MainWindowTest, CtrlTabTurnsThePagesBothWays) {
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  const auto press = [&](bool control, bool shift) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG message{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    passOn(message);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  };
  const auto shownPage = [&] {
    return static_cast<int>(SendMessageW(window->control(Id::Tabs), TCM_GETCURSEL, 0, 0));
  };
  const int firstOfPage[] = {Id::Download, Id::Halt, Id::DataDiagnostic};
  SetFocus(window->control(Id::Download));
  const struct {
    bool shift;
    int page;
  } steps[] = {{false, 1}, {false, 2}, {false, 0}, {true, 2}, {true, 1}};
  for (const auto& step : steps) {
    press(true, step.shift);
    EXPECT_EQ(shownPage(), step.page) << (step.shift ? "Ctrl+Shift+Tab" : "Ctrl+Tab");
    for (int page = 0; page < 3; ++page) {
      EXPECT_EQ(IsWindowVisible(window->control(firstOfPage[page])) != 0, page == step.page);
    }
    EXPECT_TRUE(IsWindowVisible(GetFocus()));
  }
  SetFocus(window->control(Id::Halt));
  press(false, false);
  EXPECT_EQ(shownPage(), 1);
  EXPECT_NE(GetFocus(), window->control(Id::Halt));
}

TEST_F(MainWindowTest, NoDevicesEndsWithItsMessage) {
  devices_.inputs.clear();
  auto window = makeWindow(programDir_.text());
  EXPECT_FALSE(window->start());
  EXPECT_EQ(messages_, std::vector<std::string>{"No MIDI input devices found.  Do you need to "
                                                "install a device driver for your sound card?"});
  messages_.clear();
  devices_.inputs = {"In A"};
  devices_.outputs.clear();
  auto second = makeWindow(programDir_.text());
  EXPECT_FALSE(second->start());
  EXPECT_EQ(messages_, std::vector<std::string>{"No MIDI output devices found.  Do you need to "
                                                "install a device driver for your sound card?"});
}

TEST_F(MainWindowTest, ARenamedDeviceAsksTheUser) {
  devices_.inputs = {"In A", "In B"};
  writeSettings("V3\n1\nIn C\n0\nOut A\ncfg.ncf\n\n\n\n");
  auto window = makeWindow(programDir_.text());
  std::string title, task;
  int lines = 0;
  setModalShownHook([&](HWND dialog) {
    title = windowText(dialog);
    task = controlText(findControl(dialog, DeviceDialog::TaskLabel));
    lines = static_cast<int>(SendMessageW(findControl(dialog, DeviceDialog::DeviceList), LB_GETCOUNT, 0, 0));
    click(findControl(dialog, IDOK));  // the first line is selected
  });
  ASSERT_TRUE(window->start());
  EXPECT_EQ(title, "Select MIDI device");
  EXPECT_EQ(task, "Select MIDI Input Device");
  EXPECT_EQ(lines, 2);
  EXPECT_EQ(window->currentSettings().midiInDev, 0);
  EXPECT_EQ(window->currentSettings().midiInName, "In A");
}

// Keys as the keyboard sends them, through the dialog manager: Tab moves to the next
// control, Enter presses OK, Escape cancels.
TEST_F(MainWindowTest, TheDeviceDialogAnswersTabEnterAndEscape) {
  devices_.inputs = {"In A", "In B"};
  auto window = makeWindow(programDir_.text());
  HWND focusAfterTab = nullptr, ok = nullptr;
  setModalShownHook([&](HWND dialog) {
    HWND list = findControl(dialog, DeviceDialog::DeviceList);
    ok = findControl(dialog, IDOK);
    SetFocus(list);
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    PostMessageW(list, WM_KEYDOWN, VK_TAB, 0);
    waitFor([&] { return GetFocus() != list; }, 2000);
    focusAfterTab = GetFocus();
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);  // the modal loop passes it on
  });
  ASSERT_TRUE(window->start());
  EXPECT_EQ(focusAfterTab, ok);
  EXPECT_EQ(window->currentSettings().midiInDev, 1);
  EXPECT_EQ(window->currentSettings().midiInName, "In B");

  setModalShownHook([&](HWND dialog) {
    PostMessageW(findControl(dialog, DeviceDialog::DeviceList), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  click(window->control(Id::MidiInChange));
  EXPECT_EQ(window->currentSettings().midiInDev, 1);  // Cancel keeps the choice
}

TEST_F(MainWindowTest, AltAndTheUnderlinedLetterPressTheButton) {
  writeSettings("V3\n0\nIn A\n0\nOut A\nC:\\x\\organ.ncf\n\n\n\n");
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  SetFocus(window->control(Id::MidiInChange));
  PostMessageW(window->control(Id::MidiInChange), WM_SYSCHAR, L'v', 1 << 29);  // Alt+V
  ASSERT_TRUE(waitFor([&] { return !text(*window, Id::CommandLabel).empty(); }, 5000));
  EXPECT_EQ(text(*window, Id::CommandLabel), "plenum -i 0 -o 0 -P -V");
  finishWithEnter(*window);
}

TEST_F(MainWindowTest, CancellingTheDeviceDialogKeepsThePreviousChoice) {
  devices_.outputs = {"Out A", "Out B"};
  writeSettings("V3\n0\nIn A\n1\nOut B\ncfg.ncf\n\n\n\n");
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  EXPECT_EQ(window->currentSettings().midiOutDev, 1);
  std::string task;
  setModalShownHook([&](HWND dialog) {
    task = controlText(findControl(dialog, DeviceDialog::TaskLabel));
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // Escape
  });
  click(window->control(Id::MidiOutChange));
  EXPECT_EQ(task, "Select MIDI Output Device");
  EXPECT_EQ(window->currentSettings().midiOutDev, 1);
  EXPECT_EQ(text(*window, Id::MidiOutBox), "Out B");
  click(window->control(Id::Reset));
  EXPECT_EQ(text(*window, Id::CommandLabel), "plenum -i 0 -o 1 -R");
  ASSERT_TRUE(waitFor([&] { return window->waitWindow().outputText().find("args:") != std::string::npos; }));
  EXPECT_NE(recorded().find("args [-i][0][-o][1][-R]\n"), std::string::npos);
  finishWithEnter(*window);
}

TEST_F(MainWindowTest, TheSimulatedLoopSaysItCannotPlayOrRecord) {
  devices_.simulated = true;
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  for (int id : {Id::Play, Id::Record, Id::Sequencer}) {
    messages_.clear();
    click(window->control(id));
    EXPECT_EQ(messages_, std::vector<std::string>{"The simulated module loop (PLENUM_LOOP) has no "
                                                  "MIDI devices: it cannot play or record MIDI files."});
  }
}

TEST_F(MainWindowTest, ModuleBoxWithoutANumberIsRefused) {
  writeSettings("V3\n0\nIn A\n0\nOut A\nC:\\x\\organ.ncf\n\n\n\n");
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  setTicked(window->control(Id::ModuleOnly), true);
  for (const char* box : {"", "  ", "x", "-H"}) {
    setControlText(window->control(Id::ModuleBox), box);
    for (int id : {Id::Halt, Id::Run, Id::ProgramExecutive, Id::VerifyExecutive, Id::Download}) {
      messages_.clear();
      click(window->control(id));
      EXPECT_EQ(messages_, std::vector<std::string>{"The module box must hold a module number while "
                                                    "\"Start at selected module\" is ticked."});
      EXPECT_EQ(text(*window, Id::CommandLabel), "");
      EXPECT_FALSE(window->waitWindow().isOpen());
    }
  }
}

TEST_F(MainWindowTest, ButtonsBuildTheirCommandLinesAndPlenumGetsTheWords) {
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  click(window->control(Id::ModuleOnly));
  setControlText(window->control(Id::ModuleBox), "2");
  click(window->control(Id::DebugBox0));
  click(window->control(Id::DebugBox0 + 8));
  click(window->control(Id::Halt));
  EXPECT_EQ(text(*window, Id::CommandLabel), "plenum -i 0 -o 0  -m2  -d101 -H");
  ASSERT_TRUE(waitFor([&] {
    return window->waitWindow().outputText().find("args: -i 0 -o 0 -m2 -d101 -H") != std::string::npos;
  }));
  EXPECT_EQ(recorded(), "cwd " + window->currentSettings().firmwareDir + "\nargs [-i][0][-o][0][-m2][-d101][-H]\n");
  EXPECT_TRUE(window->waitWindow().isOpen());
  EXPECT_TRUE(IsWindowVisible(window->waitWindow().hwnd()));
  EXPECT_FALSE(IsWindowEnabled(window->hwnd()));
  EXPECT_EQ(windowText(window->waitWindow().hwnd()), "Waiting");
  EXPECT_EQ(window->waitWindow().stateText(), "Waiting for command to complete");

  // A second command while the first runs is refused.
  window->sendPlenumCmd({"plenum -i 0 -o 0 -R", {"plenum", "-i", "0", "-o", "0", "-R"}});
  EXPECT_EQ(messages_, std::vector<std::string>{"Please exit the previous command before starting another"});
  EXPECT_EQ(text(*window, Id::CommandLabel), "plenum -i 0 -o 0  -m2  -d101 -H");

  // Enter reaches plenum; the window closes when plenum ends and the output stays readable.
  finishWithEnter(*window);
  EXPECT_FALSE(window->waitWindow().isOpen());
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
  EXPECT_EQ(window->waitWindow().stateText(), "Command completed");
  const std::string kept = text(*window, Id::LastOutput);
  EXPECT_NE(kept.find("after enter\r\nplenum ended with status 0: it finished normally\r\n"),
            std::string::npos) << kept;
}

// The shared table of command lines, the one the Qt front end's tests read: each case's
// controls set in a new window, its button pressed, the line shown and the words that reach
// plenum.exe compared.
TEST_F(MainWindowTest, EveryButtonMakesTheCommandLineOfTheSharedTable) {
  testing::copyFile(testing::hostPath(PLENUM_BAT), programDir_.text("plenum.bat"));
  const std::vector<CommandLineCase> cases =
      readCommandLineTable(testing::hostPath(TIRASSE_COMMAND_LINE_TABLE));
  ASSERT_GE(cases.size(), 10u);
  const std::map<std::string, int> buttons = {
      {"cmdDownload", Id::Download}, {"cmdVersion", Id::Version}, {"cmdReset", Id::Reset},
      {"cmdMonitor", Id::Monitor},   {"cmdHalt", Id::Halt},       {"cmdRun", Id::Run},
      {"cmdProgram", Id::ProgramExecutive}, {"cmdVerify", Id::VerifyExecutive},
      {"cmdDataDiag", Id::DataDiagnostic}, {"cmdCheckConsole", Id::CheckConsole}};
  std::map<std::string, int> controls = {
      {"chkBat", Id::KeepWindowOpen},   {"chkModuleOnly", Id::ModuleOnly},
      {"txtModule", Id::ModuleBox},     {"txtOtherOptions", Id::OtherOptions},
      {"chkSkipUnchanged", Id::SkipUnchanged}, {"chkDispData", Id::DisplayData},
      {"txtDiagCount", Id::DiagCount}, {"chkNameMessages", Id::NameMessages}};
  controls["chkNameMessages"] = Id::NameMessages;
  for (int i = 0; i < 9; ++i) controls["chkDebug" + std::to_string(i)] = Id::DebugBox0 + i;
  writeSettings(std::string("V3\n0\nIn A\n0\nOut A\n") + kTableConfigFile + "\n\n\n\n");
  for (const CommandLineCase& c : cases) {
    SCOPED_TRACE(c.line);
    auto window = makeWindow(programDir_.text());
    ASSERT_TRUE(window->start());
    for (const auto& [name, value] : c.controls) {
      ASSERT_TRUE(controls.count(name)) << name;
      HWND box = window->control(controls.at(name));
      if (name.starts_with("chk")) {
        if (value == "1") click(box);  // a box is ticked as the user ticks it
      } else {
        setControlText(box, value);
      }
    }
    ASSERT_TRUE(buttons.count(c.button)) << c.button;
    DeleteFileW(widen(documentsDir_.text("Norvo Firmware\\recorded.txt")).c_str());
    click(window->control(buttons.at(c.button)));
    EXPECT_EQ(text(*window, Id::CommandLabel), c.line);
    std::string words;
    for (const std::string& word : c.words) words += "[" + word + "]";
    ASSERT_TRUE(waitFor([&] { return recorded().find("args ") != std::string::npos; }));
    EXPECT_EQ(recorded(), "cwd " + window->currentSettings().firmwareDir + "\nargs " + words + "\n");
    window->process().stop();  // plenum.bat would wait for one more Enter
    ASSERT_TRUE(waitFor([&] { return !window->process().isBusy(); }));
  }
}

TEST_F(MainWindowTest, KeepCommandWindowOpenRunsPlenumBat) {
  testing::copyFile(testing::hostPath(PLENUM_BAT), programDir_.text("plenum.bat"));
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  click(window->control(Id::KeepWindowOpen));
  click(window->control(Id::DebugBox0));
  click(window->control(Id::DebugBox0 + 8));
  click(window->control(Id::DisplayData));
  setControlText(window->control(Id::DiagCount), "-1");
  click(window->control(Id::DataDiagnostic));
  EXPECT_EQ(text(*window, Id::CommandLabel), "plenum.bat -i 0 -o 0  -d181 -P -D-1");
  ASSERT_TRUE(waitFor([&] { return window->waitWindow().outputText().find("args:") != std::string::npos; }));
  EXPECT_EQ(recorded(), "cwd " + window->currentSettings().firmwareDir + "\nargs [-i][0][-o][0][-d181][-P][-D-1]\n");
  // The stand-in ends on Enter, then the batch file waits for one more.
  click(findControl(window->waitWindow().hwnd(), WaitWindow::SendEnterButton));
  ASSERT_TRUE(waitFor([&] { return window->waitWindow().outputText().find("Press <Enter> to close") != std::string::npos; }));
  finishWithEnter(*window);
  EXPECT_NE(window->waitWindow().outputText().find("plenum ended with status 0. Press <Enter> to close..."),
            std::string::npos) << window->waitWindow().outputText();
}

TEST_F(MainWindowTest, UnicodeConfigurationNamesReachPlenumWhole) {
  for (const std::string name : {"Übung_Kirche_é.ncf", "орган.ncf", "\xF0\x9D\x84\x9E.ncf"}) {
    const std::string config = documentsDir_.text(name);
    writeFile(config, "");
    writeSettings("V3\n0\nIn A\n0\nOut A\n" + config + "\n\n\n\n");
    auto window = makeWindow(programDir_.text());
    ASSERT_TRUE(window->start());
    EXPECT_EQ(text(*window, Id::ConfigFileBox), config);
    click(window->control(Id::Download));
    EXPECT_EQ(text(*window, Id::CommandLabel), "plenum -i 0 -o 0   -P \"" + config + "\"");
    // plenum's output shows the name as it was given.
    ASSERT_TRUE(waitFor([&] { return window->waitWindow().outputText().find("[" + config + "]\n") != std::string::npos; }));
    EXPECT_EQ(recorded(), "cwd " + window->currentSettings().firmwareDir + "\nargs [-i][0][-o][0][-P][" + config + "]\n");
    finishWithEnter(*window);
    click(window->control(Id::Exit));
    TirasseSettings saved;
    ASSERT_EQ(readSettingsFile(pathFromUtf8(window->settingsFilePath()), saved), SettingsFileState::Read);
    EXPECT_EQ(saved.configFile, config);
  }
}

TEST_F(MainWindowTest, TheWaitingWindowSaysHowPlenumEnded) {
  SetEnvironmentVariableW(L"STANDIN_SCRIPT", L"fail");
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  click(window->control(Id::Reset));
  ASSERT_TRUE(waitFor([&] { return !window->process().isBusy(); }));
  const std::string ending =
      "Programming...\nplenum ended with status 2: programming, verifying or sending to the "
      "modules failed\n";
  // A failed run keeps the window open to be read, with a button to close it.
  EXPECT_EQ(window->waitWindow().outputText(), ending);
  EXPECT_TRUE(window->waitWindow().isOpen());
  EXPECT_EQ(window->waitWindow().stopCaption(), "Close");
  EXPECT_EQ(window->waitWindow().stateText(), "Command ended");
  EXPECT_EQ(controlText(findControl(window->waitWindow().hwnd(), WaitWindow::OutputBox)),
            "Programming...\r\nplenum ended with status 2: programming, verifying or sending to the "
            "modules failed\r\n");
  click(findControl(window->waitWindow().hwnd(), WaitWindow::StopButton));
  EXPECT_FALSE(window->waitWindow().isOpen());
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
}

TEST_F(MainWindowTest, EscapeDoesNotCloseTheWaitingWindowWhilePlenumRuns) {
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  click(window->control(Id::Version));
  ASSERT_TRUE(waitFor([&] { return window->waitWindow().outputText().find("args:") != std::string::npos; }));
  SendMessageW(window->waitWindow().hwnd(), WM_COMMAND, IDCANCEL, 0);
  SendMessageW(window->waitWindow().hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(window->waitWindow().isOpen());
  click(findControl(window->waitWindow().hwnd(), WaitWindow::StopButton));
  ASSERT_TRUE(waitFor([&] { return !window->process().isBusy(); }));
  EXPECT_NE(window->waitWindow().outputText().find("plenum was stopped by the user"), std::string::npos);
  EXPECT_TRUE(window->waitWindow().isOpen());
  SendMessageW(window->waitWindow().hwnd(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_FALSE(window->waitWindow().isOpen());
}

TEST_F(MainWindowTest, FileDialogsAskWithTheirFiltersAndStartFolders) {
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());  // no settings file: nothing used yet
  click(window->control(Id::ConfigFileChange));  // cancelled
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_FALSE(requests_[0].save);
  EXPECT_EQ(requests_[0].title, "Configuration File");
  EXPECT_EQ(requests_[0].filter, "All Files (*.*)|*.*|Norvo Configuration Files (*.ncf)|*.ncf");
  EXPECT_EQ(requests_[0].filterIndex, 2);
  EXPECT_EQ(requests_[0].folder, documentsDir_.text());
  EXPECT_EQ(text(*window, Id::ConfigFileBox), "");

  fileChosen_ = documentsDir_.text("take");
  click(window->control(Id::SaveRegistration));
  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_TRUE(requests_[1].save);
  EXPECT_EQ(requests_[1].title, "Registration File");
  EXPECT_EQ(requests_[1].filter, "All Files (*.*)|*.*|Registration Files (*.reg)|*.reg");
  EXPECT_EQ(requests_[1].filterIndex, 2);
  EXPECT_EQ(requests_[1].folder, documentsDir_.text());
  EXPECT_EQ(requests_[1].defaultExtension, "reg");
  const std::string file = documentsDir_.text("take.reg");
  EXPECT_EQ(text(*window, Id::CommandLabel), "plenum -i 0 -o 0  -d1 -P -S \"" + file + "\"");
  ASSERT_TRUE(waitFor([&] { return window->waitWindow().outputText().find("args:") != std::string::npos; }));
  EXPECT_EQ(recorded(), "cwd " + window->currentSettings().firmwareDir + "\nargs [-i][0][-o][0][-d1][-P][-S][" + file + "]\n");
  finishWithEnter(*window);

  // Load starts where Save left, with its file; the range limits both.
  click(window->control(Id::RegistrationOnly));
  setControlText(window->control(Id::RegistrationFrom), "3");
  setControlText(window->control(Id::RegistrationThrough), "9");
  fileChosen_ = file;
  click(window->control(Id::LoadRegistration));
  ASSERT_EQ(requests_.size(), 3u);
  EXPECT_FALSE(requests_[2].save);
  EXPECT_EQ(requests_[2].folder, documentsDir_.text());
  EXPECT_EQ(requests_[2].fileName, "take.reg");
  EXPECT_EQ(text(*window, Id::CommandLabel), "plenum -i 0 -o 0  -m3 -n 7 -d1 -P -U \"" + file + "\"");
  finishWithEnter(*window);

  // A chosen configuration is shown and remembered with its folder.
  fileChosen_ = documentsDir_.text("organ.ncf");
  click(window->control(Id::ConfigFileChange));
  EXPECT_EQ(text(*window, Id::ConfigFileBox), *fileChosen_);
  EXPECT_EQ(window->currentSettings().configDir, documentsDir_.text());
}

TEST_F(MainWindowTest, RangeBoxesFollowTheCheckBoxAndClamp) {
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  HWND from = window->control(Id::RegistrationFrom);
  HWND through = window->control(Id::RegistrationThrough);
  EXPECT_FALSE(IsWindowEnabled(from));
  click(window->control(Id::RegistrationOnly));
  EXPECT_TRUE(IsWindowEnabled(from) && IsWindowEnabled(through));
  const auto leave = [&](HWND box, int id) {
    SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS), reinterpret_cast<LPARAM>(box));
  };
  setControlText(through, "5");
  setControlText(from, "10");
  leave(from, Id::RegistrationFrom);
  EXPECT_EQ(controlText(through), "10");
  setControlText(through, "400");
  leave(through, Id::RegistrationThrough);
  EXPECT_EQ(controlText(through), "127");
  click(window->control(Id::RegistrationOnly));
  EXPECT_FALSE(IsWindowEnabled(from));
}

TEST_F(MainWindowTest, CopyRegistrationAsksForTheMemories) {
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  std::vector<std::string> texts;
  setModalShownHook([&](HWND dialog) {
    texts = {windowText(dialog), controlText(findControl(dialog, CopyRegistrationDialog::SourceBox)),
             controlText(findControl(dialog, CopyRegistrationDialog::FromBox)),
             controlText(findControl(dialog, CopyRegistrationDialog::ThroughBox))};
    setControlText(findControl(dialog, CopyRegistrationDialog::SourceBox), "300");
    setControlText(findControl(dialog, CopyRegistrationDialog::FromBox), "20");
    setControlText(findControl(dialog, CopyRegistrationDialog::ThroughBox), "4");
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // Enter
  });
  click(window->control(Id::CopyRegistration));
  EXPECT_EQ(texts, (std::vector<std::string>{"Copy Registration", "0", "1", "127"}));
  EXPECT_EQ(text(*window, Id::CommandLabel), "plenum -i 0 -o 0  -m20 -n 1 -d1 -P -C127");
  finishWithEnter(*window);

  setModalShownHook([&](HWND dialog) { SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
  setControlText(window->control(Id::CommandLabel), "");
  click(window->control(Id::CopyRegistration));
  EXPECT_EQ(text(*window, Id::CommandLabel), "");
}

TEST_F(MainWindowTest, StartFailureIsReported) {
  TestScratchFolder empty;
  auto window = makeWindow(empty.text());
  ASSERT_TRUE(window->start());
  click(window->control(Id::Version));
  EXPECT_EQ(messages_, std::vector<std::string>{"Shell failed. Is the current directory set to the "
                                                "location of this executable?"});
  EXPECT_FALSE(window->process().isBusy());
  EXPECT_FALSE(window->waitWindow().isOpen());
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
}

TEST_F(MainWindowTest, ExitSavesTheSettingsAndSkipUnchangedIsKept) {
  writeSettings("V3\n0\nIn A\n0\nOut A\nC:\\x\\organ.ncf\n\n\n\n");
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  EXPECT_FALSE(isTicked(window->control(Id::SkipUnchanged)));
  click(window->control(Id::SkipUnchanged));
  click(window->control(Id::Download));
  EXPECT_EQ(text(*window, Id::CommandLabel), "plenum -i 0 -o 0   -u -P \"C:\\x\\organ.ncf\"");
  finishWithEnter(*window);
  click(window->control(Id::Exit));
  EXPECT_TRUE(exited_);
  EXPECT_EQ(window->settingsFilePath(), settingsDir_.text("tirasse.ini"));
  TirasseSettings saved;
  ASSERT_EQ(readSettingsFile(pathFromUtf8(window->settingsFilePath()), saved), SettingsFileState::Read);
  EXPECT_EQ(saved.midiInName, "In A");
  EXPECT_EQ(saved.midiOutDev, 0);
  EXPECT_EQ(saved.configFile, "C:\\x\\organ.ncf");
  EXPECT_TRUE(saved.skipUnchangedRelayCode);
  const std::string file = readFile(settingsDir_.text("tirasse.ini"));
  EXPECT_EQ(file.substr(0, file.find("C:\\x")), "V3\n0\nIn A\n0\nOut A\n");

  auto next = makeWindow(programDir_.text());
  ASSERT_TRUE(next->start());
  EXPECT_TRUE(isTicked(next->control(Id::SkipUnchanged)));
  click(next->control(Id::SkipUnchanged));
  click(next->control(Id::Download));
  EXPECT_EQ(text(*next, Id::CommandLabel), "plenum -i 0 -o 0   -P \"C:\\x\\organ.ncf\"");
  finishWithEnter(*next);
}

TEST_F(MainWindowTest, ClosingTheWindowDoesNotSave) {
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(exited_);
  EXPECT_FALSE(std::filesystem::exists(pathFromUtf8(settingsDir_.text("tirasse.ini"))));
}

// Wiring Chart has plenum write the page into the documents folder; the page is opened only
// when plenum ended with status 0 and the page is there.
TEST_F(MainWindowTest, WiringChartOpensThePageOnlyAfterASuccessfulRun) {
  auto none = makeWindow(programDir_.text());
  ASSERT_TRUE(none->start());
  click(none->control(Id::WiringChart));
  EXPECT_EQ(messages_, std::vector<std::string>{"Please choose a configuration file first."});
  EXPECT_FALSE(none->process().isBusy());

  const std::string config = documentsDir_.text("St. Mary орган.ncf");
  writeFile(config, "");
  writeSettings("V3\n0\nIn A\n0\nOut A\n" + config + "\n\n\n\n");
  const std::string page = documentsDir_.text("St. Mary орган-wiring-chart.html");
  std::vector<std::string> shown;
  const struct {
    const char* script;
    bool pageThere;
    bool opened;
  } runs[] = {{"wait", false, false}, {"fail", true, false}, {"wait", true, true}};
  for (const auto& run : runs) {
    SCOPED_TRACE(std::string(run.script) + (run.pageThere ? " with page" : " without page"));
    SetEnvironmentVariableW(L"STANDIN_SCRIPT", widen(run.script).c_str());
    DeleteFileW(widen(page).c_str());
    if (run.pageThere) writeFile(page, "<html>");
    shown.clear();
    auto window = makeWindow(programDir_.text());
    window->openChart = [&shown](const std::string& opened) { shown.push_back(opened); };
    ASSERT_TRUE(window->start());
    click(window->control(Id::WiringChart));
    EXPECT_EQ(text(*window, Id::CommandLabel),
              "plenum --chart=html --output \"" + page + "\" \"" + config + "\"");
    ASSERT_TRUE(waitFor([&] { return recorded().find("args ") != std::string::npos; }));
    EXPECT_EQ(recorded(), "cwd " + window->currentSettings().firmwareDir +
                              "\nargs [--chart=html][--output][" + page + "][" + config + "]\n");
    if (std::string(run.script) == "wait") finishWithEnter(*window);
    ASSERT_TRUE(waitFor([&] { return !window->process().isBusy(); }));
    EXPECT_EQ(shown, run.opened ? std::vector<std::string>{page} : std::vector<std::string>{});
  }
}

// The real plenum.exe against the simulated module loop, its firmware folder holding the
// synthetic firmware files.
class RealPlenumTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    testing::copyFile(testing::hostPath(PLENUM_EXE), programDir_.text("plenum.exe"));
    // The firmware files go into the firmware folder, where plenum runs.
    const std::filesystem::path firmware = pathFromUtf8(documentsDir_.text("Norvo Firmware"));
    std::filesystem::create_directories(firmware);
    for (const auto& entry : std::filesystem::directory_iterator(
             pathFromUtf8(testing::hostPath(EXAMPLES_DIR "/firmware")))) {
      if (entry.path().extension() == ".obf") {
        std::filesystem::copy_file(entry.path(), firmware / entry.path().filename());
      }
    }
    SetEnvironmentVariableW(L"PLENUM_LOOP", L"B,B");
  }
};

TEST_F(RealPlenumTest, VersionWaitsForEnterInTheWaitingWindow) {
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  click(window->control(Id::Version));
  EXPECT_EQ(text(*window, Id::CommandLabel), "plenum -i 0 -o 0 -P -V");
  ASSERT_TRUE(waitFor([&] {
    return window->waitWindow().outputText().find("Please press <Enter> to continue...") != std::string::npos;
  })) << window->waitWindow().outputText();
  EXPECT_NE(window->waitWindow().outputText().find("Copyright"), std::string::npos);
  finishWithEnter(*window);
  EXPECT_FALSE(window->waitWindow().isOpen());
  EXPECT_NE(text(*window, Id::LastOutput).find("plenum ended with status 0: it finished normally"),
            std::string::npos);
}

TEST_F(RealPlenumTest, DownloadsAnExampleIntoTheSimulatedLoop) {
  const std::string config = documentsDir_.text("орган_é.ncf");
  testing::copyFile(testing::hostPath(EXAMPLES_DIR "/small_console.ncf"), config);
  writeSettings("V3\n0\nIn A\n0\nOut A\n" + config + "\n\n\n\n");
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  click(window->control(Id::Download));
  ASSERT_TRUE(waitFor([&] {
    return window->waitWindow().outputText().find("Please press <Enter> to continue...") != std::string::npos;
  }, 60000)) << window->waitWindow().outputText();
  const std::string output = window->waitWindow().outputText();
  EXPECT_NE(output.find("Parsing file " + config + "\n"), std::string::npos) << output;
  EXPECT_NE(output.find("Configuration successfully downloaded"), std::string::npos) << output;
  finishWithEnter(*window);
  EXPECT_NE(window->waitWindow().outputText().find("plenum ended with status 0"), std::string::npos);
}

TEST_F(RealPlenumTest, WiringChartIsWrittenByPlenumAndOpened) {
  const std::string config = documentsDir_.text("Übung_small.ncf");
  testing::copyFile(testing::hostPath(EXAMPLES_DIR "/small_console.ncf"), config);
  writeSettings("V3\n0\nIn A\n0\nOut A\n" + config + "\n\n\n\n");
  auto window = makeWindow(programDir_.text());
  std::vector<std::string> shown;
  window->openChart = [&shown](const std::string& opened) { shown.push_back(opened); };
  ASSERT_TRUE(window->start());
  click(window->control(Id::WiringChart));
  ASSERT_TRUE(waitFor([&] { return !window->process().isBusy(); }, 60000))
      << window->waitWindow().outputText();
  const std::string page = documentsDir_.text("Übung_small-wiring-chart.html");
  EXPECT_EQ(shown, std::vector<std::string>{page}) << window->waitWindow().outputText();
  const std::string html = readFile(page);
  EXPECT_NE(html.find("<html"), std::string::npos);
  EXPECT_NE(html.find("GreatPrincipal8"), std::string::npos);
}

TEST_F(RealPlenumTest, AnEndlessDiagnosticRunsUntilStopped) {
  auto window = makeWindow(programDir_.text());
  ASSERT_TRUE(window->start());
  setControlText(window->control(Id::DiagCount), "-1");
  click(window->control(Id::DataDiagnostic));
  EXPECT_EQ(text(*window, Id::CommandLabel), "plenum -i 0 -o 0  -P -D-1");
  ASSERT_TRUE(waitFor([&] { return window->waitWindow().outputText().find("Copyright") != std::string::npos; }));
  waitFor([] { return false; }, 1500);  // the diagnostic goes on and prints nothing
  EXPECT_TRUE(window->process().isBusy());
  EXPECT_EQ(window->waitWindow().outputText().find("Please press <Enter>"), std::string::npos);
  click(findControl(window->waitWindow().hwnd(), WaitWindow::StopButton));
  ASSERT_TRUE(waitFor([&] { return !window->process().isBusy(); }));
  EXPECT_NE(window->waitWindow().outputText().find("plenum was stopped by the user"), std::string::npos);
  EXPECT_TRUE(window->waitWindow().isOpen());
  EXPECT_EQ(window->waitWindow().stateText(), "Command ended");
  EXPECT_EQ(window->waitWindow().stopCaption(), "Close");
}

}  // namespace
}  // namespace tirasse::win32
