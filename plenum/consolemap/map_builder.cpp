// The shared pieces of the console map builder: MIDI uses, names, board keywords.

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/consolemap/map_building.h"
#include "plenum/model/combination_action.h"
#include "plenum/model/input_boards.h"
#include "plenum/model/lighted_stops.h"
#include "plenum/model/output_boards.h"
#include "plenum/model/relays_group.h"
#include "plenum/model/serial_lcd.h"

namespace plenum {

std::string expressionText(const Exp& expression) {
  // Operators are written out here: the listing's own print knows no unary operators.
  if (const auto* unary = dynamic_cast<const Exp1arg*>(&expression))
    return std::string(unary->opName()) + expressionText(*unary->operand);
  if (const auto* paren = dynamic_cast<const ExpParen*>(&expression))
    return "(" + expressionText(*paren->operand) + ")";
  if (const auto* binary = dynamic_cast<const Exp2arg*>(&expression))
    return "(" + expressionText(*binary->left) + " " + binary->opName() + " " +
           expressionText(*binary->right) + ")";
  if (const auto* number = dynamic_cast<const ExpInt*>(&expression))
    return std::to_string(number->value);
  return expression.name();
}

void elementsReadBy(const Exp* expression, std::vector<const Element*>& found) {
  if (!expression) return;
  if (const auto* id = dynamic_cast<const ExpId*>(expression)) {
    if (id->element) found.push_back(id->element);
  } else if (const auto* paren = dynamic_cast<const ExpParen*>(expression)) {
    elementsReadBy(paren->operand.get(), found);
  } else if (const auto* unary = dynamic_cast<const Exp1arg*>(expression)) {
    elementsReadBy(unary->operand.get(), found);
  } else if (const auto* binary = dynamic_cast<const Exp2arg*>(expression)) {
    elementsReadBy(binary->left.get(), found);
    elementsReadBy(binary->right.get(), found);
  }
}

void MapBuilder::addUse(MidiKind kind, int channelIndex, int number, MidiDirection direction,
                        const std::string& label, const char* statement, const Element& where,
                        int module) {
  // Items the compiler has reported as out of range name nothing.
  if (channelIndex < 0 || channelIndex > 15 || number < 0 || number > 127) return;
  MidiUse use;
  use.item = MidiItem{kind, channelIndex + 1, number};
  use.direction = direction;
  use.label = label;
  use.statement = statement;
  use.line = where.location.line;
  use.module = module;
  map.midiUses.push_back(std::move(use));
}

std::string MapBuilder::nameOf(const Element& element) const {
  if (element.identifier) return element.name();
  return "(unnamed)";
}

void MapBuilder::addReads(const Exp* expression, const Element& where, int module,
                          const char* statement) {
  std::vector<const Element*> read;
  elementsReadBy(expression, read);
  for (const Element* element : read) {
    if (const auto* control = dynamic_cast<const ModInControl*>(element)) {
      if (control->controller >= 0 && control->controller < ModInControl::ProgramChangeController)
        addUse(MidiKind::Controller, control->channel, control->controller,
               MidiDirection::Receives, nameOf(*control), statement, where, module);
    } else if (const auto* bit = dynamic_cast<const ModInputBit*>(element)) {
      addUse(bit->programChange ? MidiKind::ProgramChange : MidiKind::Note, bit->channel,
             bit->number, MidiDirection::Receives, nameOf(*bit), statement, where, module);
    }
  }
}

std::string boardType(const PbusDev& board) {
  if (dynamic_cast<const PbusKx64A64*>(&board)) return "KX64_ANALOG";
  if (dynamic_cast<const PbusKx64*>(&board)) return "KX64";
  if (const auto* in64 = dynamic_cast<const PbusIn64*>(&board))
    return in64->plus5 ? "INPUT_64_PLUS5" : "INPUT_64";
  if (dynamic_cast<const PbusIn96*>(&board)) return "INPUT_96";
  if (dynamic_cast<const PbusInHall32*>(&board)) return "INPUT_HALL_32";
  if (dynamic_cast<const PbusFatar*>(&board)) return "MATRIX_KBD";
  if (dynamic_cast<const PbusOutRankDriver8*>(&board)) return "RANK_DRIVER_8";
  if (dynamic_cast<const PbusOutRankDriver128*>(&board)) return "RANK_DRIVER_128";
  if (dynamic_cast<const PbusOutRankDriver*>(&board)) return "RANK_DRIVER";
  if (dynamic_cast<const PbusOutMq32*>(&board)) return "MQ32";
  if (dynamic_cast<const PbusOutMq64*>(&board)) return "MQ64";
  if (dynamic_cast<const PbusOutMq76*>(&board)) return "MQ76";
  if (dynamic_cast<const PbusOutOffset*>(&board)) return "OFFSET_DRIVER";
  if (const auto* lighted = dynamic_cast<const PbusLytedStop*>(&board)) {
    switch (lighted->width) {
      case PbusLytedStop::Width32: return "LIGHTED_STOP_32";
      case PbusLytedStop::Width40: return "LIGHTED_STOP_40";
      case PbusLytedStop::Width64: return "LIGHTED_STOP_64";
      default: return "LIGHTED_STOP";
    }
  }
  if (dynamic_cast<const PbusSerialLcd*>(&board)) return "SERIAL_LCD";
  if (dynamic_cast<const Relays*>(&board)) return "RELAYS";
  if (dynamic_cast<const BlindCombinationAction*>(&board)) return "BLIND_COMBINATION_ACTION";
  return "BOARD";
}

}  // namespace plenum
