#include "plenum/codegen/local_values.h"

#include <cstdio>

#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

ModBit::ModBit(SourceLocation where, NvPbusMod& owner)
    : ModFunction(std::move(where)), workBit_(owner.allocBit()) {
  module = &owner;
}

void ModBit::print(bool) const {
  std::printf("    Local Bit: Bit %d (ofs %x, mask %02x)\n", workBit_, workBit_ / 8,
              1 << (workBit_ % 8));
}

void ModBit::generateInModule(ModuleProgram& program, NvPbusMod& owner) {
  if (!expression) return;
  expression->generate(program.mainList(), owner);
  appendRecord(program.mainList(), Sstb, {workBit_ / 8, 1 << (workBit_ % 8)});
}

void ModBit::moveWorkByte(int from, int to) {
  if (workBit_ / 8 == from) workBit_ = to * 8 + workBit_ % 8;
}

bool ModBit::isAvailableIn(int moduleNumber) const {
  return module == nullptr || module->number == moduleNumber;
}

ModValue::ModValue(SourceLocation where, NvPbusMod& owner)
    : ModFunction(std::move(where)), workByte_(owner.allocBytes(1, 0)) {
  module = &owner;
}

void ModValue::print(bool) const {
  std::printf("    Local Byte: Byte %d", workByte_);
  if (identifier) std::printf(", Name: %s", name());
  if (expression) expression->print(stdout);
  std::printf("\n");
}

void ModValue::generateInModule(ModuleProgram& program, NvPbusMod& owner) {
  if (!expression) return;
  expression->generate(program.mainList(), owner);
  appendRecord(program.mainList(), Ssta, {workByte_});
}

void ModValue::moveWorkByte(int from, int to) {
  if (workByte_ == from) workByte_ = to;
}

bool ModValue::isAvailableIn(int moduleNumber) const {
  return module == nullptr || module->number == moduleNumber;
}

namespace {

// Finds or makes the local element of kind Local for an assignment in module.
template <class Local>
Local* bindLocal(IdentifierRecord* name, NvPbusMod& module, const SourceLocation& where) {
  Element* bound = name->element;
  if (auto* existing = dynamic_cast<Local*>(bound)) {
    if (existing->module != &module) {
      reportAtf(where, "The use of %s must be restricted to one module", name->name.c_str());
      reportAt(*existing, "\tPrevious definition");
    }
    return existing;
  }
  if (bound) reportAtf(where, "The previous use of %s is incompatible", name->name.c_str());
  auto* made = new Local(where, module);
  module.addFunction(made);
  made->bindName(name, BindDefinition);
  return made;
}

// The assignment statement gives the element its value; a name that already has one,
// or lives in another module, keeps what it has.
template <class Local>
void assignLocal(IdentifierRecord* name, NvPbusMod& module, const SourceLocation& where,
                 std::unique_ptr<Exp> expression) {
  Local* local = bindLocal<Local>(name, module, where);
  if (local->module != &module) return;
  if (local->expression) {
    reportAtf(where, "Trying to redefine '%s'", name->name.c_str());
    reportAt(*local, "\t(location of previous definition)");
    return;
  }
  local->expression = std::move(expression);
}

}  // namespace

ModBit* bindLocalBit(IdentifierRecord* name, NvPbusMod& module, const SourceLocation& where) {
  return bindLocal<ModBit>(name, module, where);
}

ModValue* bindLocalValue(IdentifierRecord* name, NvPbusMod& module,
                         const SourceLocation& where) {
  return bindLocal<ModValue>(name, module, where);
}

void assignLocalBit(IdentifierRecord* name, NvPbusMod& module, const SourceLocation& where,
                    std::unique_ptr<Exp> expression) {
  assignLocal<ModBit>(name, module, where, std::move(expression));
}

void assignLocalValue(IdentifierRecord* name, NvPbusMod& module, const SourceLocation& where,
                      std::unique_ptr<Exp> expression) {
  assignLocal<ModValue>(name, module, where, std::move(expression));
}

}  // namespace plenum
