#include "plenum/codegen/when_command.h"

#include <cstdio>

#include "plenum/codegen/bit_masks.h"
#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/item_dispatch.h"
#include "plenum/codegen/local_values.h"
#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

namespace {
ModMidiFunction* triggerNamed(IdentifierRecord* name) {
  auto* item = name ? dynamic_cast<ModMidiFunction*>(name->element) : nullptr;
  if (!item) reportHere(formatText("%s is not a valid trigger", name ? name->name.c_str() : ""));
  return item;
}
}  // namespace

ModWhenCmd::ModWhenCmd(SourceLocation where, IdentifierRecord* triggerName, Exp* test,
                       IdentifierRecord* target, Exp* assigned)
    : ModFunction(std::move(where)),
      trigger(triggerNamed(triggerName)),
      condition(test),
      value(assigned),
      targetName(target) {}

ModWhenCmdV::ModWhenCmdV(SourceLocation where, IdentifierRecord* triggerName, Exp* test,
                         IdentifierRecord* target, Exp* assigned)
    : ModWhenCmd(std::move(where), triggerName, test, target, assigned) {
  valueFlag = true;
}

void ModWhenCmd::bindTarget(NvPbusMod& owner) { target = bindLocalBit(targetName, owner, location); }

void ModWhenCmdV::bindTarget(NvPbusMod& owner) {
  target = bindLocalValue(targetName, owner, location);
}

bool ModWhenCmd::appendStore(ByteString& code) const {
  auto* bit = dynamic_cast<const ModBit*>(target);
  if (!bit) return false;
  appendRecord(code, Sstb, {bit->workBit() / 8, bitMask(bit->workBit() % 8)});
  return true;
}

bool ModWhenCmdV::appendStore(ByteString& code) const {
  auto* byte = dynamic_cast<const ModValue*>(target);
  if (!byte) return false;
  appendRecord(code, Ssta, {byte->workByte()});
  return true;
}

void ModWhenCmd::print(bool indent) const {
  std::printf("%s*when (%s) ", indent ? "    " : "", trigger ? trigger->name() : "");
  if (condition) {
    std::printf("*IF (");
    condition->print();
    std::printf(")");
  }
  if (valueFlag) std::printf("*value ");
  std::printf("%s = (", targetName ? targetName->name.c_str() : "");
  if (value) value->print();
  std::printf(")\n");
}

void ModWhenCmd::generateInModule(ModuleProgram& program, NvPbusMod& owner) {
  if ((owner.functionUseMask & UseCombinationAction) != 0 && owner.typeLetter() == 'A')
    reportAt(*this, "Sorry, *WHEN not compatible with combination action");
  if (!trigger) return;
  // The module only sees what arrives from outside or from modules before it.
  if (!trigger->isAvailableIn(owner.number))
    reportAt(*this, "%s can not be accessed here", trigger->name());

  ByteString code;
  appendRecord(code, Sldi, {trigger->number});
  appendRecord(code, Sntest, {});
  int otherItem = ModuleProgram::emitForwardBranch(code, Sbt, Sjt);
  int conditionFalse = -1;
  if (condition) {
    condition->generate(code, owner);
    conditionFalse = ModuleProgram::emitForwardBranch(code, Sbf, Sjf);
  }
  if (value) value->generate(code, owner);
  if (!appendStore(code)) {
    reportAt(*this, "When command bug");
    return;
  }
  // Relative branches: a long form made for the inner one moves nothing the outer one
  // counts from, so both are patched to the end as they stand.
  if (conditionFalse >= 0) ModuleProgram::patchForwardBranch(code, conditionFalse);
  ModuleProgram::patchForwardBranch(code, otherItem);

  ByteString* list = nullptr;
  if (auto* input = dynamic_cast<ModInputBit*>(trigger))
    list = dispatchListOf(program, *input,
                          input->programChange ? ItemKind::ProgramChange : ItemKind::Note);
  else if (dynamic_cast<ModInControl*>(trigger))
    list = dispatchListOf(program, *trigger, ItemKind::Controller);
  else
    reportHere("Program Bug");
  if (list) appendBytes(*list, code);
}

}  // namespace plenum
