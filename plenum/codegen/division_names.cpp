#include "plenum/codegen/division_names.h"

#include "plenum/codegen/input_bits.h"
#include "plenum/model/element.h"

namespace plenum {

ModInputKbd* divisionNamed(IdentifierRecord* name, const Element& statement) {
  if (!name) return nullptr;
  if (!name->element) {
    reportAt(statement, "Division identifier '%s' not defined", name->name.c_str());
    return nullptr;
  }
  auto* division = dynamic_cast<ModInputKbd*>(name->element);
  if (!division)
    reportAt(statement, "Division ID '%s' doesn't name a division!", name->name.c_str());
  return division;
}

bool hasNotes(const ModInputKbd& division) {
  return division.channel >= 0 && division.channel < 16 && division.count >= 1 &&
         division.extension >= 1 && division.number >= 0 && division.number < 128;
}

}  // namespace plenum
