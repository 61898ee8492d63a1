#include "tirasse/flow/main_flow.h"

#include <fstream>
#include <system_error>

#include "plenum/midi/device_choice.h"
#include "tirasse/core/dialog_folders.h"
#include "tirasse/core/firmware_folder.h"
#include "tirasse/core/memory_range.h"
#include "tirasse/core/unicode_text.h"
#include "tirasse/core/utf8_path.h"

namespace tirasse {

const char* const kDebugCaptions[9] = {
    "Progress",          "Sysex info",   "Size logic",
    "Hex program",       "Config regurgitate", "Disassemble program",
    "Sysex in hex",      "Show pgm/verify in chars", "Parser Details"};

namespace {

constexpr std::size_t kLongestVersionLine = 4096;

// The folder a file is in, absolute.
std::string folderOf(const std::string& file) {
  return absoluteCleanPath(pathToUtf8(pathFromUtf8(absoluteCleanPath(file)).parent_path()));
}

std::string fileNameOf(const std::string& file) {
  return pathToUtf8(pathFromUtf8(file).filename());
}

}  // namespace

MemoryRange rangeOf(const OptionControls& controls) {
  return afterFromEdited(controls.rangeFrom, controls.rangeThrough);
}

MainFlow::MainFlow(FrontEndFolders folders, const MidiDeviceLists& devices)
    : folders_(std::move(folders)), devices_(devices) {}

std::filesystem::path MainFlow::settingsFile() const {
  return pathFromUtf8(folders_.settingsDir) / kSettingsFileName;
}

bool MainFlow::start() {
  settings_.settingsDir = folders_.settingsDir;
  std::error_code ignored;  // first run: the folder does not exist yet
  std::filesystem::create_directories(pathFromUtf8(folders_.settingsDir), ignored);
  settings_.midDir = folders_.documentsDir;
  settings_.configDir = folders_.programDir;
  readSettingsFile(settingsFile(), settings_);
  settings_.firmwareDir = usableFirmwareFolder(settings_.firmwareDir, folders_.documentsDir);
  // Nowhere to make one: plenum runs in the program folder, as it used to.
  if (settings_.firmwareDir.empty()) settings_.firmwareDir = folders_.programDir;

  std::ifstream version(pathFromUtf8(folders_.programDir) / "version.txt", std::ios::binary);
  std::string line;
  if (version && std::getline(version, line)) {
    line = trimmedText(line.substr(0, kLongestVersionLine));
    if (!line.empty()) version_ = line;
  }
  return chooseDevice(true, false) && chooseDevice(false, false);
}

void MainFlow::changeDevice(bool input) { chooseDevice(input, true); }

bool MainFlow::chooseDevice(bool input, bool forget) {
  const std::vector<std::string> names = input ? devices_.inputNames() : devices_.outputNames();
  int& number = input ? settings_.midiInDev : settings_.midiOutDev;
  std::string& name = input ? settings_.midiInName : settings_.midiOutName;
  const plenum::RememberedDevice previous{number, name};
  const plenum::RememberedChoice choice =
      plenum::chooseRememberedDevice(names, forget ? plenum::RememberedDevice{} : previous);
  if (choice.outcome == plenum::DeviceOutcome::NoDevices) {
    if (showMessage) {
      showMessage(input ? "No MIDI input devices found.  Do you need to install a device "
                          "driver for your sound card?"
                        : "No MIDI output devices found.  Do you need to install a device "
                          "driver for your sound card?");
    }
    return false;
  }
  plenum::RememberedDevice device = choice.device;
  if (choice.outcome == plenum::DeviceOutcome::AskUser) {
    const int chosen = askDevice ? askDevice(input, names) : -1;
    if (chosen >= 0 && static_cast<std::size_t>(chosen) < names.size()) {
      device = {chosen, names[static_cast<std::size_t>(chosen)]};
    } else if (plenum::chooseRememberedDevice(names, previous).outcome ==
               plenum::DeviceOutcome::Chosen) {
      device = previous;  // Cancel keeps the choice made before, while it still holds
    }
  }
  number = device.number;
  name = device.name;
  return true;
}

bool MainFlow::moduleBoxAccepted(const CommandBuilder& builder) const {
  if (builder.moduleBoxAccepted()) return true;
  if (showMessage) {
    showMessage(
        "The module box must hold a module number while \"Start at selected module\" is "
        "ticked.");
  }
  return false;
}

std::optional<PlenumCommand> MainFlow::commandFor(PlenumButton button,
                                                  const OptionControls& controls,
                                                  const std::string& file, int source,
                                                  MemoryRange targets) const {
  CommandOptions options;
  options.midiInDev = settings_.midiInDev;
  options.midiOutDev = settings_.midiOutDev;
  options.keepWindowOpen = controls.keepWindowOpen;
  options.startAtModule = controls.startAtModule;
  options.moduleText = controls.moduleText;
  options.otherOptions = controls.otherOptions;
  options.debugBoxes = controls.debugBoxes;
  options.skipUnchangedRelayCode = controls.skipUnchangedRelayCode;
  const CommandBuilder builder(options);
  MemoryRange range = rangeOf(controls);
  const MemoryRange* wanted = controls.rangeOnly ? &range : nullptr;
  switch (button) {
    case PlenumButton::Download:
      if (settings_.configFile.empty()) {
        if (showMessage) showMessage("Please choose a configuration file first.");
        return std::nullopt;
      }
      if (!moduleBoxAccepted(builder)) return std::nullopt;
      return builder.download(settings_.configFile);
    case PlenumButton::Version:
      return builder.version();
    case PlenumButton::Reset:
      return builder.reset();
    case PlenumButton::Monitor:
      if (controls.nameMessages && !settings_.configFile.empty()) {
        return builder.monitor(settings_.configFile);
      }
      return builder.monitor();
    case PlenumButton::CheckConsole:
      if (settings_.configFile.empty()) {
        if (showMessage) showMessage("Please choose a configuration file first.");
        return std::nullopt;
      }
      if (!moduleBoxAccepted(builder)) return std::nullopt;
      return builder.checkConsole(settings_.configFile);
    case PlenumButton::WiringChart:
      if (settings_.configFile.empty()) {
        if (showMessage) showMessage("Please choose a configuration file first.");
        return std::nullopt;
      }
      return builder.wiringChart(settings_.configFile, wiringChartPath());
    case PlenumButton::Halt:
      if (!moduleBoxAccepted(builder)) return std::nullopt;
      return builder.halt();
    case PlenumButton::Run:
      if (!moduleBoxAccepted(builder)) return std::nullopt;
      return builder.run();
    case PlenumButton::ProgramExecutive:
      if (!moduleBoxAccepted(builder)) return std::nullopt;
      return builder.programExecutive();
    case PlenumButton::VerifyExecutive:
      if (!moduleBoxAccepted(builder)) return std::nullopt;
      return builder.verifyExecutive();
    case PlenumButton::DataDiagnostic:
      return builder.dataDiagnostic(controls.displayComparison, controls.repeatCount);
    case PlenumButton::SaveRegistration:
      if (file.empty()) return std::nullopt;
      return builder.saveRegistration(wanted, file);
    case PlenumButton::LoadRegistration:
      if (file.empty()) return std::nullopt;
      return builder.loadRegistration(wanted, file);
    case PlenumButton::CopyRegistration:
      return builder.copyRegistration(source, targets);
  }
  return std::nullopt;
}

bool MainFlow::chartIsReady(const std::string& chart, const RunOutcome& outcome) {
  if (chart.empty() || outcome.stoppedByUser || outcome.crashed || outcome.exitStatus != 0) return false;
  std::error_code error;
  return std::filesystem::is_regular_file(pathFromUtf8(chart), error);
}

std::string MainFlow::wiringChartPath() const {
  const std::string& folder = folders_.documentsDir.empty() ? folders_.homeDir : folders_.documentsDir;
  return wiringChartFile(settings_.configFile, folder);
}

bool MainFlow::mayStartCommand(bool runnerBusy) const {
  if (!runnerBusy) return true;
  if (showMessage) showMessage("Please exit the previous command before starting another");
  return false;
}

std::string MainFlow::startFolder(const std::string& lastUsed) const {
  return dialogStartFolder(lastUsed, folders_.documentsDir, folders_.programDir,
                           folders_.homeDir);
}

void MainFlow::configFileChosen(const std::string& path) {
  settings_.configFile = path;
  settings_.configDir = folderOf(path);
}

std::string MainFlow::registrationFileChosen(const std::string& path, bool forSaving) {
  const std::string chosen = absoluteCleanPath(forSaving ? withDefaultExtension(path, "reg") : path);
  regDir_ = folderOf(chosen);
  regFile_ = fileNameOf(chosen);
  return chosen;
}

bool MainFlow::firmwareFolderChosen(const std::string& folder) {
  std::error_code error;
  if (folder.empty() || !std::filesystem::is_directory(pathFromUtf8(folder), error)) {
    if (showMessage) showMessage("The folder " + folder + " cannot be used for the firmware files");
    return false;
  }
  settings_.firmwareDir = absoluteCleanPath(folder);
  return true;
}

void MainFlow::midiFileChosen(const std::string& path) { settings_.midDir = folderOf(path); }

bool MainFlow::refuseSimulatedLoop() const {
  if (!devices_.simulatedLoop()) return false;
  if (showMessage) {
    showMessage(
        "The simulated module loop (PLENUM_LOOP) has no MIDI devices: it cannot play or "
        "record MIDI files.");
  }
  return true;
}

bool MainFlow::exitAndSave() const {
  if (writeSettingsFile(settingsFile(), settings_)) return true;
  if (showMessage) showMessage("The settings could not be saved in " + pathToUtf8(settingsFile()));
  return false;
}

}  // namespace tirasse
