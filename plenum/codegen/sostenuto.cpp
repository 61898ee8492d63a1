#include "plenum/codegen/sostenuto.h"

#include <cstdio>

#include "plenum/codegen/bit_masks.h"
#include "plenum/codegen/division_names.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/module_program.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

namespace {
constexpr int RelayTruncation = 0x3F;
}  // namespace

void ModSostenuto::setDivision(IdentifierRecord* name) {
  if (division) reportAt(*this, "Division already set");
  if (ModInputKbd* named = divisionNamed(name, *this)) division = named;
}

void ModSostenuto::print(bool indent) const {
  std::printf("%sSostenuto: ", indent ? "    " : "");
  if (expression) expression->print();
  if (division) division->print(false);
  std::printf("\n");
}

void ModSostenuto::generateInModule(ModuleProgram& program, NvPbusMod& owner) {
  if (!expression) reportAt(*this, "Missing (expression) for Sostenuto");
  if (!division) {
    reportAt(*this, "Missing DIVISION for Sostenuto");
    return;
  }
  if (!hasNotes(*division)) return;  // the division has reported what it lacks
  ByteString& main = program.mainList();
  if (expression)
    expression->generate(main, owner);
  else
    appendRecord(main, Sldi, {1});  // always held

  const int bytes = (division->count + 7) / 8;
  const int held = owner.allocBytes(2 * bytes, 0);
  const int pedal = owner.allocBit();
  appendRecord(main, SFenaSostenuto,
               {pedal / 8, bitMask(pedal % 8), held, division->number, division->channel, bytes});
  appendRecord(program.noteList(division->channel), SFmidiSostenuto,
               {held, division->number, division->count});
  program.truncation[static_cast<std::size_t>(division->channel)] &= RelayTruncation;
  owner.markFunctionUse(UseRelays);
}

}  // namespace plenum
