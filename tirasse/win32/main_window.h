#pragma once
// "Norvo Configuration": the user's devices, configuration file and options on three tab
// pages, and one button per plenum task. Each button has its command line built by the core
// and runs plenum in the waiting window.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "tirasse/core/command_builder.h"
#include "tirasse/core/settings_file.h"
#include "tirasse/win32/device_lists.h"
#include "tirasse/win32/file_dialogs.h"
#include "tirasse/win32/window.h"

namespace tirasse::win32 {

class PlenumProcess;
class WaitWindow;

// Where the program finds its folders and devices; tests substitute their own.
struct StartupEnvironment {
  std::string programDir;    // holds plenum.exe, plenum.bat and version.txt
  std::string settingsDir;   // the user's application-data folder for tirasse
  std::string documentsDir;
  std::string homeDir;
  const DeviceLists* devices = nullptr;
  bool askForConfigFile = true;  // open the file dialog at start when none is known
};

class MainWindow : public Window {
 public:
  // Control ids; the debug boxes are DebugBox0 + i.
  enum Id {
    Tabs = 1000, MidiInBox, MidiInChange, MidiOutBox, MidiOutChange, ConfigFileBox,
    ConfigFileChange, Download, Version, Reset, Monitor, SkipUnchanged, Play, Record,
    Sequencer, ProgramExecutive, VerifyExecutive, ModuleBox, ModuleOnly, Halt, Run,
    OtherOptions, KeepWindowOpen, DisplayData, DiagCount, DataDiagnostic, RegistrationOnly,
    RegistrationFrom, RegistrationThrough, SaveRegistration, LoadRegistration,
    CopyRegistration, CommandLabel, LastOutput, VersionLabel, Exit, DebugBox0 = 1100,
  };

  explicit MainWindow(StartupEnvironment environment);
  ~MainWindow() override;

  // False when a device list is empty: the program cannot work and ends after its message.
  bool start();
  void show(int how);

  // How messages reach the user, and how files are asked for; tests put in their own.
  std::function<void(const std::string&)> showMessage;
  FileDialog askForFile = showSystemFileDialog;
  // Run when Exit has saved the settings: the program's loop ends.
  std::function<void()> onExit = [] { PostQuitMessage(0); };

  const TirasseSettings& currentSettings() const { return settings_; }
  std::string settingsFilePath() const;
  PlenumProcess& process() { return *process_; }
  WaitWindow& waitWindow() { return *wait_; }
  HWND control(int id) const;
  void selectPage(int page);

  void sendPlenumCmd(const PlenumCommand& command);
  CommandBuilder commandBuilder() const;

 private:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void layout() override;
  void buildPages();
  void placePages();
  void command(int id, int code);

  bool chooseDevices();
  bool chooseDevice(bool input, bool forget);
  void showDevices();
  std::string startFolder(const std::string& lastUsed) const;
  void chooseConfigFile();
  std::string chooseRegistrationFile(bool forSaving);
  bool moduleBoxAccepted();
  const MemoryRange* registrationRange(MemoryRange& storage);
  void showRange(const MemoryRange& range);
  void copyRegistration();
  void exitAndSave();
  void readVersion();
  bool refuseSimulatedLoop();
  void appendLastOutput(const std::string& text);

  StartupEnvironment environment_;
  TirasseSettings settings_;
  std::string settingsFolder_;  // where tirasse.ini was looked for, and is written back
  std::string regDir_;
  std::string regFile_;
  std::string lastOutput_;

  std::unique_ptr<PlenumProcess> process_;
  std::unique_ptr<WaitWindow> wait_;
  HWND tabs_ = nullptr;
  std::array<HWND, 3> pages_{};
};

}  // namespace tirasse::win32
