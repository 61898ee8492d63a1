// What both forms of the combination action share: the button and piston setters, the
// memory select and the check that an input is produced before it is read.

#include <string>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/combination_action.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

namespace {

// The words of the set and map setters.
struct ButtonWords {
  const char* notDefined;
  const char* alreadyDefined;
  const char* programChange;
};

constexpr ButtonWords SetWords{"Identifier for SET not defined", "The Set bit has already been defined",
                               "Set bit may not be a program change message"};
constexpr ButtonWords MapWords{"Identifier for MAP not defined", "The Map bit has already been defined",
                               "Map bit may not be a program change message"};

// A memory select controller's bank: one per value it can send.
constexpr int ExpressionBanks = 127;

void setButton(ModInputBit*& slot, IdentifierRecord* id, const ButtonWords& words) {
  if (!id->element) {
    reportHere(words.notDefined);
    return;
  }
  if (slot) reportHere(words.alreadyDefined);
  auto* bit = dynamic_cast<ModInputBit*>(id->element);
  if (!bit) {
    reportHere("Not an input bit");
    return;
  }
  if (bit->programChange) reportHere(words.programChange);
  slot = bit;
}

}  // namespace

CombinationInputs::~CombinationInputs() = default;

void CombinationInputs::setSetBit(IdentifierRecord* id) { setButton(setBit, id, SetWords); }

void CombinationInputs::setMapBit(IdentifierRecord* id) { setButton(mapBit, id, MapWords); }

void CombinationInputs::addPiston(IdentifierRecord* id) {
  if (!id->element) {
    reportHere(formatText("Identifier '%s' not defined", id->name.c_str()));
    return;
  }
  auto* bit = dynamic_cast<ModInputBit*>(id->element);
  if (!bit) {
    const std::string message = formatText("Identifier '%s' is not an input bit", id->name.c_str());
    if (reportsAtNamedElement())
      reportAt(*id->element, "%s", message.c_str());
    else
      reportHere(message);
    return;
  }
  pistons.push_back(bit);
}

void CombinationInputs::setMemorySelect(IdentifierRecord* id) {
  if (!id->element) {
    reportHere(formatText("Identifier '%s' not defined", id->name.c_str()));
    return;
  }
  auto* controller = dynamic_cast<ModInControl*>(id->element);
  if (!controller) {
    const std::string message = formatText("Identifier '%s' is not a controller", id->name.c_str());
    if (reportsAtNamedElement())
      reportAt(*id->element, "%s", message.c_str());
    else
      reportHere(message);
    return;
  }
  memorySelectController = controller;
}

void CombinationInputs::setMemorySelect(Exp* expression) { memorySelectExpression.reset(expression); }

void CombinationInputs::generateMemorySelect(ModuleProgram& program, NvPbusMod& module,
                                             bool reportZeroByte) {
  if (memorySelectController) {
    const int bankByte = module.allocBytes(1, 0);
    const ModInControl& controller = *memorySelectController;
    if (controller.channel >= 0 && controller.channel < MidiChannels)
      appendRecord(program.controllerList(controller.channel), SFmc2byte, {controller.controller, bankByte});
    program.memBanks = controller.maximum + 1;
    program.bankByte = bankByte;
    if (reportZeroByte && bankByte == 0) reportAt(statement(), "Program bug in combination action");
  } else if (memorySelectExpression) {
    const int bankByte = module.allocBytes(1, 0);
    memorySelectExpression->generate(program.mainList(), module);
    appendRecord(program.mainList(), Ssta, {bankByte});
    program.memBanks = ExpressionBanks;
    program.bankByte = bankByte;
  } else {
    program.memBanks = 1;
  }
}

void CombinationInputs::checkDefinedBefore(const ModInputBit& input, const PbusDev& board, const char* what,
                                           const char* where) const {
  // An input declared outside every module comes from outside the chain: always there.
  if (!input.board || !input.board->module || !board.module) return;
  if (board.module->number > input.board->module->number) return;
  reportAt(board, "%s", what);
  reportAt(input, "%s", where);
}

}  // namespace plenum
