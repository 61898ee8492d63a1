#pragma once
// Turns the main window's choices into plenum command lines, one per button. The command
// line is plenum's whole interface, so every blank and quote here is deliberate.

#include <QString>

#include <utility>

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
  QString moduleText;           // the module box, passed as typed
  QString otherOptions;         // free text, passed as typed
  unsigned debugBoxes = 0;      // bit i set when debug box i is ticked
  bool skipUnchangedRelayCode = false;  // Download adds -u
};

class CommandBuilder {
 public:
  explicit CommandBuilder(CommandOptions options) : options_(std::move(options)) {}

  QString download(const QString& configFile) const;
  QString version() const;
  QString reset() const;
  QString monitor() const;
  QString halt() const;
  QString run() const;
  QString programExecutive() const;
  QString verifyExecutive() const;
  QString dataDiagnostic(bool displayComparison, const QString& repeatCount) const;
  // Without a range every memory is saved or loaded.
  QString saveRegistration(const MemoryRange* range, const QString& file) const;
  QString loadRegistration(const MemoryRange* range, const QString& file) const;
  QString copyRegistration(int sourceMemory, const MemoryRange& targets) const;

 private:
  QString commandLine(const QString& arguments) const;
  QString modulePart() const;
  QString debugPart(unsigned startValue) const;
  QString registrationArguments(const MemoryRange* range, const char* option,
                                const QString& file) const;

  CommandOptions options_;
};

// A UNC path (\\server\share) gets two more backslashes in front, so that it survives the
// command line's own backslash handling.
QString applyNetworkPathRule(const QString& path);

// A file name as one command-line word.
QString quotedFilePart(const QString& path);

}  // namespace tirasse
