// The wiring chart as CSV: one row per bit or item, the same columns in every file.

#include "plenum/consolemap/chart_rows.h"
#include "plenum/consolemap/chart_writers.h"

namespace plenum {

namespace {

// RFC 4180: a field with a comma, a quote or a line end is quoted, quotes doubled.
std::string field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string number(int value, int none) { return value == none ? "" : std::to_string(value); }

void appendRow(std::string& out, const std::string& module, const std::string& type,
               const std::string& board, const BoardMap* owner, const char* side,
               const MapRow& row) {
  const std::string fields[] = {
      module,
      type,
      board,
      owner ? owner->type : "EXTERNAL",
      owner ? owner->name : "",
      side,
      std::to_string(row.bit),
      row.used ? "yes" : "no",
      row.identifier,
      row.used ? row.kind : "free",
      number(row.channel, 0),
      number(row.note, -1),
      row.note >= 0 ? noteName(row.note) : "",
      number(row.program, -1),
      number(row.controller, -1),
      row.range,
      row.description,
      number(row.line, 0),
  };
  bool first = true;
  for (const std::string& text : fields) {
    if (!first) out += ',';
    first = false;
    out += field(text);
  }
  out += "\r\n";
}

}  // namespace

const char* csvColumns() {
  return "module,module_type,board,board_type,board_name,side,bit,used,identifier,kind,channel,"
         "note,note_name,program,controller,range,description,line";
}

std::string chartCsv(const ConsoleMap& map) {
  std::string out = std::string(csvColumns()) + "\r\n";
  for (const MapRow& row : map.externals) appendRow(out, "", "", "", nullptr, "item", row);
  for (const ModuleMap& module : map.modules) {
    int index = 0;
    for (const BoardMap& board : module.boards) {
      ++index;
      for (const BoardSection& section : board.sections)
        for (const MapRow& row : section.rows)
          appendRow(out, std::to_string(module.number), std::string(1, module.typeLetter),
                    std::to_string(index), &board, sideWord(section.side), row);
    }
  }
  return out;
}

}  // namespace plenum
