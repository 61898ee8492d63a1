#pragma once
// The keyboard division a statement names (*DIVISION = name, a coupler's FROM and TO):
// reported at the statement when the name is unbound or names something else.

#include "plenum/language/compiler_context.h"

namespace plenum {

class Element;
class ModInputKbd;

// The division bound to name, or null after reporting.
ModInputKbd* divisionNamed(IdentifierRecord* name, const Element& statement);

// The division's first note, note count and extension when they are usable for code
// (a division reported for missing notes has none).
bool hasNotes(const ModInputKbd& division);

}  // namespace plenum
