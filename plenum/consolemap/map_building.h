#pragma once
// Inside the console map builder: the pieces that read one kind of board or statement.
// Each appends rows to a section and the MIDI uses of its statements to the map.

#include <map>
#include <string>

#include "plenum/consolemap/console_map.h"

namespace plenum {

class CombinationAction;
class Element;
class Exp;
class ModFunction;
class NvPbusMod;
class PbusDev;

// What an input does in the console beyond sending its item: piston, stop, coupler, ...
// Given by the statements that read it (the combination action, relays, couplers).
using InputRoles = std::map<const Element*, std::string>;
InputRoles inputRoles(const Configuration& configuration);

// The expression as the configuration listing writes it.
std::string expressionText(const Exp& expression);
// The named elements an expression reads, in reading order.
void elementsReadBy(const Exp* expression, std::vector<const Element*>& found);

struct MapBuilder {
  const Configuration& configuration;
  ConsoleMap& map;
  InputRoles roles;

  // Adds a use for a run of numbers of one item kind; label gets the number.
  void addUse(MidiKind kind, int channelIndex, int number, MidiDirection direction,
              const std::string& label, const char* statement, const Element& where,
              int module);
  // Every named input or controller the expression reads, as received items.
  void addReads(const Exp* expression, const Element& where, int module, const char* statement);
  // What a single named element sends, as a label: its name, or its literal.
  std::string nameOf(const Element& element) const;
};

// Rows for bits 1 to count, all free.
std::vector<MapRow> freeRows(int count);
// Puts a use on a bit (1-based) of the rows; a bit outside them (reported by the
// compiler) is left out, and a second use of a bit is joined to the first.
void place(std::vector<MapRow>& rows, int bit, const MapRow& use);

// The board's statement keyword, e.g. "KX64", "MQ64", "RELAYS".
std::string boardType(const PbusDev& board);

void mapInputBoard(MapBuilder& builder, const PbusDev& board, BoardMap& out);
void mapLightedStops(MapBuilder& builder, const PbusDev& board, BoardMap& out);
void mapOutputBoard(MapBuilder& builder, const PbusDev& board, BoardMap& out);
void mapRelays(MapBuilder& builder, const PbusDev& board, BoardMap& out);
void mapSerialLcd(MapBuilder& builder, const PbusDev& board, BoardMap& out);
void mapBlindCombination(MapBuilder& builder, const PbusDev& board, BoardMap& out);
// A controller's inputs (on a board, or the module's own analog pins) and what it sends.
class ModInControl;
void mapControllerBits(MapBuilder& builder, const ModInControl& control, int module,
                       std::vector<MapRow>& rows);
// The statements written in the module itself: its analog pins, couplers, MIDI
// commands, ...; false when there are none.
bool mapModuleStatements(MapBuilder& builder, const NvPbusMod& module, BoardMap& out);
// External declarations: MIDI items that arrive from outside the chain.
void mapExternals(MapBuilder& builder);

}  // namespace plenum
