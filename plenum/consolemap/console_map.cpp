#include "plenum/consolemap/console_map.h"

#include "plenum/consolemap/map_building.h"
#include "plenum/language/compiler_context.h"
#include "plenum/model/combination_action.h"
#include "plenum/model/configuration.h"
#include "plenum/model/input_boards.h"
#include "plenum/model/lighted_stops.h"
#include "plenum/model/output_boards.h"
#include "plenum/model/relays_group.h"
#include "plenum/model/serial_lcd.h"

namespace plenum {

namespace {

int workBytesInUse(const NvPbusMod& module) {
  int used = 0;
  for (int address = 0; address < WorkMemoryBytes; ++address)
    if (module.isWorkByteUsed(address)) ++used;
  return used;
}

BoardMap mapBoard(MapBuilder& builder, const PbusDev& board) {
  BoardMap out;
  out.type = boardType(board);
  out.name = board.name();
  out.line = board.location.line;
  out.inputOffset = board.inputOffset;
  out.inputBytes = board.inputByteCount();
  out.outputOffset = board.outputOffset;
  out.outputBytes = board.outputByteCount();
  if (dynamic_cast<const PbusLytedStop*>(&board)) {
    mapLightedStops(builder, board, out);
  } else if (dynamic_cast<const PbusInputDev*>(&board)) {
    mapInputBoard(builder, board, out);
  } else if (dynamic_cast<const PbusOutputDev*>(&board)) {
    mapOutputBoard(builder, board, out);
  } else if (dynamic_cast<const Relays*>(&board)) {
    mapRelays(builder, board, out);
  } else if (dynamic_cast<const PbusSerialLcd*>(&board)) {
    mapSerialLcd(builder, board, out);
  } else if (dynamic_cast<const BlindCombinationAction*>(&board)) {
    mapBlindCombination(builder, board, out);
  }
  return out;
}

}  // namespace

ConsoleMap buildConsoleMap(const Configuration& configuration) {
  ConsoleMap map;
  if (const auto& name = context().fileName()) map.fileName = *name;
  MapBuilder builder{configuration, map, inputRoles(configuration)};
  mapExternals(builder);
  for (const auto& module : configuration.modules) {
    ModuleMap entry;
    entry.number = module->number;
    entry.line = module->location.line;
    entry.typeLetter = module->typeLetter();
    entry.programBytes = static_cast<int>(module->program.image().size());
    entry.programArea = module->programArea();
    entry.workBytesUsed = workBytesInUse(*module);
    entry.workBytes = WorkMemoryBytes;
    entry.memoryBanks = module->program.memBanks;
    for (const auto& board : module->boards) entry.boards.push_back(mapBoard(builder, *board));
    BoardMap own;
    own.type = "MODULE";
    own.line = module->location.line;
    if (mapModuleStatements(builder, *module, own)) entry.boards.push_back(std::move(own));
    map.modules.push_back(std::move(entry));
  }
  return map;
}

}  // namespace plenum
