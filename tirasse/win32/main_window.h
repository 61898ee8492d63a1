#pragma once
// "Norvo Configuration": the user's devices, configuration file and options on three tab
// pages, and one button per plenum task. What the buttons do is the core's main flow
// (tirasse/flow); this window shows it, asks the user when told to, and runs plenum in the
// waiting window.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "tirasse/core/run_outcome.h"
#include "tirasse/flow/main_flow.h"
#include "tirasse/midi/sequencer_commands.h"
#include "tirasse/win32/file_dialogs.h"
#include "tirasse/win32/recording_dialog.h"
#include "tirasse/win32/window.h"

namespace tirasse::win32 {

class PlenumProcess;
class WaitWindow;

// Where the program finds its folders and devices; tests substitute their own.
struct StartupEnvironment {
  FrontEndFolders folders;
  const MidiDeviceLists* devices = nullptr;
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
    CopyRegistration, CommandLabel, LastOutput, VersionLabel, Exit, FirmwareBox, OpenFirmware,
    FirmwareChange, CheckConsole, NameMessages, WiringChart, DebugBox0 = 1100,
  };

  explicit MainWindow(StartupEnvironment environment);
  ~MainWindow() override;

  // False when a device list is empty: the program cannot work and ends after its message.
  bool start();
  void show(int how);

  // How messages reach the user, and how files are asked for; tests put in their own.
  std::function<void(const std::string&)> showMessage;
  FileDialog askForFile = showSystemFileDialog;
  // The MIDI ports of Play and Record; tests put in their own.
  OutputPortOpener openOutput = &openSystemOutput;
  InputPortOpener openInput = &openSystemInput;
  // Shows a folder in the Explorer (Open beside the firmware folder); tests put in their own.
  std::function<void(const std::string& folder)> openFolder;
  // Shows a written wiring chart in the system's browser; tests put in their own.
  std::function<void(const std::string& page)> openChart;
  // Run when Exit has saved the settings: the program's loop ends.
  std::function<void()> onExit = [] { PostQuitMessage(0); };

  const TirasseSettings& currentSettings() const { return flow_.settings(); }
  std::string settingsFilePath() const;
  // The option controls as they stand now.
  OptionControls controls() const;
  PlenumProcess& process() { return *process_; }
  WaitWindow& waitWindow() { return *wait_; }
  HWND control(int id) const;
  void selectPage(int page);

  void sendPlenumCmd(const PlenumCommand& command);

 private:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void layout() override;
  void buildPages();
  void placePages();
  void command(int id, int code);

  void runButton(PlenumButton button, const std::string& file = {}, int source = 0,
                 MemoryRange targets = {});
  void showDevices();
  void showFirmwareFolder();
  void chooseFirmwareFolder();
  void chooseConfigFile();
  std::string chooseRegistrationFile(bool forSaving);
  void showRange(const MemoryRange& range);
  void copyRegistration();
  void playMidiFile();
  void recordMidiFile();
  void openSequencer();
  void appendLastOutput(const std::string& text);
  void writeWiringChart();
  void showChartOnceWritten(const RunOutcome& outcome);

  StartupEnvironment environment_;
  MainFlow flow_;
  std::string lastOutput_;
  std::string pendingChart_;  // the chart page plenum is writing, shown when it is done

  std::unique_ptr<PlenumProcess> process_;
  std::unique_ptr<WaitWindow> wait_;
  HWND tabs_ = nullptr;
  std::array<HWND, 3> pages_{};
};

}  // namespace tirasse::win32
