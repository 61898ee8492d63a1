#include "tirasse/core/command_builder.h"

#include <climits>
#include <cstdio>

#include "tirasse/core/command_words.h"
#include "tirasse/core/unicode_text.h"
#include "tirasse/core/utf8_path.h"

namespace tirasse {

namespace {

constexpr unsigned kNoDebug = 0;
constexpr unsigned kProgressDebug = 0x1;
constexpr unsigned kComparisonDebug = 0x80;

// Stands for the file inside command-line text: a private-use character (U+E000) that no
// typed text or path holds.
const std::string kFileMarker = "\xEE\x80\x80";

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

}  // namespace

std::string applyNetworkPathRule(const std::string& path) {
  if (path.starts_with("\\\\")) return "\\\\" + path;
  return path;
}

std::string quotedFilePart(const std::string& path) { return '"' + path + '"'; }

PlenumCommand CommandBuilder::commandLine(const std::string& arguments,
                                          const std::string& shownFile,
                                          const std::string& passedFile) const {
  const std::string program = options_.keepWindowOpen ? "plenum.bat" : "plenum";
  const std::string devices = " -i " + std::to_string(options_.midiInDev) + " -o " +
                              std::to_string(options_.midiOutDev) + ' ';
  PlenumCommand command;
  command.line = program + devices + arguments;
  replaceAll(command.line, kFileMarker, quotedFilePart(shownFile));
  command.words = {program};
  for (std::string& word : splitCommandLine(devices + arguments)) {
    command.words.push_back(word == kFileMarker ? passedFile : std::move(word));
  }
  return command;
}

bool isModuleNumber(const std::string& text) {
  const std::string word = trimmedText(text);
  const std::size_t first = (word.starts_with('+') || word.starts_with('-')) ? 1 : 0;
  if (first == word.size()) return false;
  long long value = 0;
  for (std::size_t i = first; i < word.size(); ++i) {
    const char c = word[i];
    if (c < '0' || c > '9') return false;  // Latin digits only
    if (value <= INT_MAX) value = value * 10 + (c - '0');
  }
  return word[0] == '-' ? -value >= INT_MIN : value <= INT_MAX;
}

bool CommandBuilder::moduleBoxAccepted() const {
  return !options_.startAtModule || isModuleNumber(options_.moduleText);
}

std::string CommandBuilder::modulePart() const {
  std::string part;
  if (options_.startAtModule) part = " -m" + options_.moduleText;
  return part + ' ' + options_.otherOptions;
}

std::string CommandBuilder::debugPart(unsigned startValue) const {
  const unsigned value = startValue | options_.debugBoxes;
  if (value == 0) return {};
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", value);
  return std::string(" -d") + hex;
}

PlenumCommand CommandBuilder::download(const std::string& configFile) const {
  const std::string update = options_.skipUnchangedRelayCode ? " -u" : "";
  // The network-path rule is for a command line that a shell splits; the list passes the
  // path as it is.
  return commandLine(modulePart() + debugPart(kNoDebug) + update + " -P " + kFileMarker,
                     applyNetworkPathRule(configFile), configFile);
}

PlenumCommand CommandBuilder::version() const { return commandLine("-P -V"); }
PlenumCommand CommandBuilder::reset() const { return commandLine("-R"); }
PlenumCommand CommandBuilder::monitor() const { return commandLine("-L"); }

PlenumCommand CommandBuilder::monitor(const std::string& namesFile) const {
  if (namesFile.empty()) return monitor();
  return commandLine(std::string("--names ") + kFileMarker + " -L", applyNetworkPathRule(namesFile),
                     namesFile);
}

PlenumCommand CommandBuilder::checkConsole(const std::string& configFile) const {
  // The options that choose devices and modules stand before --check, as plenum reads them.
  return commandLine(modulePart() + debugPart(kNoDebug) + " --check -P " + kFileMarker,
                     applyNetworkPathRule(configFile), configFile);
}

PlenumCommand CommandBuilder::wiringChart(const std::string& configFile,
                                          const std::string& chartFile) const {
  PlenumCommand command;
  command.line = "plenum --chart=html --output " + quotedFilePart(applyNetworkPathRule(chartFile)) +
                 ' ' + quotedFilePart(applyNetworkPathRule(configFile));
  command.words = {"plenum", "--chart=html", "--output", chartFile, configFile};
  return command;
}

std::string wiringChartFile(const std::string& configFile, const std::string& folder) {
  const std::string stem = pathToUtf8(pathFromUtf8(configFile).stem());
  return pathToUtf8(pathFromUtf8(folder) / pathFromUtf8((stem.empty() ? "console" : stem) + "-wiring-chart.html"));
}

PlenumCommand CommandBuilder::halt() const {
  return commandLine(modulePart() + debugPart(kNoDebug) + " -H");
}

PlenumCommand CommandBuilder::run() const {
  return commandLine(modulePart() + debugPart(kNoDebug) + " -E");
}

PlenumCommand CommandBuilder::programExecutive() const {
  return commandLine(modulePart() + debugPart(kNoDebug) + " -P -%");
}

PlenumCommand CommandBuilder::verifyExecutive() const {
  return commandLine(modulePart() + debugPart(kProgressDebug) + " -P -v");
}

PlenumCommand CommandBuilder::dataDiagnostic(bool displayComparison,
                                             const std::string& repeatCount) const {
  const unsigned start = displayComparison ? kComparisonDebug : kNoDebug;
  return commandLine(debugPart(start) + std::string(" -P -D") + repeatCount);
}

std::string CommandBuilder::registrationArguments(const MemoryRange* range, const char* option) const {
  std::string arguments = options_.otherOptions;
  if (range) {
    arguments += " -m" + std::to_string(range->from) + " -n " +
                 std::to_string(range->count());
  }
  return arguments + debugPart(kProgressDebug) + option + kFileMarker;
}

PlenumCommand CommandBuilder::saveRegistration(const MemoryRange* range,
                                               const std::string& file) const {
  return commandLine(registrationArguments(range, " -P -S "), file, file);
}

PlenumCommand CommandBuilder::loadRegistration(const MemoryRange* range,
                                               const std::string& file) const {
  return commandLine(registrationArguments(range, " -P -U "), file, file);
}

PlenumCommand CommandBuilder::copyRegistration(int sourceMemory, const MemoryRange& targets) const {
  return commandLine(options_.otherOptions + " -m" +
                     std::to_string(targets.from) + " -n " +
                     std::to_string(targets.count()) + debugPart(kProgressDebug) +
                     " -P -C" + std::to_string(sourceMemory));
}

}  // namespace tirasse
