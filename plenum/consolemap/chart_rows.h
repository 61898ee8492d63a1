#pragma once
// What the three chart forms share: the words for boards, sections and MIDI items.

#include <string>

#include "plenum/consolemap/console_map.h"

namespace plenum {

// "C1N36", "C5P1", "C2C7" for the row's item; "" when it has none.
std::string rowItem(const MapRow& row);
// "KX64", or "MQ64 Magnets" for a named board.
std::string boardTitle(const BoardMap& board);
// "input bytes 2-9", "input bytes 0-1, output bytes 0-1", "" for a board without chain bytes.
std::string boardPlace(const BoardMap& board);
// "input", "output" or "item".
const char* sideWord(BoardSide side);
// "Module 0, type B (line 9)".
std::string moduleTitle(const ModuleMap& module);
// "program 1234 of 51584 bytes, work memory 40 of 137 bytes, 0 memory banks".
std::string moduleMemory(const ModuleMap& module);
// The file's name without its folders.
std::string baseName(const std::string& path);

}  // namespace plenum
