#include "plenum/codegen/relays.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plenum/codegen/codegen_test_support.h"
#include "plenum/language/compile_in_process.h"
#include "plenum/model/configuration.h"

namespace plenum {
namespace {

using testing_support::bytes;
using testing_support::InProcessCompile;
using testing_support::recordsWithCode;
using testing_support::RunOutput;

// A 61-note division from note 36 on channel 1 and two stop tabs on channel 2, all from
// outside the chain, so the relays' module mirrors them.
const char* const Console =
    "*DIVISION = great *MIDI_CHANNEL = 1 *MIDI_NOTES = 36, 61\n"
    "*INPUT_BIT = principal *MIDI_CHANNEL = 2 *MIDI_NOTE = 1\n"
    "*INPUT_BIT = flute *MIDI_CHANNEL = 2 *MIDI_NOTE = 2\n"
    "*CONTROL = swell *MIDI_CHANNEL = 1 *MIDI_CONTROLLER = 7\n";

struct Compiled {
  explicit Compiled(const std::string& moduleItems)
      : compile(std::string(Console) + "*NORVO_MODULE\n" + moduleItems + "\n*END\n"),
        output(compile.loadAndGenerate()) {}

  NvPbusMod& module() { return *compile.configuration.modules.at(0); }
  const ByteString& main() { return module().program.mainList(); }
  // The division's note-state bytes: the SFmn2bits of channel 1.
  int divisionBitmap() {
    ByteString record = testing_support::firstRecord(module().program.noteList(0), SFmn2bits);
    return record.size() == 5 ? record[4] : -1;
  }
  // The byte that mirrors the two tabs (notes 1 and 2 of channel 2).
  int tabByte() {
    for (const ByteString& record : testing_support::recordsOf(module().program.noteList(1)))
      return record[0] == SFmn2bits ? record[4] : record[3];
    return -1;
  }
  std::vector<ByteString> records(RecordCode code) { return recordsWithCode(main(), code); }

  InProcessCompile compile;
  RunOutput output;
};

TEST(RelayRecords, PlainRelayWithTwoTabsOneNegated) {
  Compiled c("*RELAY *DIVISION = great *MIDI_CHANNEL = 3 *MIDI_OFFSET = 12 "
             "*TAB = principal *TAB = !flute");
  ASSERT_EQ(c.output.status, -1) << c.output.out;
  int tab = c.tabByte();
  // 61 notes: 8 bytes (count 7), last byte holds notes 56..60 (mask 0x1f); first note
  // 36 + 12; channel index 2; full velocity.
  EXPECT_EQ(c.records(SFdoRelay).at(0),
            bytes({SFdoRelay, 14, tab, 0x01, ~tab, 0x02, 0, c.divisionBitmap(), 7, 0xFF, 0x1F,
                   48, 2, 0x7F}));
  EXPECT_EQ(c.module().program.truncation[2], 0x3F);
  EXPECT_EQ(c.module().program.truncation[0], 0xFF);
  EXPECT_EQ(c.records(SFpruneRelay).size(), 1u);
}

TEST(RelayRecords, SimpleAndConditionBecomesPairsOtherConditionsBranch) {
  Compiled pairs("*RELAY *DIVISION = great *MIDI_CHANNEL = 3 (principal & !flute)");
  ASSERT_EQ(pairs.output.status, -1) << pairs.output.out;
  int tab = pairs.tabByte();
  int bitmap = pairs.divisionBitmap();
  ByteString record =
      bytes({SFdoRelay, 14, tab, 0x01, ~tab, 0x02, 0, bitmap, 7, 0xFF, 0x1F, 36, 2, 0x7F});
  EXPECT_EQ(ByteString(pairs.main().begin(), pairs.main().begin() + 14), record);

  Compiled general("*RELAY *DIVISION = great *MIDI_CHANNEL = 3 (principal | flute)");
  ASSERT_EQ(general.output.status, -1) << general.output.out;
  // The condition's code, a branch over the 10-byte record when false.
  ByteString expected = bytes({Sldb, tab, 0x01, Sldb, tab, 0x02, Sor, Sbf, 12, SFdoRelay, 10,
                               0, bitmap, 7, 0xFF, 0x1F, 36, 2, 0x7F});
  EXPECT_EQ(ByteString(general.main().begin(), general.main().begin() + 19), expected);
}

TEST(RelayRecords, ConstantConditionsEmitNothingOrNoBranch) {
  Compiled never("*RELAY *DIVISION = great *MIDI_CHANNEL = 3 (0)");
  EXPECT_TRUE(never.records(SFdoRelay).empty());
  Compiled always("*RELAY *DIVISION = great *MIDI_CHANNEL = 3 (1)");
  ASSERT_EQ(always.main().at(0), SFdoRelay);
  EXPECT_EQ(always.main().at(1), 10);
}

TEST(RelayRecords, OutputNotesAreCutAtNote127ExceptForTraps) {
  // 36 + 40 = 76: notes 76 to 127 are 52 notes (7 bytes, last mask 0x0f).
  Compiled cut("*RELAY *DIVISION = great *MIDI_CHANNEL = 3 *MIDI_OFFSET = 40");
  EXPECT_EQ(cut.records(SFdoRelay).at(0),
            bytes({SFdoRelay, 10, 0, cut.divisionBitmap(), 6, 0xFF, 0x0F, 76, 2, 0x7F}));
  // A trap sends its one note for all 61 keys.
  Compiled trap("*TRAP *DIVISION = great *MIDI_CHANNEL = 10 *MIDI_NOTE = 40");
  EXPECT_EQ(trap.records(SFdoRelayTrap).at(0),
            bytes({SFdoRelayTrap, 9, 0, trap.divisionBitmap(), 7, 0xFF, 0x1F, 40, 9}));
}

TEST(RelayRecords, TrapOnARankBit) {
  // The rank lies on the board at output byte 1; its third bit is chain bit 11 of
  // that board (bit 10 + 3 - 2), i.e. byte 1 + 1, mask 0x80 >> 3.
  Compiled c("*RANK_DRIVER_8\n*MQ32 = mq *RANK = chimes *BITS = 10, 8\n"
             "*TRAP *DIVISION = great *RANK = chimes *BIT = 3");
  ASSERT_EQ(c.output.status, -1) << c.output.out;
  EXPECT_EQ(c.records(SFdoRankTrap).at(0),
            bytes({SFdoRankTrap, 9, 0, c.divisionBitmap(), 7, 0xFF, 0x1F, 0x10, 2}));
  // A relay drives a rank: every output board clears its image bytes.
  EXPECT_EQ(c.records(SFzeroMem).at(0), bytes({SFzeroMem, 4, 48, 1}));
  EXPECT_EQ(c.records(SFzeroMem).at(1), bytes({SFzeroMem, 4, 49, 4}));
  EXPECT_EQ(c.records(SFsetFlags).size(), 1u);
}

TEST(RelayRecords, RankRelaysWithOffsetsAndNarrowing) {
  struct Case {
    const char* boards;
    const char* relay;
    std::vector<int> trailer;  // with the division bitmap counted from bm
  };
  const int bm = 1000;  // stands for the division bitmap
  const Case cases[] = {
      // Rank notes 5 to 50 (46 bits from chain bit 5), offset -3: 3 extra bits in the
      // first byte (i mask f8), 49 bits in 7 bytes, last division note 48 (f mask 01),
      // shift 1 << ((1025 + 3 - 5) mod 8) = 0x80.
      {"*RANK_DRIVER *RANK = p8 *BITS = 1, 61\n", "*RANK = p8, 5, 50 *OFFSET = -3",
       {bm, 6, 0xF8, 0x01, 0x80, 0x00}},
      // Offset -10 skips one division byte; the output byte steps back once more.
      {"*RANK_DRIVER *RANK = p8 *BITS = 1, 61\n", "*RANK = p8 *OFFSET = -10",
       {bm + 1, 6, 0xFC, 0x1F, 0x04, 0xFF}},
      // Offset +2 on a board at output byte 1: 59 notes fit, last division note 58.
      {"*RANK_DRIVER_8\n*RANK_DRIVER = rd *RANK = p8 *BITS = 1, 61\n", "*RANK = p8 *OFFSET = 2",
       {bm, 7, 0xFF, 0x07, 0x40, 0x01}},
      // Four rank bits from chain bit 9: one byte, so the initial mask is narrowed by
      // the final one; a byte-aligned rank starts one output byte early, unshifted.
      {"*RANK_DRIVER *RANK = p8 *BITS = 9, 4\n", "*RANK = p8",
       {bm, 0, 0x0F, 0x0F, 0x01, 0x00}},
  };
  for (const Case& test : cases) {
    Compiled c(std::string(test.boards) + "*RELAY *DIVISION = great " + test.relay);
    ASSERT_EQ(c.output.status, -1) << test.relay << c.output.out;
    ByteString expected = {SFdoRank, 9, 0};
    for (int value : test.trailer)
      expected.push_back(static_cast<std::uint8_t>(value >= bm ? c.divisionBitmap() + value - bm
                                                               : value));
    EXPECT_EQ(c.records(SFdoRank).at(0), expected) << test.relay;
    EXPECT_EQ(c.module().program.truncation[0], 0xFF) << "rank relays send no MIDI";
  }
}

TEST(RelayRecords, MelodyRelaysStartFromTheTop) {
  Compiled rank("*RANK_DRIVER *RANK = p8 *BITS = 1, 61\n*MELODY *DIVISION = great *RANK = p8");
  ASSERT_EQ(rank.output.status, -1) << rank.output.out;
  int bm = rank.divisionBitmap();
  EXPECT_EQ(rank.records(SFdoMelodyRank).at(0),
            bytes({SFdoMelodyRank, 9, 0, bm + 7, 7, 0x1F, 0xFF, 0x01, -1 + 7}));
  EXPECT_EQ(rank.module().functionUseMask & (UseOutputs | UseRelays), UseOutputs | UseRelays);

  Compiled midi("*MELODY *DIVISION = great *MIDI_CHANNEL = 4");
  bm = midi.divisionBitmap();
  EXPECT_EQ(midi.records(SFdoMelodyRelay).at(0),
            bytes({SFdoMelodyRelay, 10, 0, bm + 7, 7, 0x1F, 0xFF, 36 + 56, 3, 0x7F}));
  EXPECT_EQ(midi.module().program.truncation[3], 0x3F);
}

TEST(RelayRecords, BassRelayAndVelocities) {
  Compiled bass("*BASS *DIVISION = great *MIDI_CHANNEL = 2 *VELOCITY (64)");
  EXPECT_EQ(bass.records(SFdoBassRelay).at(0).back(), 64);
  // A computed velocity leaves its value on the stack for the record, which says 0.
  Compiled computed("*RELAY *DIVISION = great *MIDI_CHANNEL = 2 *VELOCITY (swell)");
  ASSERT_EQ(computed.main().at(0), Slda);
  EXPECT_EQ(computed.main().at(2), SFdoRelay);
  EXPECT_EQ(computed.records(SFdoRelay).at(0).back(), 0);
}

TEST(RelayRecords, TwoRelaysShareTheDivisionsNoteStates) {
  Compiled c("*RELAY *DIVISION = great *MIDI_CHANNEL = 2\n"
             "*RELAY *DIVISION = great *MIDI_CHANNEL = 3 *MIDI_OFFSET = -12");
  EXPECT_EQ(recordsWithCode(c.module().program.noteList(0), SFmn2bits).size(), 1u);
  ASSERT_EQ(c.records(SFdoRelay).size(), 2u);
  EXPECT_EQ(c.records(SFdoRelay)[0][3], c.records(SFdoRelay)[1][3]);
}

// Where a branch at position at of the list lands.
std::size_t branchTarget(const ByteString& list, std::size_t at) {
  if (list[at] == Sbf || list[at] == Sbra || list[at] == Sbt) return at + list[at + 1];
  return at + (static_cast<std::size_t>(list[at + 1]) << 8 | list[at + 2]);
}

std::string relaysOn(int count, int channel) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += "*RELAY *DIVISION = great *MIDI_CHANNEL = " + std::to_string(channel) + "\n";
  return text;
}

// The length byte counts the whole record: a relay with more tabs than fit must be refused
// at its statement, never emitted with a wrapped length.
TEST(RelayRecords, TabsAreLimitedByTheLengthByte) {
  auto relayWith = [](int tabs) {
    std::string items = "*RELAY *DIVISION = great *MIDI_CHANNEL = 3";
    for (int i = 0; i < tabs; ++i) items += i % 2 ? " *TAB = !flute" : " *TAB = principal";
    return items;
  };
  // Seven trailer bytes, a 0 and the code and length leave 245 bytes: 122 pairs, 254 in all.
  Compiled fits(relayWith(122));
  ASSERT_EQ(fits.output.status, -1) << fits.output.out << fits.output.err;
  ASSERT_EQ(fits.records(SFdoRelay).size(), 1u);
  EXPECT_EQ(fits.records(SFdoRelay).at(0).size(), 254u);
  EXPECT_EQ(fits.records(SFdoRelay).at(0).at(1), 254);

  for (int tabs : {123, 130}) {
    Compiled tooMany(relayWith(tabs));
    std::string expected = "*RELAY has " + std::to_string(tabs) +
                           " tabs and conditions, at most 122 fit in one record";
    EXPECT_NE((tooMany.output.out + tooMany.output.err).find(expected), std::string::npos)
        << tooMany.output.out << tooMany.output.err;
    EXPECT_TRUE(tooMany.records(SFdoRelay).empty()) << tabs;
  }
}

// Condition pairs share the record with the tabs: the limit holds for the two together,
// and for conditions alone.
TEST(RelayRecords, ConditionsAreLimitedByTheLengthByteToo) {
  auto relayWith = [](int tabs, int conditions) {
    std::string items = "*RELAY *DIVISION = great *MIDI_CHANNEL = 3";
    for (int i = 0; i < tabs; ++i) items += " *TAB = principal";
    if (conditions > 0) {
      items += " (flute";
      for (int i = 1; i < conditions; ++i) items += i % 2 ? " & !principal" : " & flute";
      items += ")";
    }
    return items;
  };
  struct Case {
    int tabs;
    int conditions;
    bool fits;
  };
  const Case cases[] = {{0, 122, true}, {0, 123, false}, {0, 200, false}, {61, 61, true}, {61, 62, false}};
  for (const Case& c : cases) {
    Compiled compiled(relayWith(c.tabs, c.conditions));
    const std::string said = compiled.output.out + compiled.output.err;
    const std::string refusal = "*RELAY has " + std::to_string(c.tabs + c.conditions) +
                                " tabs and conditions, at most 122 fit in one record";
    if (c.fits) {
      ASSERT_EQ(compiled.output.status, -1) << said;
      ASSERT_EQ(compiled.records(SFdoRelay).size(), 1u);
      // The whole condition went into the record as pairs, filling it.
      EXPECT_EQ(compiled.records(SFdoRelay).at(0).at(1), 254);
    } else {
      EXPECT_NE(said.find(refusal), std::string::npos) << c.tabs << "+" << c.conditions << "\n" << said;
      EXPECT_TRUE(compiled.records(SFdoRelay).empty());
    }
  }
}

// The first output note is one byte of the record: an offset that takes it below 0 would
// put a status byte into the notes a relay sends.
TEST(RelayRecords, AnOffsetMayNotTakeTheFirstNoteBelowZero) {
  struct Case {
    const char* kind;
    RecordCode code;
    int offset;
    bool fits;
  };
  // The division starts at note 36.
  const Case cases[] = {{"*RELAY", SFdoRelay, -36, true},         {"*RELAY", SFdoRelay, -37, false},
                        {"*MELODY", SFdoMelodyRelay, -36, true},  {"*MELODY", SFdoMelodyRelay, -126, false},
                        {"*BASS", SFdoBassRelay, -37, false}};
  for (const Case& c : cases) {
    Compiled compiled(std::string(c.kind) + " *DIVISION = great *MIDI_CHANNEL = 3 *MIDI_OFFSET = " +
                      std::to_string(c.offset));
    const std::string said = compiled.output.out + compiled.output.err;
    const std::string refusal = "*MIDI_OFFSET " + std::to_string(c.offset) +
                                " takes the division's first note 36 below note 0";
    EXPECT_EQ(said.find(refusal) == std::string::npos, c.fits) << c.kind << c.offset << "\n" << said;
    ASSERT_EQ(compiled.output.status, -1) << said;
    EXPECT_EQ(compiled.records(c.code).size(), c.fits ? 1u : 0u) << c.kind << c.offset;
    // A plain relay without tabs: code, length, 0, bitmap, byte count, masks, first note.
    if (c.fits && c.code == SFdoRelay) {
      EXPECT_EQ(compiled.records(c.code).at(0).at(7), 0);
    }
  }
}

TEST(RelayGroups, IfElseBranchesLandOnTheElsePartAndAfterIt) {
  // Each relay record is 10 bytes; 26 of them need the long forms.
  struct Case {
    int thenRelays, elseRelays;
  };
  for (const Case& test : {Case{1, 1}, Case{1, 26}, Case{26, 1}, Case{26, 26}, Case{25, 0}}) {
    std::string text = "*IF (principal | flute) {\n" + relaysOn(test.thenRelays, 2) + "}";
    if (test.elseRelays) text += " *ELSE {\n" + relaysOn(test.elseRelays, 3) + "}";
    Compiled c(text);
    ASSERT_EQ(c.output.status, -1) << c.output.out;
    const ByteString& main = c.main();
    const std::size_t skipThen = 7;  // after Sldb, Sldb, Sor
    ASSERT_TRUE(main[skipThen] == Sbf || main[skipThen] == Sjf);
    std::size_t thenStart = skipThen + (main[skipThen] == Sbf ? 2 : 3);
    std::size_t thenEnd = thenStart + 10u * static_cast<std::size_t>(test.thenRelays);
    for (std::size_t at = thenStart; at < thenEnd; at += 10) ASSERT_EQ(main[at], SFdoRelay);
    std::size_t afterThen = thenEnd;
    if (test.elseRelays) {
      ASSERT_TRUE(main[thenEnd] == Sbra || main[thenEnd] == Sjmp);
      afterThen = thenEnd + (main[thenEnd] == Sbra ? 2 : 3);
      std::size_t elseEnd = afterThen + 10u * static_cast<std::size_t>(test.elseRelays);
      ASSERT_EQ(main[afterThen], SFdoRelay);
      EXPECT_EQ(main[afterThen + 8], 2) << "else relays send on channel 3";
      EXPECT_EQ(branchTarget(main, thenEnd), elseEnd) << test.thenRelays << "/" << test.elseRelays;
      EXPECT_EQ(main[elseEnd], SFpruneRelay);
    }
    EXPECT_EQ(branchTarget(main, skipThen), afterThen) << test.thenRelays << "/" << test.elseRelays;
  }
}

TEST(RelayGroups, AMissingBraceIsAnErrorInTheIf) {
  Compiled c("*IF (principal) {\n*RELAY *DIVISION = great *MIDI_CHANNEL = 2\n*MQ32\n");
  EXPECT_NE(c.output.out.find("Error in IF statement"), std::string::npos) << c.output.out;
  EXPECT_NE(c.output.err.find("syntax error"), std::string::npos) << c.output.err;
}

TEST(RelayGroups, ListingShowsTheGroupsAndTheirRelays) {
  InProcessCompile compile(std::string(Console) +
                           "*NORVO_MODULE\n"
                           "*IF (principal & flute) { *RELAY *DIVISION = great *MIDI_CHANNEL = 2 "
                           "*TAB = !flute }\n"
                           "*ELSE { *TRAP *DIVISION = great *MIDI_CHANNEL = 10 *MIDI_NOTE = 40 }\n"
                           "*END\n");
  ASSERT_EQ(compile.load().status, -1);
  std::string listing =
      testing_support::printedBy([&] { compile.configuration.modules[0]->print(); });
  EXPECT_EQ(listing,
            "Norvo Module\n"
            "  IF (principal & flute) {\n"
            "    Relay: Chan = 1, Offset = 2989\n"
            "      Division: Bits =  1, 61; Chan =  0, Offset = 36, Name: great\n"
            "      tab: NOT InputBit: bit  -1, MidiChannel  1, MidiNote   2, Name: flute\n"
            "    }\n"
            "  ELSE {\n"
            "    Trap: Chan = 9, Offset = 40\n"
            "      Division: Bits =  1, 61; Chan =  0, Offset = 36, Name: great\n"
            " }\n");
}

struct MessageCase {
  const char* items;
  const char* message;
};

class RelayMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(RelayMessages, AreReported) {
  Compiled c(GetParam().items);
  EXPECT_NE((c.output.out + c.output.err).find(GetParam().message), std::string::npos)
      << c.output.out << c.output.err;
}

INSTANTIATE_TEST_SUITE_P(
    Setters, RelayMessages,
    ::testing::Values(
        MessageCase{"*RELAY *DIVISION = nowhere", "Division identifier 'nowhere' not defined"},
        MessageCase{"*RELAY *DIVISION = great *DIVISION = great",
                    "Division already set for this Relay"},
        MessageCase{"*RELAY *DIVISION = flute", "Division ID 'flute' doesn't name a division!"},
        MessageCase{"*RELAY *RANK = nowhere", "Identifier 'nowhere' not defined"},
        MessageCase{"*RELAY *RANK = flute", "Not a rank!"},
        MessageCase{"*MQ32 *RANK = r *BITS = 1, 8\n*RELAY *RANK = r *RANK = r",
                    "Rank already set for this Relay"},
        MessageCase{"*MQ32 *RANK = r *BITS = 1, 8\n*RELAY *RANK = r, 0, 4",
                    "The first note must be at least one"},
        MessageCase{"*MQ32 *RANK = r *BITS = 1, 8\n*RELAY *RANK = r, 5, 4",
                    "The first note can't be greater than the last note"},
        MessageCase{"*MQ32 *RANK = r *BITS = 1, 8\n*RELAY *RANK = r, 1, 9",
                    "The last note can't be greater than the number of notes in the rank"},
        MessageCase{"*RELAY *TAB = nowhere", "Tab identifier not defined"},
        MessageCase{"*RELAY *TAB = great", "Tab ID is not an input bit!"},
        MessageCase{"*RELAY *DIVISION = great *MIDI_OFFSET = 127",
                    "Midi_offset not in range -126 to 126"}));

INSTANTIATE_TEST_SUITE_P(
    Generation, RelayMessages,
    ::testing::Values(
        MessageCase{"*RELAY *MIDI_CHANNEL = 2", "Division not defined"},
        MessageCase{"*RELAY *DIVISION = great", "Either MIDI_CHANNEL or RANK must be defined"},
        MessageCase{"*RELAY *DIVISION = great *MIDI_CHANNEL = 2 *VELOCITY (0)",
                    "The velocity must be between 1 and 127"},
        // Only a relay that sends MIDI has a velocity; a trap cannot be given one.
        MessageCase{"*MQ32 *RANK = r *BITS = 1, 8\n*RELAY *DIVISION = great *RANK = r *VELOCITY (9)",
                    "*Velocity is not applicable to this type of relay"},
        MessageCase{"*TRAP *DIVISION = great *MIDI_CHANNEL = 2 *VELOCITY (9)",
                    "syntax error, unexpected VELOCITY"},
        MessageCase{"*RELAY *DIVISION = great *MIDI_CHANNEL = 2 *MIDI_OFFSET = 100",
                    "Relay declaration has no effective notes"},
        MessageCase{"*MQ32 *RANK = r *BITS = 1, 8\n*RELAY *DIVISION = great *RANK = r *OFFSET = 8",
                    "Relay declaration has no effective notes"},
        MessageCase{"*MQ32 *RANK = r\n*RELAY *DIVISION = great *RANK = r", "Bits not defined"},
        MessageCase{"*MQ32 *RANK = r *BITS = 1, 8\n*TRAP *DIVISION = great *RANK = r",
                    "Please specify the bit to use within the rank"},
        MessageCase{"*MQ32 *RANK = r *BITS = 1, 8\n*TRAP *DIVISION = great *RANK = r *BIT = 9",
                    "The bit is beyond the end of the rank"}));

// Values the setters have already refused, or items without a channel, never end the
// run as a program fault or make generation compute with them.
TEST(RelayMessages, ReportedValuesAreLeftOutSafely) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"*INPUT_BIT = loose *MIDI_NOTE = 9\n*NORVO_MODULE *RELAY *DIVISION = great "
       "*MIDI_CHANNEL = 2 *TAB = loose\n",
       "cfg:6: midi_channel not defined"},
      {"*INPUT_BIT = loose *MIDI_NOTE = 9\n*NORVO_MODULE *VALUE v = (loose + 1)\n",
       "cfg:6: midi_channel not defined"},
      {"*NORVO_MODULE *RELAY *DIVISION = great *MIDI_CHANNEL = 2 *MIDI_OFFSET = 2147483647\n",
       "Midi_offset not in range -126 to 126"},
      {"*NORVO_MODULE *MQ32 *RANK = r *BITS = 2000000000, 2000000000\n"
       "*RELAY *DIVISION = great *RANK = r\n",
       "The rank extends beyond the end of the output board(s)"},
  };
  for (const Case& test : cases) {
    InProcessCompile compile(std::string(Console) + test.text + "*END\n");
    RunOutput output = compile.loadAndGenerate();
    EXPECT_NE(output.out.find(test.message), std::string::npos) << test.text << output.out;
    EXPECT_EQ(output.out.find("Program bug"), std::string::npos) << output.out;
    if (compile.configuration.modules.size() == 1) {
      // Whatever was reported, the module still generates in full.
      std::string printed =
          testing_support::printedBy([&] { compile.configuration.generatePrograms(); });
      EXPECT_NE(printed.find("Number of modules is 1"), std::string::npos) << printed;
    }
  }
}

TEST(RelayMessages, RankOnAnotherModule) {
  InProcessCompile compile(std::string(Console) +
                           "*NORVO_MODULE *MQ32 *RANK = r *BITS = 1, 8\n"
                           "*NORVO_MODULE *RELAY *DIVISION = great *RANK = r\n*END\n");
  RunOutput output = compile.loadAndGenerate();
  EXPECT_NE(output.out.find("cfg:6: The rank must be connected to this module!"),
            std::string::npos)
      << output.out;
}

}  // namespace
}  // namespace plenum
