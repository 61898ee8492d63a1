#include "plenum/model/element.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "plenum/language/diagnostics.h"

namespace plenum {

Element::Element() : location(context().here()) {}

Element::Element(SourceLocation where) : location(std::move(where)) {}

// A statement discarded by the parser's error recovery must not leave its name bound to
// freed memory: a later definition or use of the name would read it.
Element::~Element() {
  if (identifier != nullptr && identifier->element == this) identifier->element = nullptr;
}

void Element::finish() {}

int Element::bindName(IdentifierRecord* record, int mode) {
  if (mode == BindDefinition && record->element) {
    reportAt(*this, "Trying to redefine '%s'", record->name.c_str());
    reportAtLocation(record->element->location, "\t(location of previous definition)");
  }
  if (mode == BindReference && !record->element)
    reportAt(*this, "'%s' not defined", record->name.c_str());
  // Bound even after a failed reference, so that the error is not repeated.
  if (!record->element) record->element = this;
  identifier = record;
  return 0;
}

const char* Element::name() const { return identifier ? identifier->name.c_str() : ""; }

void reportAt(const Element& element, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 0) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  va_end(args);
  reportAtLocation(element.location, buffer.data());
}

}  // namespace plenum
