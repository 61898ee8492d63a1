#include "plenum/language/identifier_phrases.h"

#include <memory>

#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"

namespace plenum {

IdentifierRecord* noteLiteralIdentifier(const std::string& text, SourceLocation where) {
  IdentifierRecord* record = lookupIdentifier(text);
  if (!record->element) {
    auto* bit = keepLoose(std::make_unique<ModInputBit>(std::move(where)));
    bit->setFromLiteral(text);
    bit->bindName(record, BindOnly);
    record->element = bit;
  }
  return record;
}

IdentifierRecord* programLiteralIdentifier(const std::string& text, SourceLocation where) {
  IdentifierRecord* record = lookupIdentifier(text);
  if (!record->element) {
    auto* bit = keepLoose(std::make_unique<ModInputBit>(std::move(where)));
    bit->setFromLiteral(text);
    record->element = bit;
  }
  return record;
}

IdentifierRecord* controllerLiteralIdentifier(const std::string& text, SourceLocation where) {
  IdentifierRecord* record = lookupIdentifier(text);
  if (!record->element) {
    auto* controller = keepLoose(std::make_unique<ModInControl>(std::move(where)));
    controller->setFromLiteral(text);
    record->element = controller;
  }
  return record;
}

}  // namespace plenum
