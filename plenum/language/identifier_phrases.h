#pragma once
// The identifier phrases of the grammar: a MIDI literal written where a name stands
// names the item it describes (C1N60 is note 60 arriving on channel 1), and an id list
// records the names of a bracketed list.

#include <string>
#include <vector>

#include "plenum/model/element.h"

namespace plenum {

// The record of a note literal used as a name. A record bound to nothing yet gets an
// input bit for that note, from outside the chain, bound to the record.
IdentifierRecord* noteLiteralIdentifier(const std::string& text, SourceLocation where);
// The same for a program literal (C1P5); the input bit itself keeps no name.
IdentifierRecord* programLiteralIdentifier(const std::string& text, SourceLocation where);
// The same for a controller literal (C1C7) with a controller item.
IdentifierRecord* controllerLiteralIdentifier(const std::string& text, SourceLocation where);

// The names of a bracketed list, each with the element it was bound to when read.
class IdList : public Element {
 public:
  struct Entry {
    std::string name;
    Element* element;
  };

  using Element::Element;

  void add(const IdentifierRecord& record) { entries.push_back({record.name, record.element}); }

  std::vector<Entry> entries;
};

}  // namespace plenum
