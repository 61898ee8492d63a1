#pragma once
// The cross-reference of a configuration: every name with the line that defines it and
// the lines that use it, and every MIDI item with the statements that send or receive it.

#include <string>
#include <vector>

#include "plenum/consolemap/console_map.h"

namespace plenum {

class IdentifierTable;

struct NameReference {
  std::string name;
  std::string kind;           // what the name stands for: division, input, rank, ...
  int definedAt = 0;          // 0 when nothing defines it
  std::vector<int> usedAt;    // the other lines it is written on, in order, each once
};

// A run of numbers of one kind and channel that the same statements send or receive.
struct MidiReference {
  MidiKind kind = MidiKind::Note;
  int channel = 1;
  int first = 0;
  int last = 0;
  struct User {
    MidiDirection direction;
    int line;
    std::string statement;
    std::string label;  // of the first number of the run
    friend bool operator==(const User& a, const User& b) {
      return a.direction == b.direction && a.line == b.line && a.statement == b.statement;
    }
  };
  std::vector<User> users;
};

struct CrossReference {
  std::vector<NameReference> names;   // in name order
  std::vector<MidiReference> items;   // notes, programs, controllers; by channel and number
};

// Names are the identifiers the file writes (MIDI literals are items, not names).
CrossReference buildCrossReference(const ConsoleMap& map, const IdentifierTable& identifiers);

// The plain-text form: one name or item a line, aligned.
std::string crossReferenceText(const CrossReference& reference);

}  // namespace plenum
