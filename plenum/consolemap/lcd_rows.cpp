// The items of a serial LCD: what the display shows, line by line.

#include <cstdio>

#include "plenum/consolemap/map_building.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/serial_lcd.h"

namespace plenum {

namespace {

// Command bytes that start an item's text.
constexpr int LcdBacklight = 14;
constexpr int LcdContrast = 15;
constexpr int LcdLine = 17;
constexpr int LcdBarGraph = 18;

std::string printable(const ByteString& bytes) {
  std::string text;
  for (std::uint8_t byte : bytes) {
    if (byte >= 0x20 && byte < 0x7F) {
      text += static_cast<char>(byte);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\%03u", byte);
      text += escaped;
    }
  }
  return text;
}

std::string valueMode(const LcdAtom& item) {
  if (item.mode == 0) return "binary";
  return "decimal " + std::to_string(item.mode);
}

std::string describe(const LcdAtom& item) {
  const std::string value = item.expression ? expressionText(*item.expression) : "";
  if (item.textBytes && !item.textBytes->empty()) {
    const ByteString& bytes = *item.textBytes;
    if (bytes[0] == LcdLine && bytes.size() == 3) return "line " + std::to_string(bytes[2] + 1);
    if (bytes[0] == LcdContrast && bytes.size() == 1) return "contrast " + value;
    if (bytes[0] == LcdBacklight && bytes.size() == 1) return "backlight " + value;
    if (bytes[0] == LcdBarGraph && bytes.size() == 5)
      return "bar graph line " + std::to_string(bytes[1] + 1) + " columns " +
             std::to_string(bytes[3] + 1) + "-" + std::to_string(bytes[4] + 1) + " of " + value;
  }
  std::string text;
  if (item.textBytes) text = "text \"" + printable(*item.textBytes) + "\"";
  if (item.expression)
    text += (text.empty() ? "" : " ") + std::string("value ") + value + " " + valueMode(item);
  return text;
}

void mapGroup(MapBuilder& builder, const LcdGroup& group, const std::string& condition,
              int module, std::vector<MapRow>& rows) {
  for (const auto& item : group.items) {
    MapRow row;
    row.bit = static_cast<int>(rows.size()) + 1;
    row.used = true;
    row.kind = "LCD";
    row.line = item->location.line;
    row.description = describe(*item) + (condition.empty() ? "" : ", " + condition);
    rows.push_back(row);
    builder.addReads(item->expression.get(), *item, module, "LCD");
  }
  if (!group.condition) return;
  const std::string test = expressionText(*group.condition);
  builder.addReads(group.condition.get(), group, module, "LCD");
  if (group.elseGroup) mapGroup(builder, *group.elseGroup, "unless " + test, module, rows);
}

void mapConditional(MapBuilder& builder, const LcdGroup& group, int module,
                    std::vector<MapRow>& rows) {
  const std::string condition = group.condition ? "if " + expressionText(*group.condition) : "";
  mapGroup(builder, group, condition, module, rows);
}

}  // namespace

void mapSerialLcd(MapBuilder& builder, const PbusDev& board, BoardMap& out) {
  const auto& lcd = static_cast<const PbusSerialLcd&>(board);
  BoardSection section;
  const int module = board.module ? board.module->number : -1;
  for (const auto& group : lcd.groups) mapConditional(builder, *group, module, section.rows);
  out.sections.push_back(std::move(section));
}

}  // namespace plenum
