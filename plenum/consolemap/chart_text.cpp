// The wiring chart as aligned plain text: a heading per module and board, then one line
// per bit or item in columns.

#include <algorithm>
#include <array>

#include "plenum/consolemap/chart_rows.h"
#include "plenum/consolemap/chart_writers.h"

namespace plenum {

namespace {

constexpr std::size_t Columns = 6;
using Cells = std::array<std::string, Columns>;

Cells cellsOf(const MapRow& row) {
  if (!row.used) return {std::to_string(row.bit), "", "free", "", "", ""};
  std::string item = rowItem(row);
  if (!row.range.empty()) item += " " + row.range;
  return {std::to_string(row.bit), row.identifier, row.kind, item, row.description,
          std::to_string(row.line)};
}

// Counts UTF-8 characters, so that names with accents line up.
std::size_t widthOf(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

void appendTable(std::string& out, const BoardSection& section) {
  const Cells header = {section.side == BoardSide::Items ? "Item" : "Bit", "Identifier", "Kind",
                        "MIDI", "Description", "Line"};
  std::vector<Cells> lines{header};
  for (const MapRow& row : section.rows) lines.push_back(cellsOf(row));
  std::array<std::size_t, Columns> width{};
  for (const Cells& cells : lines)
    for (std::size_t c = 0; c < Columns; ++c) width[c] = std::max(width[c], widthOf(cells[c]));
  for (const Cells& cells : lines) {
    std::string line = "    ";
    for (std::size_t c = 0; c < Columns; ++c) {
      const std::size_t room = width[c] - widthOf(cells[c]);
      // Numbers to the right, words to the left.
      if (c == 0 || c == Columns - 1) line += std::string(room, ' ') + cells[c];
      else line += cells[c] + std::string(room, ' ');
      if (c + 1 < Columns) line += "  ";
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
}

}  // namespace

std::string chartText(const ConsoleMap& map) {
  std::string out = "Wiring chart of " + baseName(map.fileName) + "\n";
  if (!map.externals.empty()) {
    out += "\nFrom outside the chain\n";
    BoardSection section;
    section.rows = map.externals;
    appendTable(out, section);
  }
  for (const ModuleMap& module : map.modules) {
    out += "\n" + moduleTitle(module) + ": " + moduleMemory(module) + "\n";
    int index = 0;
    for (const BoardMap& board : module.boards) {
      ++index;
      for (const BoardSection& section : board.sections) {
        std::string heading = "  Board " + std::to_string(index) + ": " + boardTitle(board) +
                              " (line " + std::to_string(board.line) + ")";
        if (board.type == "MODULE") heading = "  Statements of the module";
        const std::string place = boardPlace(board);
        if (!place.empty()) heading += ", " + place;
        out += "\n" + heading + "\n";
        if (section.rows.empty()) out += "    (nothing)\n";
        else appendTable(out, section);
      }
    }
  }
  return out;
}

}  // namespace plenum
