// The bits of output boards: rank pipes, output bits and lamps, one-of-n groups, magnet
// pulses and the *ON and *OFF magnets of stop tabs. A rank counts its bits from its own
// board and may run on into the boards after it, so uses are gathered per bit of the
// module's output chain and then dealt out to the boards.

#include <algorithm>
#include <map>

#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/midi_items.h"
#include "plenum/codegen/output_bits.h"
#include "plenum/codegen/output_rank.h"
#include "plenum/codegen/relays.h"
#include "plenum/consolemap/map_building.h"
#include "plenum/model/combination_action.h"
#include "plenum/model/configuration.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/output_bit_usage.h"
#include "plenum/model/output_boards.h"
#include "plenum/model/relays_group.h"

namespace plenum {

namespace {

using ChainUses = std::multimap<int, MapRow>;  // chain bit (0-based) -> use

int chainBit(const PbusDev& board, int bit) { return board.outputOffset * 8 + bit - 1; }

void collectRelays(const Relays& group, std::vector<const ModRelay*>& relays) {
  for (const auto& item : group.items)
    if (const auto* relay = dynamic_cast<const ModRelay*>(item.get())) relays.push_back(relay);
  if (group.elseGroup) collectRelays(*group.elseGroup, relays);
}

// The keys that sound a pipe: key k of a relay's division plays pipe k + offset of the
// relay's part of the rank. A division played by several relays is named once, by its
// unshifted relay when that one plays the pipe. "Great C3, Pedal C2"; "" for none.
std::string pipeKeys(const NvPbusMod& module, const ModOutputRank& rank, int pipe) {
  std::vector<const ModRelay*> relays;
  for (const auto& board : module.boards)
    if (const auto* group = dynamic_cast<const Relays*>(board.get())) collectRelays(*group, relays);
  struct Played {
    const ModInputKbd* division;
    int note;
    bool unshifted;
  };
  std::vector<Played> played;
  for (const ModRelay* relay : relays) {
    if (relay->rank != &rank || !relay->division || relay->isTrap()) continue;
    const int offset = relay->number == ModMidiFunction::NumberNotSet ? 0 : relay->number;
    const int index = pipe - (relay->rankFirst != 0 ? relay->rankFirst - 1 : 0);
    if (relay->rankFirst != 0 && (pipe < relay->rankFirst || pipe > relay->rankLast)) continue;
    const int key = index - offset;
    if (key < 1 || key > relay->division->count) continue;
    const int note = relay->division->number + key - 1;
    if (note < 0 || note > 127) continue;
    auto same = std::find_if(played.begin(), played.end(),
                             [&](const Played& p) { return p.division == relay->division; });
    if (same == played.end()) played.push_back({relay->division, note, offset == 0});
    else if (!same->unshifted && offset == 0) *same = {relay->division, note, true};
  }
  std::string text;
  for (const Played& p : played)
    text += (text.empty() ? "" : ", ") + std::string(p.division->name()) + " " + noteName(p.note);
  return text;
}

void gatherRank(const NvPbusMod& module, const ModOutputRank& rank, ChainUses& uses) {
  if (!rank.board || rank.firstBit < 1 || rank.count < 1) return;
  for (int pipe = 1; pipe <= rank.count; ++pipe) {
    MapRow use;
    use.identifier = rank.name();
    use.kind = "rank";
    use.line = rank.location.line;
    const std::string keys = pipeKeys(module, rank, pipe);
    use.description = "pipe " + std::to_string(pipe) + (keys.empty() ? "" : " (" + keys + ")");
    uses.emplace(chainBit(*rank.board, rank.firstBit + pipe - 1), use);
  }
}

void gatherBoardItems(MapBuilder& builder, const PbusDev& board, int module, ChainUses& uses) {
  for (const auto& item : board.items) {
    if (const auto* rank = dynamic_cast<const ModOutputRank*>(item.get())) {
      gatherRank(*board.module, *rank, uses);
    } else if (const auto* output = dynamic_cast<const ModOutputBit*>(item.get())) {
      MapRow use;
      use.identifier = output->name();
      use.kind = "output";
      use.line = output->location.line;
      use.description = output->expression ? "on while " + expressionText(*output->expression)
                                           : "output";
      if (output->bit >= 1) uses.emplace(chainBit(board, output->bit), use);
      builder.addReads(output->expression.get(), *output, module, "output bit");
    } else if (const auto* group = dynamic_cast<const ModOutputOneOfN*>(item.get())) {
      for (int k = 0; k < group->count && group->firstBit >= 1; ++k) {
        MapRow use;
        use.identifier = group->name();
        use.kind = "one of n";
        use.line = group->location.line;
        use.description = "lamp " + std::to_string(k + 1) + " of " + std::to_string(group->count);
        if (k < static_cast<int>(group->sets.size()) && group->sets[static_cast<std::size_t>(k)])
          use.description += ", lit by " + builder.nameOf(*group->sets[static_cast<std::size_t>(k)]);
        uses.emplace(chainBit(board, group->firstBit + k), use);
      }
      for (const ModInputBit* set : group->sets)
        if (set)
          builder.addUse(set->programChange ? MidiKind::ProgramChange : MidiKind::Note,
                         set->channel, set->number, MidiDirection::Receives, builder.nameOf(*set),
                         "one of n", *group, module);
      if (group->cancel)
        builder.addUse(MidiKind::Note, group->cancel->channel, group->cancel->number,
                       MidiDirection::Receives, builder.nameOf(*group->cancel), "one of n",
                       *group, module);
    } else if (const auto* pulse = dynamic_cast<const ModPulseCmd*>(item.get())) {
      MapRow use;
      use.kind = "pulse";
      use.line = pulse->location.line;
      if (pulse->note) {
        use.channel = pulse->note->channel + 1;
        use.note = pulse->note->number;
        use.description = "magnet pulse on note " + noteText(pulse->note->number);
        builder.addUse(MidiKind::Note, pulse->note->channel, pulse->note->number,
                       MidiDirection::Receives, "magnet pulse", "dual magnet pulse", *pulse,
                       module);
      }
      uses.emplace(chainBit(board, pulse->bit), use);
    }
  }
}

void gatherMagnets(const Configuration& configuration, const PbusDev& board, ChainUses& uses) {
  const CombinationAction* action = configuration.combinationAction();
  if (!action) return;
  for (const StopTab& tab : action->stopTabs()) {
    const std::string tabName = tab.position ? tab.position->name() : "";
    for (int side = 0; side < 2; ++side) {
      const auto& magnet = side == 0 ? tab.on : tab.off;
      if (!magnet || !magnet->names(board) || magnet->bit < 1) continue;
      MapRow use;
      use.identifier = tabName;
      use.kind = side == 0 ? "magnet *ON" : "magnet *OFF";
      use.description = std::string(side == 0 ? "*ON" : "*OFF") + " magnet of tab " + tabName;
      if (tab.position) {
        use.channel = tab.position->channel + 1;
        if (!tab.position->programChange) use.note = tab.position->number;
      }
      use.line = tab.statement ? tab.statement->location.line : 0;
      uses.emplace(chainBit(board, magnet->bit), use);
    }
  }
}

}  // namespace

void mapOutputBoard(MapBuilder& builder, const PbusDev& board, BoardMap& out) {
  BoardSection section;
  section.side = BoardSide::Output;
  section.rows = freeRows(board.outputBitCount());
  const NvPbusMod* module = board.module;
  if (!module) {
    out.sections.push_back(std::move(section));
    return;
  }
  // Ranks of earlier boards reach into this one; magnets and the rest name their board.
  ChainUses uses;
  for (const auto& other : module->boards) {
    if (other.get() == &board) {
      gatherBoardItems(builder, board, module->number, uses);
    } else if (other->outputOffset < board.outputOffset) {
      for (const auto& item : other->items)
        if (const auto* rank = dynamic_cast<const ModOutputRank*>(item.get()))
          gatherRank(*module, *rank, uses);
    }
  }
  gatherMagnets(builder.configuration, board, uses);
  const int first = chainBit(board, 1);
  for (const auto& [bit, use] : uses) {
    const int onBoard = bit - first + 1;
    // The compiler's own record of the chain says which bits a statement took.
    const int entry = outputUsageEntry(board, onBoard);
    if (entry >= 0 && module->outputBitUse[static_cast<std::size_t>(entry)] == OutputBitFree &&
        use.kind != "pulse" && use.kind != "one of n")
      continue;
    place(section.rows, onBoard, use);
  }
  out.sections.push_back(std::move(section));
}

}  // namespace plenum
