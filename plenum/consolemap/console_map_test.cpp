#include "plenum/consolemap/console_map.h"

#include <gtest/gtest.h>

#include "plenum/language/compile_in_process.h"

namespace plenum {
namespace {

using testing_support::InProcessCompile;

// The configuration compiled and generated, and its map.
struct Mapped {
  explicit Mapped(const std::string& text) : compile(text) {
    auto run = compile.loadAndGenerate();
    EXPECT_EQ(run.status, -1) << run.out;
    map = buildConsoleMap(compile.configuration);
  }
  const MapRow& row(int module, int board, int bit, int section = 0) const {
    return map.modules.at(module).boards.at(board).sections.at(section).rows.at(bit - 1);
  }
  InProcessCompile compile;
  ConsoleMap map;
};

const char* const kTwoModules = R"(
*NORVO_MODULE
  *KX64 *DEBOUNCE = 3
    *DIVISION = Great *BITS = 1, 61 *MIDI_CHANNEL = 1 *MIDI_NOTE = 36
  *INPUT_64
    *DIVISION = Swell *BITS = 1, 61 *MIDI_CHANNEL = 2 *MIDI_NOTE = 36
    *ALT_ACTION_INPUT = SwellTremulant *BIT = 62 C4N60
*NORVO_MODULE
  *INPUT_96
    *DIVISION = Pedal *BITS = 1, 32 *MIDI_CHANNEL = 3 *MIDI_NOTE = 36
    *INPUT_BIT = GreatPrincipal8 *BIT = 33 C4N36
    *INPUT_BIT = GeneralOne *BIT = 42 C5P1
*END
)";

TEST(ConsoleMap, InputBoardsListEveryBitInBusOrder) {
  Mapped m(kTwoModules);
  ASSERT_EQ(m.map.modules.size(), 2u);
  const ModuleMap& first = m.map.modules[0];
  ASSERT_EQ(first.boards.size(), 2u);
  EXPECT_EQ(first.boards[0].type, "KX64");
  EXPECT_EQ(first.boards[1].type, "INPUT_64");
  EXPECT_EQ(m.map.modules[1].boards[0].type, "INPUT_96");
  EXPECT_EQ(first.boards[0].sections[0].rows.size(), 64u);
  EXPECT_EQ(m.map.modules[1].boards[0].sections[0].rows.size(), 96u);
  EXPECT_EQ(first.boards[1].inputOffset, 2);  // after the KX-64's two bytes
  EXPECT_EQ(first.boards[1].inputBytes, 8);
  EXPECT_EQ(first.boards[0].outputBytes, 2);  // the KX-64 takes output bytes as well

  struct Case {
    int module, board, bit;
    bool used;
    const char* identifier;
    const char* kind;
    int channel, note, program;
    const char* description;
  };
  const Case cases[] = {
      {0, 0, 1, true, "Great", "key", 1, 36, -1, "key 1 (C2)"},
      {0, 0, 25, true, "Great", "key", 1, 60, -1, "key 25 (C4)"},
      {0, 0, 61, true, "Great", "key", 1, 96, -1, "key 61 (C7)"},
      {0, 0, 62, false, "", "", 0, -1, -1, ""},
      {0, 1, 26, true, "Swell", "key", 2, 61, -1, "key 26 (C#4)"},
      {0, 1, 62, true, "SwellTremulant", "input", 4, 60, -1,
       "input (alternate action), sends note 60 (C4)"},
      {0, 1, 64, false, "", "", 0, -1, -1, ""},
      {1, 0, 32, true, "Pedal", "key", 3, 67, -1, "key 32 (G4)"},
      {1, 0, 33, true, "GreatPrincipal8", "input", 4, 36, -1, "input, sends note 36 (C2)"},
      {1, 0, 42, true, "GeneralOne", "input", 5, -1, 1, "input, sends program 1"},
      {1, 0, 96, false, "", "", 0, -1, -1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.module) + "/" + std::to_string(c.board) + "/" +
                 std::to_string(c.bit));
    const MapRow& row = m.row(c.module, c.board, c.bit);
    EXPECT_EQ(row.bit, c.bit);
    EXPECT_EQ(row.used, c.used);
    EXPECT_EQ(row.identifier, c.identifier);
    EXPECT_EQ(row.kind, c.kind);
    EXPECT_EQ(row.channel, c.channel);
    EXPECT_EQ(row.note, c.note);
    EXPECT_EQ(row.program, c.program);
    EXPECT_EQ(row.description, c.description);
  }
}

TEST(ConsoleMap, ModuleMemoryFiguresComeFromTheGeneratedProgram) {
  Mapped m(kTwoModules);
  for (const ModuleMap& module : m.map.modules) {
    EXPECT_EQ(module.typeLetter, 'B');
    EXPECT_EQ(module.workBytes, 137);
    EXPECT_LE(module.workBytesUsed, 137);
    EXPECT_EQ(module.programBytes,
              static_cast<int>(m.compile.configuration.modules[static_cast<std::size_t>(
                                   module.number)]->program.image().size()));
    EXPECT_EQ(module.programArea, 0xC980);
    EXPECT_EQ(module.memoryBanks, 0);
  }
}

const char* const kMagnets = R"(
*NORVO_MODULE
  *KX64
    *INPUT_BIT = GtPrincipal8 *BIT = 1 C6N1
    *INPUT_BIT = GtMixture *BIT = 3 C6N3
    *INPUT_BIT = General1 *BIT = 17 C7N1
    *INPUT_BIT = General2 *BIT = 18 C7N2
    *INPUT_BIT = SetButton *BIT = 30 C7N30
    *INPUT_BIT = MixtureToeStud *BIT = 31 C7N31
*NORVO_MODULE
  *MQ64 = Magnets
*COMBINATION_ACTION
  *SET = SetButton
  *PISTON = General1
  *PISTON = General2
  *DUAL_MAG_TAB = GtPrincipal8 *ON = Magnets:1 *OFF = Magnets:2
  *DUAL_MAG_TAB = GtMixture *ON = Magnets:5 *OFF = Magnets:6 *REVERSIBLE = MixtureToeStud
*END
)";

TEST(ConsoleMap, MagnetsAndCombinationRoles) {
  Mapped m(kMagnets);
  const BoardMap& magnets = m.map.modules.at(1).boards.at(0);
  EXPECT_EQ(magnets.type, "MQ64");
  EXPECT_EQ(magnets.name, "Magnets");
  ASSERT_EQ(magnets.sections.at(0).rows.size(), 64u);
  EXPECT_EQ(magnets.sections[0].side, BoardSide::Output);
  struct Case {
    int bit;
    bool used;
    const char* identifier;
    const char* kind;
  };
  const Case outputs[] = {{1, true, "GtPrincipal8", "magnet *ON"},
                          {2, true, "GtPrincipal8", "magnet *OFF"},
                          {3, false, "", ""},
                          {5, true, "GtMixture", "magnet *ON"},
                          {6, true, "GtMixture", "magnet *OFF"},
                          {64, false, "", ""}};
  for (const Case& c : outputs) {
    SCOPED_TRACE(c.bit);
    const MapRow& row = m.row(1, 0, c.bit);
    EXPECT_EQ(row.used, c.used);
    EXPECT_EQ(row.identifier, c.identifier);
    EXPECT_EQ(row.kind, c.kind);
  }
  EXPECT_EQ(m.row(1, 0, 6).description, "*OFF magnet of tab GtMixture");
  const Case inputs[] = {{1, true, "GtPrincipal8", "stop"},     {3, true, "GtMixture", "stop"},
                         {17, true, "General1", "piston"},      {18, true, "General2", "piston"},
                         {30, true, "SetButton", "set button"}, {31, true, "MixtureToeStud", "reversible"},
                         {2, false, "", ""}};
  for (const Case& c : inputs) {
    SCOPED_TRACE(c.bit);
    const MapRow& row = m.row(0, 0, c.bit);
    EXPECT_EQ(row.used, c.used);
    EXPECT_EQ(row.identifier, c.identifier);
    EXPECT_EQ(row.kind, c.kind);
  }
}

const char* const kRanks = R"(
*NORVO_MODULE
  *KX64
    *DIVISION = Great *BITS = 1, 61 C1N36
  *INPUT_64
    *DIVISION = Pedal *BITS = 1, 32 C4N36
    *INPUT_BIT = GtPrincipal8 *BIT = 33 C5N1
    *INPUT_BIT = GtOctave4 *BIT = 34 C5N2
    *INPUT_BIT = PedBourdon16 *BIT = 38 C5N6
    *INPUT_BIT = GtTrumpet8 *BIT = 35 C5N3
*NORVO_MODULE
  *RANK_DRIVER_8 = Small
    *RANK = Principal *BITS = 1, 61
  *RANK_DRIVER = Pipes
    *RANK = Bourdon *BITS = 62, 32
  *RELAY *DIVISION = Great *TAB = GtOctave4 *RANK = Principal *OFFSET = 12
  *RELAY *DIVISION = Great *TAB = GtPrincipal8 *RANK = Principal
  *RELAY *DIVISION = Pedal *TAB = PedBourdon16 *RANK = Bourdon
  *RELAY *DIVISION = Great *TAB = GtTrumpet8 *MIDI_CHANNEL = 10
*END
)";

TEST(ConsoleMap, RanksRunOnIntoTheNextBoardAndNameTheirPipes) {
  Mapped m(kRanks);
  const ModuleMap& relay = m.map.modules.at(1);
  ASSERT_GE(relay.boards.size(), 3u);
  EXPECT_EQ(relay.boards[0].type, "RANK_DRIVER_8");
  EXPECT_EQ(relay.boards[1].type, "RANK_DRIVER");
  EXPECT_EQ(relay.boards[2].type, "RELAYS");
  // Pipe 13 is named by the unshifted relay's key, not by the Octave 4 drawn from it.
  EXPECT_EQ(m.row(1, 0, 1).identifier, "Principal");
  EXPECT_EQ(m.row(1, 0, 1).description, "pipe 1 (Great C2)");
  EXPECT_EQ(m.row(1, 0, 8).description, "pipe 8 (Great G2)");
  // The rank runs on: pipe 9 is bit 1 of the second board.
  EXPECT_EQ(m.row(1, 1, 1).identifier, "Principal");
  EXPECT_EQ(m.row(1, 1, 1).description, "pipe 9 (Great G#2)");
  EXPECT_EQ(m.row(1, 1, 5).description, "pipe 13 (Great C3)");
  EXPECT_EQ(m.row(1, 1, 53).description, "pipe 61 (Great C7)");
  // Bourdon bit 62 of its own board.
  EXPECT_EQ(m.row(1, 1, 62).identifier, "Bourdon");
  EXPECT_EQ(m.row(1, 1, 62).description, "pipe 1 (Pedal C2)");
  EXPECT_EQ(m.row(1, 1, 93).description, "pipe 32 (Pedal G4)");
  EXPECT_FALSE(m.row(1, 1, 94).used);
  EXPECT_FALSE(m.row(1, 1, 54).used);

  const std::vector<MapRow>& relays = relay.boards[2].sections.at(0).rows;
  ASSERT_EQ(relays.size(), 4u);
  EXPECT_EQ(relays[0].kind, "relay");
  EXPECT_EQ(relays[0].description, "Great on rank Principal offset +12, tabs GtOctave4");
  EXPECT_EQ(relays[3].description, "Great to channel 10, tabs GtTrumpet8");
  EXPECT_EQ(relays[3].channel, 10);
  // The tabs read by relays are stops.
  EXPECT_EQ(m.row(0, 1, 33).kind, "stop");
}

TEST(ConsoleMap, StatementsMarkWhatTheySendAndReceive) {
  Mapped m(kRanks);
  int trumpetOut = 0, greatIn = 0, tabsIn = 0;
  for (const MidiUse& use : m.map.midiUses) {
    if (use.direction == MidiDirection::Sends && use.item.channel == 10) {
      ++trumpetOut;
      EXPECT_EQ(use.statement, "Relay");
      EXPECT_EQ(use.module, 1);
    }
    if (use.direction == MidiDirection::Receives && use.item.channel == 1) ++greatIn;
    if (use.direction == MidiDirection::Receives && use.item.channel == 5) ++tabsIn;
  }
  EXPECT_EQ(trumpetOut, 61);
  EXPECT_EQ(greatIn, 3 * 61);  // three relays play the Great
  EXPECT_EQ(tabsIn, 4);
}

TEST(ConsoleMap, WorkMemoryCountsTheBytesTheModuleHandedOut) {
  Mapped m(kRanks);
  const NvPbusMod& relay = *m.compile.configuration.modules.at(1);
  int used = 0;
  for (int address = 0; address < 137; ++address) used += relay.isWorkByteUsed(address) ? 1 : 0;
  EXPECT_GT(used, 0);  // the relays keep note states and tab bits
  EXPECT_EQ(m.map.modules.at(1).workBytesUsed, used);
}

}  // namespace
}  // namespace plenum
