#pragma once
// Turns the main window's choices into plenum command lines, one per button. The command
// line is plenum's whole interface, so every blank and quote here is deliberate.

#include <string>
#include <utility>
#include <vector>

namespace tirasse {

// A range of combination-action memories, both ends included.
struct MemoryRange {
  int from = 0;
  int through = 127;
  int count() const { return through - from + 1; }
};

// What the command lines are made of: the device numbers and the option controls.
struct CommandOptions {
  int midiInDev = -1;
  int midiOutDev = -1;
  bool keepWindowOpen = false;  // run plenum.bat, which keeps its output on screen
  bool startAtModule = false;
  std::string moduleText;           // the module box, passed as typed
  std::string otherOptions;         // free text, passed as typed
  unsigned debugBoxes = 0;      // bit i set when debug box i is ticked
  bool skipUnchangedRelayCode = false;  // Download adds -u
};

// One plenum run: the command line as the user sees it, and the words plenum is given.
// plenum gets its arguments as a list, not through a shell, so a file name reaches it as it
// is whatever quotes or blanks it holds; the free-text parts are split into words as a
// command line would split them.
struct PlenumCommand {
  std::string line;
  std::vector<std::string> words;  // the program first
};

class CommandBuilder {
 public:
  explicit CommandBuilder(CommandOptions options) : options_(std::move(options)) {}

  PlenumCommand download(const std::string& configFile) const;
  PlenumCommand version() const;
  PlenumCommand reset() const;
  PlenumCommand monitor() const;
  // With a configuration file the monitor names what it shows from it (--names).
  PlenumCommand monitor(const std::string& namesFile) const;
  // Compares the modules with the configuration file, writing nothing (--check).
  PlenumCommand checkConsole(const std::string& configFile) const;
  // Writes the configuration's wiring chart as an HTML page into chartFile; it talks to no
  // module, so it takes no device numbers, and it stands first, as plenum wants it.
  PlenumCommand wiringChart(const std::string& configFile, const std::string& chartFile) const;
  PlenumCommand halt() const;
  PlenumCommand run() const;
  PlenumCommand programExecutive() const;
  PlenumCommand verifyExecutive() const;
  PlenumCommand dataDiagnostic(bool displayComparison, const std::string& repeatCount) const;
  // Without a range every memory is saved or loaded.
  PlenumCommand saveRegistration(const MemoryRange* range, const std::string& file) const;
  PlenumCommand loadRegistration(const MemoryRange* range, const std::string& file) const;
  PlenumCommand copyRegistration(int sourceMemory, const MemoryRange& targets) const;

  // The module commands glue the box to -m; an empty box would make plenum take the next
  // word as the module, and a word that is no number is refused by plenum. So they are not
  // built when the tick is set and the box holds no module number.
  bool moduleBoxAccepted() const;

 private:
  // `arguments` is command-line text in which a marker stands for the file: shown as
  // `shownFile` in double quotes, passed as `passedFile`, one word.
  PlenumCommand commandLine(const std::string& arguments, const std::string& shownFile = {},
                            const std::string& passedFile = {}) const;
  std::string modulePart() const;
  std::string debugPart(unsigned startValue) const;
  std::string registrationArguments(const MemoryRange* range, const char* option) const;

  CommandOptions options_;
};

// A UNC path (\\server\share) gets two more backslashes in front, so that it survives the
// command line's own backslash handling.
std::string applyNetworkPathRule(const std::string& path);

// Whether the box text is one whole decimal number within int, sign allowed, blanks around
// it ignored: what plenum reads as -m's number once the command line is split.
bool isModuleNumber(const std::string& text);

// A file name as one command-line word.
std::string quotedFilePart(const std::string& path);

// Where the Wiring Chart button puts the chart of a configuration: in `folder`, named
// after the configuration ("organ.ncf" gives "organ-wiring-chart.html"), so that each
// console keeps its own page.
std::string wiringChartFile(const std::string& configFile, const std::string& folder);

}  // namespace tirasse
