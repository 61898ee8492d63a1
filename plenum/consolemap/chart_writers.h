#pragma once
// The wiring chart of a console map in its three forms: aligned plain text, CSV with one
// row per bit, and one self-contained HTML page for printing.

#include <string>

#include "plenum/consolemap/console_map.h"

namespace plenum {

std::string chartText(const ConsoleMap& map);
// Header row, then one row per bit or item; the columns are csvColumns().
std::string chartCsv(const ConsoleMap& map);
const char* csvColumns();
std::string chartHtml(const ConsoleMap& map);

}  // namespace plenum
