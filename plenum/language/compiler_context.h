#pragma once
// Run-wide compiler state in one object, so a test can compile several files in one
// process by starting a fresh context (CompilerContextScope).

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plenum/language/source_location.h"

namespace plenum {

class Element;
class Configuration;
class StopTabSource;
class NvPbusMod;

// One per distinct identifier text; its address never changes while the table lives.
struct IdentifierRecord {
  std::string name;
  Element* element = nullptr;  // bound by Element::bindName
  int moduleNumber = -1;       // module whose program holds the element
  std::vector<int> mentionLines;  // every line the name is written on, in reading order
};

// The work bytes in which the couplers of one module collect their destination's notes.
struct CouplerBuffer {
  int firstByte;
  int width;
};

// Names are compared exactly: case matters, C1N60 and C01N060 differ.
// Which statement produces each note, program change and controller of each channel,
// across every module of the configuration: 16 channels x 128 numbers, null = free.
struct MidiClaims {
  static constexpr int Channels = 16;
  static constexpr int Numbers = 128;
  using Table = std::array<Element*, Channels * Numbers>;
  Table notes{};
  Table programChanges{};
  Table controllers{};
};

// How LCD value items show their values. One setting for the whole run: the mode
// keywords of any serial LCD statement change it, and every LCD item copies it when it
// is made, so a mode carries over into later boards and modules.
struct LcdDisplayMode {
  static constexpr int Binary = 0;  // 1 to 3: decimal with that many digits
  int format = 3;
  bool signedValue = true;
  bool once = false;
};

class IdentifierTable {
 public:
  // Far more names than the largest console needs.
  static constexpr std::size_t kMaxIdentifiers = 65536;

  // The record for the text, created on first mention. A new name beyond
  // kMaxIdentifiers throws a TextException.
  IdentifierRecord* lookup(const std::string& text);
  // The record for the text, or null when the text was never mentioned.
  const IdentifierRecord* find(const std::string& text) const;
  std::size_t size() const { return records_.size(); }
  // Every record, in name order.
  template <class Visit>
  void forEach(Visit visit) const {
    for (const auto& [text, record] : records_) visit(record);
  }

 private:
  std::map<std::string, IdentifierRecord> records_;  // std::map keeps node addresses
};

class CompilerContext {
 public:
  CompilerContext();

  IdentifierTable identifiers;
  int diagnosticCount = 0;

  // While the parser runs, the error that ends the run does not end it at once: the
  // scanner ends the input at the next token, the parser's error recovery frees what it
  // holds and gives up, then the load step ends the run. Ending it from inside a parser
  // action would leak every phrase on the parser's stack. Errors after the one that
  // ended the run are not shown.
  bool parsing = false;
  bool parseStopRequested = false;

  // Set by the load step before parsing; every location of the run shares it.
  void setFileName(const std::string& name);
  const std::shared_ptr<const std::string>& fileName() const { return fileName_; }

  // The scanner's line counter: the line of the token just read.
  int line = 1;

  // The configuration the parser is filling; set by the load step.
  Configuration* currentConfiguration = nullptr;

  // Uniqueness of the MIDI items the modules produce (claimed at generation).
  MidiClaims midiClaims;

  // Elements that belong to no module and no board (external MIDI items, the items of
  // MIDI literals used as names, literals): they live as long as the run's model.
  // shared_ptr keeps this header free of the Element definition.
  std::vector<std::shared_ptr<Element>> looseElements;

  // Each module's coupler buffer, made by the first of its couplers that generates.
  std::map<const NvPbusMod*, CouplerBuffer> couplerBuffers;

  // The LCD display mode in force (see LcdDisplayMode).
  LcdDisplayMode lcdMode;

  // The dual-magnet stop tabs of the current configuration's combination action, set
  // together with it; null without one. Output boards drive the tabs' magnets.
  StopTabSource* stopTabSource = nullptr;

  // Where the parser is reading now.
  SourceLocation here() const { return SourceLocation{fileName_, line}; }

 private:
  std::shared_ptr<const std::string> fileName_;
};

// The context in force. There is always one; a scope replaces it for its lifetime.
CompilerContext& context();

// Starts a fresh context and restores the previous one when it ends.
class CompilerContextScope {
 public:
  CompilerContextScope();
  ~CompilerContextScope();
  CompilerContextScope(const CompilerContextScope&) = delete;
  CompilerContextScope& operator=(const CompilerContextScope&) = delete;
  CompilerContext& context() { return *fresh_; }

 private:
  std::unique_ptr<CompilerContext> fresh_;
  CompilerContext* previous_;
};

// Shortcut for the identifier table of the context in force.
inline IdentifierRecord* lookupIdentifier(const std::string& text) {
  return context().identifiers.lookup(text);
}

}  // namespace plenum
