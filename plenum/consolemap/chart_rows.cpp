#include "plenum/consolemap/chart_rows.h"

namespace plenum {

std::string rowItem(const MapRow& row) {
  if (row.channel < 1) return "";
  const std::string channel = "C" + std::to_string(row.channel);
  if (row.note >= 0) return channel + "N" + std::to_string(row.note);
  if (row.program >= 0) return channel + "P" + std::to_string(row.program);
  if (row.controller >= 0) return channel + "C" + std::to_string(row.controller);
  return "channel " + std::to_string(row.channel);
}

std::string boardTitle(const BoardMap& board) {
  return board.name.empty() ? board.type : board.type + " " + board.name;
}

const char* sideWord(BoardSide side) {
  switch (side) {
    case BoardSide::Input: return "input";
    case BoardSide::Output: return "output";
    default: return "item";
  }
}

std::string boardPlace(const BoardMap& board) {
  auto bytes = [](const char* chain, int offset, int count) {
    return std::string(chain) + " bytes " + std::to_string(offset) + "-" +
           std::to_string(offset + count - 1);
  };
  std::string place;
  if (board.inputBytes > 0) place = bytes("input", board.inputOffset, board.inputBytes);
  if (board.outputBytes > 0)
    place += (place.empty() ? "" : ", ") + bytes("output", board.outputOffset, board.outputBytes);
  return place;
}

std::string moduleTitle(const ModuleMap& module) {
  return "Module " + std::to_string(module.number) + ", type " + module.typeLetter + " (line " +
         std::to_string(module.line) + ")";
}

std::string moduleMemory(const ModuleMap& module) {
  return "program " + std::to_string(module.programBytes) + " of " +
         std::to_string(module.programArea) + " bytes, work memory " +
         std::to_string(module.workBytesUsed) + " of " + std::to_string(module.workBytes) +
         " bytes, " + std::to_string(module.memoryBanks) +
         (module.memoryBanks == 1 ? " memory bank" : " memory banks");
}

std::string baseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace plenum
