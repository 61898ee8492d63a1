#include "plenum/model/combination_action.h"

#include <cstdio>
#include <string>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/module_program.h"
#include "plenum/codegen/output_bits.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/configuration.h"
#include "plenum/model/nv_mod.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {

// Work byte 0x40 holds the set button in bit 0 and the map button in bit 1.
constexpr int ButtonByte = SystemFlagsByte;
constexpr int SetButtonBit = 0;
constexpr int MapButtonBit = 1;
constexpr unsigned CombinationActionUse = UseOutputs | UseCombinationAction;

bool hasChannel(const ModInputBit& input) { return input.channel >= 0 && input.channel < MidiChannels; }

RecordCode pistonCode(bool lighted, bool wide) {
  if (!lighted) return SFmn2outPiston;
  return wide ? SFmn2lyt32Piston : SFmn2lytPiston;
}

std::optional<StopTabMagnet> magnetOf(const std::unique_ptr<ModOutputBit>& output) {
  if (!output) return std::nullopt;
  return StopTabMagnet{output->identifier, output->bit};
}

}  // namespace

// ---- DualMagTab ----

DualMagTab::~DualMagTab() = default;

void DualMagTab::setName(IdentifierRecord* id) {
  if (!id->element) {
    reportHere(formatText("The identifier '%s' for this dual mag tab is not defined", id->name.c_str()));
    return;
  }
  if (name) reportHere("The bit for this Dual Mag Tab has already been named");
  auto* bit = dynamic_cast<ModInputBit*>(id->element);
  if (!bit) {
    reportHere("The identifier for this dual mag tab is not an input bit");
    return;
  }
  if (bit->programChange) reportHere("Tab bits may not be program change messages");
  name = bit;
}

void DualMagTab::setOn(ModOutputBit* output) { on.reset(output); }

void DualMagTab::setOff(ModOutputBit* output) { off.reset(output); }

void DualMagTab::addReversible(IdentifierRecord* id) {
  if (!id->element) {
    reportHere(formatText("The reversible identifier '%s' is not defined", id->name.c_str()));
    return;
  }
  auto* bit = dynamic_cast<ModInputBit*>(id->element);
  if (!bit) {
    reportHere("The reversible identifier does not name an input bit");
    return;
  }
  reversibles.push_back(bit);
}

void DualMagTab::print() const {
  if (name) {
    std::printf("\n");
    name->print(true);
  }
  if (on) {
    std::printf("\tOn:  ");
    on->print(true);
  }
  if (off) {
    std::printf("\tOff: ");
    off->print(true);
  }
}

// ---- CombinationAction ----

// The output boards must never reach a combination action that is gone.
CombinationAction::~CombinationAction() {
  if (context().stopTabSource == this) context().stopTabSource = nullptr;
}

void CombinationAction::addTab(DualMagTab* tab) { tabs.emplace_back(tab); }

void CombinationAction::setDualMagTime(int milliseconds) {
  if (milliseconds < 1 || milliseconds > 255) reportAt(*this, "Dual mag time not between 1 and 255 mSec");
  dualMagTime = milliseconds;
}

void CombinationAction::print() const {
  if (pistons.empty()) {
    std::printf("No combination action specified\n");
    return;
  }
  std::printf("Combination action:\n");
  if (setBit) {
    std::printf("  Set: ");
    setBit->print(false);
  } else {
    std::printf("**** No Set bit defined ****\n");
  }
  if (mapBit) {
    std::printf("  Map: ");
    mapBit->print(false);
  } else {
    std::printf("**** No Map bit defined ****\n");
  }
  for (const ModInputBit* piston : pistons) {
    std::printf("  Piston: ");
    piston->print(false);
  }
  for (const auto& tab : tabs) {
    std::printf("  DualMagTab: ");
    tab->print();
  }
}

void CombinationAction::generateForModule(PbusDev& board, ModuleProgram& program, bool lighted, bool wide) {
  if (!board.module) throw ProgramBug{"combination_action: board without module"};
  NvPbusMod& module = *board.module;
  if (setBit) {
    checkDefinedBefore(*setBit, board, "The SET bit must be defined before it is used",
                       "  (location of SET bit definition)");
    if (hasChannel(*setBit)) program.rememberNoteInBit(setBit->channel, setBit->number, ButtonByte, SetButtonBit);
  }
  if (mapBit) {
    checkDefinedBefore(*mapBit, board, "The MAP bit must be defined before it is used",
                       "  (location of MAP bit definition)");
    if (hasChannel(*mapBit)) program.rememberNoteInBit(mapBit->channel, mapBit->number, ButtonByte, MapButtonBit);
  }
  const RecordCode code = pistonCode(lighted, wide);
  for (std::size_t i = 0; i < pistons.size(); ++i) {
    const ModInputBit& piston = *pistons[i];
    const std::string what = formatText("%s must be defined before it is used", piston.name());
    const std::string where = formatText("  (location of %s definition)", piston.name());
    checkDefinedBefore(piston, board, what.c_str(), where.c_str());
    if (!hasChannel(piston)) continue;
    ByteString& list = piston.programChange ? program.programList(piston.channel) : program.noteList(piston.channel);
    appendRecord(list, code, {piston.number, static_cast<int>(i)});
  }
  generateMemorySelect(program, module, true);
  module.markFunctionUse(CombinationActionUse);
}

std::vector<StopTab> CombinationAction::stopTabs() const {
  std::vector<StopTab> result;
  result.reserve(tabs.size());
  for (const auto& tab : tabs) {
    StopTab entry;
    entry.statement = tab.get();
    entry.on = magnetOf(tab->on);
    entry.off = magnetOf(tab->off);
    entry.position = tab->name;
    entry.reversibles.assign(tab->reversibles.begin(), tab->reversibles.end());
    result.push_back(std::move(entry));
  }
  return result;
}

// Called for the first output board of the module to generate, which drives tabs: the
// first board of the chain that drives any.
void CombinationAction::generateForTabDriver(ModuleProgram& program, NvPbusMod& module) {
  for (const auto& board : module.boards) {
    if (drivesStopTabs(*board)) {
      generateForModule(*board, program, false, false);
      return;
    }
  }
  throw ProgramBug{"combination_action: no tab driver"};
}

void installCombinationAction(CombinationAction* action) {
  Configuration* configuration = context().currentConfiguration;
  if (!configuration) throw ProgramBug{"combination_action: no configuration"};
  configuration->setCombinationAction(action);
  context().stopTabSource = action;
}

}  // namespace plenum
