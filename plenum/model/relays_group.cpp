#include "plenum/model/relays_group.h"

#include <cstdio>

#include "plenum/codegen/module_program.h"
#include "plenum/codegen/relays.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

void Relays::print() const {
  if (condition) {
    std::printf("  IF ");
    condition->print(stdout);
    std::printf(" {\n");
  }
  for (const auto& item : items)
    if (auto* relay = dynamic_cast<const ModRelay*>(item.get())) relay->print(true);
  if (condition) std::printf("    }\n");
  if (elseGroup) {
    std::printf("  ELSE {\n");
    elseGroup->print();
    std::printf(" }\n");
  }
}

void Relays::attach(NvPbusMod& owner, int& outputBytes, int& inputBytes) {
  PbusDev::attach(owner, outputBytes, inputBytes);
  if (elseGroup) elseGroup->attach(owner, outputBytes, inputBytes);
}

unsigned Relays::functionUse() const { return UseOutputs; }

bool Relays::drivesRank() const {
  for (const auto& item : items)
    if (auto* relay = dynamic_cast<const ModRelay*>(item.get()); relay && relay->hasRank)
      return true;
  return elseGroup && elseGroup->drivesRank();
}

void Relays::generate(ModuleProgram& program) {
  ByteString& main = program.mainList();
  int skipGroup = -1;
  if (condition) {
    condition->generate(main, *module);
    skipGroup = ModuleProgram::emitForwardBranch(main, Sbf, Sjf);
  }
  for (const auto& item : items)
    if (auto* relay = dynamic_cast<ModRelay*>(item.get())) relay->generate(program, this);
  if (!condition) return;

  int skipElse = -1;
  if (elseGroup) skipElse = ModuleProgram::emitForwardBranch(main, Sbra, Sjmp);
  if (ModuleProgram::patchForwardBranch(main, skipGroup)) {
    // One byte went in after the first branch's operand, which is now its low byte.
    ++skipGroup;
    if (skipElse >= 0) ++skipElse;
  }
  if (!elseGroup) return;
  elseGroup->generate(program);
  if (ModuleProgram::patchForwardBranch(main, skipElse)) {
    // The else jump grew by a byte in front of the first branch's target.
    int low = main[static_cast<std::size_t>(skipGroup)] + 1;
    main[static_cast<std::size_t>(skipGroup)] = static_cast<std::uint8_t>(low & 0xFF);
    if (low > 0xFF) ++main[static_cast<std::size_t>(skipGroup - 1)];
  }
}

bool anyRelayDrivesRank(const NvPbusMod& module) {
  for (const auto& board : module.boards)
    if (auto* group = dynamic_cast<const Relays*>(board.get()); group && group->drivesRank())
      return true;
  return false;
}

}  // namespace plenum
