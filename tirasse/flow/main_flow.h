#pragma once
// "Norvo Configuration", the main window, without its widgets: the devices, the settings
// file, the version line, which command line each button makes and what it needs first,
// and where the file dialogs start. The front end shows what it is given, asks the user
// when it is told to, and hands the option controls' state in with every button.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tirasse/core/command_builder.h"
#include "tirasse/core/run_outcome.h"
#include "tirasse/core/settings_file.h"
#include "tirasse/midi/system_midi_ports.h"

namespace tirasse {

// The platform's folders, found by the front end.
struct FrontEndFolders {
  std::string programDir;    // holds plenum, plenum.bat and version.txt
  std::string settingsDir;   // the user's application-data folder for tirasse
  std::string documentsDir;
  std::string homeDir;
};

// The option controls of the three tab pages as the window holds them.
struct OptionControls {
  bool keepWindowOpen = false;        // "Keep command window open"
  bool startAtModule = false;         // "Start at selected module"
  std::string moduleText = "0";       // the module box
  std::string otherOptions;           // "Other Options"
  unsigned debugBoxes = 0;            // bit i: debug box i ticked
  bool skipUnchangedRelayCode = false;
  bool displayComparison = false;     // "Display data comparison"
  std::string repeatCount = "1";      // "Repeat count:"
  bool rangeOnly = false;             // "Only Save/Load"
  std::string rangeFrom = "0";        // "Memories from"
  std::string rangeThrough = "127";   // "through"
  bool nameMessages = false;          // "Name messages from the configuration" (Monitor)
};

// The buttons that run plenum.
enum class PlenumButton {
  Download, Version, Reset, Monitor, Halt, Run, ProgramExecutive, VerifyExecutive,
  DataDiagnostic, SaveRegistration, LoadRegistration, CopyRegistration, CheckConsole,
  WiringChart
};

// The captions of the nine debug boxes, in the order of their bits.
extern const char* const kDebugCaptions[9];

inline constexpr const char* kMainWindowTitle = "Norvo Configuration";
inline constexpr const char* kUnknownVersion = "Tirasse Version ?";
inline constexpr const char* kConfigFilter = "All Files (*.*);;Norvo Configuration Files (*.ncf)";
inline constexpr const char* kConfigFilterChosen = "Norvo Configuration Files (*.ncf)";
inline constexpr const char* kRegistrationFilter = "All Files (*.*);;Registration Files (*.reg)";
inline constexpr const char* kRegistrationFilterChosen = "Registration Files (*.reg)";
inline constexpr const char* kMidiFilter = "MIDI Files (*.mid)";

class MainFlow {
 public:
  MainFlow(FrontEndFolders folders, const MidiDeviceLists& devices);

  // How messages reach the user.
  std::function<void(const std::string&)> showMessage;
  // Shows the device list for "Select MIDI Input Device" (input) or "... Output ..." with
  // the first line selected; the chosen index, or -1 when the user cancels.
  std::function<int(bool input, const std::vector<std::string>& names)> askDevice;

  // Reads the settings file and the version line and chooses the devices. False, after
  // its message, when a device list is empty: the program cannot work.
  bool start();
  // The Change buttons: the user chooses again; Cancel keeps the device chosen before.
  void changeDevice(bool input);

  const TirasseSettings& settings() const { return settings_; }
  std::filesystem::path settingsFile() const;
  const std::string& versionText() const { return version_; }
  const FrontEndFolders& folders() const { return folders_; }
  // Where the Wiring Chart button writes the chosen configuration's page: the documents
  // folder (or home), a place the builder finds it again for the binder.
  std::string wiringChartPath() const;
  // Whether the page a Wiring Chart run wrote to `chart` is to be opened now that the run is
  // over: only after a clean end, when plenum has written all of it.
  static bool chartIsReady(const std::string& chart, const RunOutcome& outcome);

  // The command line of a button, or nothing after a message saying what is missing.
  // `file` is the registration file of Save and Load; `source` and `targets` are Copy
  // Registration's. The range boxes' values are limited as leaving them would.
  std::optional<PlenumCommand> commandFor(PlenumButton button, const OptionControls& controls,
                                          const std::string& file = {}, int source = 0,
                                          MemoryRange targets = {}) const;
  // False, after its message, while a command still runs.
  bool mayStartCommand(bool runnerBusy) const;
  void setSkipUnchangedRelayCode(bool ticked) { settings_.skipUnchangedRelayCode = ticked; }

  // Where each file dialog starts, and what a choice changes.
  std::string configStartFolder() const { return startFolder(settings_.configDir); }
  void configFileChosen(const std::string& path);
  std::string registrationStartFolder() const { return startFolder(regDir_); }
  const std::string& registrationFileName() const { return regFile_; }
  // The chosen file as it is passed to plenum: absolute, with .reg added when saving.
  std::string registrationFileChosen(const std::string& path, bool forSaving);
  // The folder plenum runs in, where it finds the firmware files; made when missing.
  const std::string& firmwareFolder() const { return settings_.firmwareDir; }
  // The user chose another; false, after a message, when it cannot be used.
  bool firmwareFolderChosen(const std::string& folder);
  std::string midiStartFolder() const { return startFolder(settings_.midDir); }
  void midiFolderUsed(const std::string& folder) { settings_.midDir = folder; }
  void midiFileChosen(const std::string& path);

  // True after saying that the simulated loop cannot play or record MIDI files.
  bool refuseSimulatedLoop() const;
  // Writes the settings file; false after its message.
  bool exitAndSave() const;

 private:
  std::string startFolder(const std::string& lastUsed) const;
  bool chooseDevice(bool input, bool forget);
  bool moduleBoxAccepted(const CommandBuilder& builder) const;

  FrontEndFolders folders_;
  const MidiDeviceLists& devices_;
  TirasseSettings settings_;
  std::string version_ = kUnknownVersion;
  std::string regDir_;
  std::string regFile_;
};

// The range the boxes stand for: limited to the memories, "through" raised to "from".
MemoryRange rangeOf(const OptionControls& controls);

}  // namespace tirasse
