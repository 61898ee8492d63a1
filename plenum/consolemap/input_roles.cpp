// What the statements that read an input make of it: the combination action's pistons
// and buttons, the stop tabs of relays and dual magnets, the coupler and pedal switches.

#include "plenum/codegen/couplers.h"
#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/pizz_reit.h"
#include "plenum/codegen/relays.h"
#include "plenum/codegen/sostenuto.h"
#include "plenum/codegen/transposer.h"
#include "plenum/consolemap/map_building.h"
#include "plenum/model/combination_action.h"
#include "plenum/model/configuration.h"
#include "plenum/model/relays_group.h"

namespace plenum {

namespace {

// The first role given to an input stands: the list below goes from the most to the
// least telling.
void give(InputRoles& roles, const Element* input, const char* role) {
  if (input) roles.emplace(input, role);
}

void giveReads(InputRoles& roles, const Exp* expression, const char* role) {
  std::vector<const Element*> read;
  elementsReadBy(expression, read);
  for (const Element* element : read) give(roles, element, role);
}

void giveCombinationInputs(InputRoles& roles, const CombinationInputs& inputs) {
  for (const ModInputBit* piston : inputs.pistons) give(roles, piston, "piston");
  give(roles, inputs.setBit, "set button");
  give(roles, inputs.mapBit, "map button");
  give(roles, inputs.memorySelectController, "memory select");
}

void giveRelayTabs(InputRoles& roles, const Relays& group) {
  for (const auto& item : group.items)
    if (const auto* relay = dynamic_cast<const ModRelay*>(item.get()))
      for (const ModRelay::Tab& tab : relay->tabs) give(roles, tab.input, "stop");
  giveReads(roles, group.condition.get(), "stop");
  if (group.elseGroup) giveRelayTabs(roles, *group.elseGroup);
}

}  // namespace

InputRoles inputRoles(const Configuration& configuration) {
  InputRoles roles;
  if (const CombinationAction* action = configuration.combinationAction()) {
    giveCombinationInputs(roles, *action);
    for (const auto& tab : action->tabs)
      for (const ModInputBit* reversible : tab->reversibles) give(roles, reversible, "reversible");
    for (const auto& tab : action->tabs) give(roles, tab->name, "stop");
  }
  for (const auto& module : configuration.modules) {
    for (const auto& board : module->boards) {
      if (const auto* blind = dynamic_cast<const BlindCombinationAction*>(board.get())) {
        giveCombinationInputs(roles, *blind);
        give(roles, blind->cancelBit, "cancel button");
        for (const ModInputBit* tab : blind->tabs) give(roles, tab, "stop");
      }
    }
  }
  for (const auto& module : configuration.modules)
    for (const auto& board : module->boards)
      if (const auto* group = dynamic_cast<const Relays*>(board.get())) giveRelayTabs(roles, *group);
  for (const auto& module : configuration.modules) {
    for (const auto& function : module->functions) {
      if (const auto* coupler = dynamic_cast<const ModCoupler*>(function.get()))
        giveReads(roles, coupler->expression.get(), "coupler");
      else if (const auto* sostenuto = dynamic_cast<const ModSostenuto*>(function.get()))
        giveReads(roles, sostenuto->expression.get(), "sostenuto");
      else if (const auto* pizz = dynamic_cast<const ModPizzReit*>(function.get()))
        giveReads(roles, pizz->expression.get(), pizz->isPizz() ? "pizzicato" : "reiteration");
      else if (const auto* transposer = dynamic_cast<const ModTranspose*>(function.get()))
        giveReads(roles, transposer->expression.get(), "transposer");
    }
  }
  return roles;
}

}  // namespace plenum
