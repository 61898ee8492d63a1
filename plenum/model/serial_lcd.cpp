#include "plenum/model/serial_lcd.h"

#include <cstdio>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/module_program.h"
#include "plenum/model/nv_mod.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
// The LCD's serial link takes at most this many bytes between two waits.
constexpr int BytesBetweenWaits = 32;
constexpr unsigned LcdUse = UseOutputs | UseRelays;
}  // namespace

LcdGroup::LcdGroup(SourceLocation where) : Element(std::move(where)) {}
LcdGroup::~LcdGroup() = default;

PbusSerialLcd::~PbusSerialLcd() = default;

void PbusSerialLcd::addItem(Element* list) {
  auto* group = dynamic_cast<LcdGroup*>(list);
  if (!group) throw ProgramBug{"serial_lcd: addItem"};
  groups.emplace_back(group);
}

void PbusSerialLcd::wait(ModuleProgram& program) {
  appendRecord(program.mainList(), SFslcdWait, {});
  pending_ = 0;
}

void PbusSerialLcd::waitIfPending(ModuleProgram& program) {
  if (pending_ != 0) wait(program);
}

void PbusSerialLcd::generate(ModuleProgram& program) {
  if (!module) throw ProgramBug{"serial_lcd: generate"};
  appendRecord(program.mainList(), SFslcdInit, {});
  pending_ = 0;
  for (const auto& group : groups) generateGroup(*group, program);
  waitIfPending(program);
  module->markFunctionUse(LcdUse);
}

void PbusSerialLcd::generateGroup(const LcdGroup& group, ModuleProgram& program) {
  ByteString& main = program.mainList();
  int skipThen = -1;
  if (group.condition) {
    // Nothing may stay queued across the branch.
    waitIfPending(program);
    group.condition->generate(main, *module);
    skipThen = ModuleProgram::emitForwardBranch(main, Sbf, Sjf);
  }
  for (const auto& item : group.items) generateItem(*item, program);
  waitIfPending(program);
  if (group.condition) {
    int skipElse = -1;
    if (group.elseGroup) skipElse = ModuleProgram::emitForwardBranch(main, Sbra, Sjmp);
    // The first branch lands on the start of the else part (or after the group).
    bool thenBranchLong = ModuleProgram::patchForwardBranch(main, skipThen);
    if (thenBranchLong) {
      ++skipThen;  // now the low byte of the jump's distance
      if (skipElse >= 0) ++skipElse;
    }
    if (group.elseGroup) {
      generateGroup(*group.elseGroup, program);
      waitIfPending(program);
      if (ModuleProgram::patchForwardBranch(main, skipElse)) {
        // The else jump grew by one byte, so the start of the else part moved.
        const auto low = static_cast<std::size_t>(skipThen);
        int distance = main[low] + 1;
        main[low] = static_cast<std::uint8_t>(distance & 0xFF);
        if (thenBranchLong && distance > 0xFF) ++main[low - 1];
      }
    }
  }
  module->markFunctionUse(LcdUse);
}

void PbusSerialLcd::generateItem(const LcdAtom& item, ModuleProgram& program) {
  const int total = item.byteCount();
  if (pending_ + total > BytesBetweenWaits) wait(program);
  item.generate(program, *module);
  pending_ += total;
  module->markFunctionUse(LcdUse);
}

void PbusSerialLcd::printItems(const LcdGroup& group) const {
  for (const auto& item : group.items) item->print();
}

void PbusSerialLcd::print() const {
  std::printf("  Serial LCD definition:\n");
  for (const auto& group : groups) {
    if (group->condition) {
      std::printf("*IF (");
      group->condition->print(stdout);
      std::printf(") {\n");
    }
    printItems(*group);
    if (group->condition) std::printf(" }\n");
    if (group->elseGroup) {
      std::printf("*ELSE {\n");
      printItems(*group->elseGroup);
      std::printf(" }\n");
    }
  }
}

}  // namespace plenum
