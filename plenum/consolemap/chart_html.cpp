// The wiring chart as one HTML page for the console's binder: a table per board, a bar
// per module for its memory, print styles that fit A4 and Letter alike. Nothing outside
// the page is loaded and nothing runs in it.

#include <algorithm>
#include <cstdio>

#include "plenum/consolemap/chart_rows.h"
#include "plenum/consolemap/chart_writers.h"

namespace plenum {

namespace {

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// The page is sized by the smaller of the two papers: A4 is the narrower, Letter the
// shorter, so margins alone (no page size) let both print it whole.
const char* const kStyle = R"(
@page { margin: 12mm 10mm; }
* { box-sizing: border-box; }
body { font: 10pt/1.3 "DejaVu Sans", "Liberation Sans", Arial, sans-serif; color: #000;
       margin: 0 auto; max-width: 190mm; padding: 4mm; }
h1 { font-size: 16pt; margin: 0 0 2mm; }
h2 { font-size: 13pt; margin: 6mm 0 1mm; border-bottom: 0.5mm solid #000; }
h3 { font-size: 11pt; margin: 4mm 0 1mm; }
p.meta { margin: 0 0 2mm; font-size: 9pt; }
.memory { display: grid; grid-template-columns: 28mm 1fr 40mm; gap: 1mm 3mm;
          align-items: center; font-size: 9pt; margin: 1mm 0 2mm; }
.bar { height: 4mm; border: 0.3mm solid #000; background: #fff; }
.bar span { display: block; height: 100%; background: #555;
            -webkit-print-color-adjust: exact; print-color-adjust: exact; }
table { border-collapse: collapse; width: 100%; font-size: 8.5pt; }
thead { display: table-header-group; }
th, td { border: 0.2mm solid #888; padding: 0.6mm 1.2mm; text-align: left; vertical-align: top; }
th { background: #e8e8e8; -webkit-print-color-adjust: exact; print-color-adjust: exact; }
td.n { text-align: right; white-space: nowrap; }
td.id { font-weight: bold; }
tr.free td { color: #777; }
tr { page-break-inside: avoid; break-inside: avoid; }
h2, h3 { page-break-after: avoid; break-after: avoid; }
section.module { page-break-before: always; break-before: page; }
section.module:first-of-type { page-break-before: auto; break-before: auto; }
@media screen { body { background: #fff; } }
)";

std::string percent(int part, int whole) {
  const double share = whole > 0 ? std::min(100.0, 100.0 * part / whole) : 0.0;
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", share);
  return text;
}

void appendBar(std::string& out, const char* label, int used, int available) {
  out += "<div>" + std::string(label) + "</div><div class=\"bar\"><span style=\"width:" +
         percent(used, available) + "%\"></span></div><div>" + std::to_string(used) + " of " +
         std::to_string(available) + " bytes</div>\n";
}

void appendTable(std::string& out, const BoardSection& section) {
  out += "<table><thead><tr><th>";
  out += section.side == BoardSide::Items ? "Item" : "Bit";
  out += "</th><th>Identifier</th><th>Kind</th><th>MIDI</th><th>Description</th><th>Line</th>"
         "</tr></thead><tbody>\n";
  for (const MapRow& row : section.rows) {
    if (!row.used) {
      out += "<tr class=\"free\"><td class=\"n\">" + std::to_string(row.bit) +
             "</td><td></td><td>free</td><td></td><td></td><td></td></tr>\n";
      continue;
    }
    std::string item = rowItem(row);
    if (!row.range.empty()) item += " " + row.range;
    out += "<tr><td class=\"n\">" + std::to_string(row.bit) + "</td><td class=\"id\">" +
           escaped(row.identifier) + "</td><td>" + escaped(row.kind) + "</td><td>" +
           escaped(item) + "</td><td>" + escaped(row.description) + "</td><td class=\"n\">" +
           std::to_string(row.line) + "</td></tr>\n";
  }
  out += "</tbody></table>\n";
}

}  // namespace

std::string chartHtml(const ConsoleMap& map) {
  const std::string title = "Wiring chart of " + baseName(map.fileName);
  std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                    "<title>" + escaped(title) + "</title>\n<style>" + kStyle +
                    "</style>\n</head>\n<body>\n<h1>" + escaped(title) + "</h1>\n";
  out += "<p class=\"meta\">" + std::to_string(map.modules.size()) +
         (map.modules.size() == 1 ? " module" : " modules") + " in chain order; boards in the "
         "order of each module's bus; every bit of every board.</p>\n";
  if (!map.externals.empty()) {
    out += "<h2>From outside the chain</h2>\n";
    BoardSection section;
    section.rows = map.externals;
    appendTable(out, section);
  }
  for (const ModuleMap& module : map.modules) {
    out += "<section class=\"module\">\n<h2>" + escaped(moduleTitle(module)) + "</h2>\n";
    out += "<div class=\"memory\">\n";
    appendBar(out, "Program", module.programBytes, module.programArea);
    appendBar(out, "Work memory", module.workBytesUsed, module.workBytes);
    out += "</div>\n<p class=\"meta\">" + std::to_string(module.memoryBanks) +
           (module.memoryBanks == 1 ? " memory bank" : " memory banks") + "</p>\n";
    int index = 0;
    for (const BoardMap& board : module.boards) {
      ++index;
      for (const BoardSection& section : board.sections) {
        std::string heading = board.type == "MODULE"
                                  ? std::string("Statements of the module")
                                  : "Board " + std::to_string(index) + ": " + boardTitle(board) +
                                        " (line " + std::to_string(board.line) + ")";
        const std::string place = boardPlace(board);
        if (!place.empty()) heading += ", " + place;
        out += "<h3>" + escaped(heading) + "</h3>\n";
        if (section.rows.empty()) out += "<p class=\"meta\">(nothing)</p>\n";
        else appendTable(out, section);
      }
    }
    out += "</section>\n";
  }
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace plenum
