#pragma once
// The console map: what every bit of every board of a compiled configuration is, module
// by module in chain order and board by board in bus order, with the MIDI items each
// statement sends or receives and each module's memory use. It is read from the model
// after generation, so that it says what the module programs do.

#include <string>
#include <vector>

#include "plenum/consolemap/midi_item.h"

namespace plenum {

class Configuration;

// One bit or channel of a board, or one entry of a board that has no bits (a relay of a
// relays group, an item of a serial LCD, a statement of the module itself).
struct MapRow {
  int bit = 0;              // 1-based on its board (input or output side); item number else
  bool used = false;
  std::string identifier;   // the name the configuration gives it, "" when none
  std::string kind;         // key, stop, piston, coupler, controller, input, magnet *ON, ...
  std::string description;  // what it is, in the builder's words
  int channel = 0;          // 1 to 16; 0 when no MIDI item belongs to the row
  int note = -1;            // note number, or -1
  int program = -1;         // program number, or -1
  int controller = -1;      // controller number, or -1
  std::string range;        // "min-max" of a controller
  int line = 0;             // the line of the statement that gives the row its use
};

enum class BoardSide { Input, Output, Items };

struct BoardSection {
  BoardSide side = BoardSide::Items;
  std::vector<MapRow> rows;
};

struct BoardMap {
  std::string type;   // the statement keyword: KX64, MQ64, RELAYS, SERIAL_LCD, MODULE, ...
  std::string name;   // the board's identifier, "" when none
  int line = 0;
  // Where the board sits on the module's two chains (a KX-64 and a lighted-stop board
  // take bytes on both); 0 bytes: not on that chain.
  int inputOffset = 0;
  int inputBytes = 0;
  int outputOffset = 0;
  int outputBytes = 0;
  std::vector<BoardSection> sections;
};

struct ModuleMap {
  int number = 0;            // 0-based, chain order
  int line = 0;
  char typeLetter = 'B';
  int programBytes = 0;      // size of the module program image
  int programArea = 0;       // bytes available for program and memory banks
  int workBytesUsed = 0;
  int workBytes = 0;         // of the work memory
  int memoryBanks = 0;
  std::vector<BoardMap> boards;  // bus order; statements of the module itself come last
};

struct ConsoleMap {
  std::string fileName;
  std::vector<MapRow> externals;  // MIDI items declared as arriving from outside the chain
  std::vector<ModuleMap> modules;
  std::vector<MidiUse> midiUses;  // statement order, module by module, externals first
};

// Reads the map from a configuration whose programs have been generated.
ConsoleMap buildConsoleMap(const Configuration& configuration);

}  // namespace plenum
