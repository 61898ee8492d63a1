// Input bits, alternate-action inputs, keyboard divisions and Allen stops, compiled from
// configuration text: the records they add to the module program (the expected bytes
// are worked out from the addressing rules: input b is byte (b-1)/8 of its board, bit
// (b-1)%8), the claims that keep a note from being sent by two statements, and the
// checks made when they generate.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/record_codes.h"
#include "plenum/language/compile_in_process.h"

namespace plenum {
namespace {

using testing_support::InProcessCompile;
using testing_support::RunOutput;
using Bytes = std::vector<int>;

Bytes bytesOf(const ByteString& list) { return Bytes(list.begin(), list.end()); }

// The main record list of each module after a clean compile.
std::vector<Bytes> mainListsOf(const std::string& text) {
  InProcessCompile compile(text);
  RunOutput run = compile.loadAndGenerate();
  EXPECT_EQ(run.status, -1) << run.out << run.err;
  std::vector<Bytes> lists;
  for (const auto& module : compile.configuration.modules)
    lists.push_back(bytesOf(module->program.mainList()));
  return lists;
}

struct RecordCase {
  const char* name;
  std::string text;
  Bytes mainList;  // of the first module, End code included
};

const RecordCase RecordCases[] = {
    {"SerialBitAndDivision",
     "*NORVO_MODULE\n*INPUT_64\n"
     "*INPUT_BIT = A *BIT = 12 *MIDI_CHANNEL = 1 *MIDI_NOTE = 60\n"
     "*DIVISION = Sw *BITS = 3, 61 C2N36\n*END\n",
     {52, 6, 1, 60, 0x00, 0x08,                 // input 12: byte 1, bit 3
      51, 8, 0, 7, 34, 1, 0xFC, 0x7F,           // inputs 3..63: bytes 0..7, note of bit 0 is 34
      0}},
    {"InvertingBoard",
     "*NORVO_MODULE\n*INPUT_64 *INVERT\n"
     "*INPUT_BIT *BIT = 1 C1N10 *INVERT\n"
     "*INPUT_BIT *BIT = 2 C1N11\n"
     "*INPUT_BIT *BIT = 9 C1P5 *INVERT\n"
     "*DIVISION *BITS = 2, 4 C3N40\n*END\n",
     {52, 6, 0, 10, 0x00, 0x01,                 // both inverted: the flag cancels
      52, 6, 0, 11, 0x80, 0x02,                 // only the board inverts
      52, 6, 1, 5, 0x40, 0x01,                  // program change
      51, 8, 0, 0, 39, 0x82, 0x1E, 0x1F,        // inputs 2..5 in one byte
      0}},
    {"AlternateBoardMergesConsecutiveInputs",
     "*NORVO_MODULE\n*KX64\n"
     "*INPUT_BIT *BIT = 5 C1N40\n*INPUT_BIT *BIT = 6 C1N41\n"
     "*INPUT_BIT *BIT = 7 C1N42\n*INPUT_BIT *BIT = 8 C1N43\n"
     "*INPUT_BIT *BIT = 9 C1N50\n"
     "*DIVISION *BITS = 10, 20 C2N36\n"
     "*ALT_ACTION_INPUT *BIT = 40 C3N70\n*END\n",
     {54, 7, 0, 4, 7, 36, 0,                    // inputs 5..8, notes 40..43
      54, 7, 0, 8, 8, 42, 0,                    // input 9 sends another run
      54, 7, 0, 9, 28, 27, 1,                   // the division: bits 9..28
      55, 8, 0, 39, 2, 0x01, 70, 2,             // state bit: first free byte 2, bit 0
      5, 5, 0, 0xC5, 0x00, 6, 5, 0, 0xC7, 0x00, 0}},
    {"AlternateBoardKeepsRunsApartByChannelAndInvert",
     "*NORVO_MODULE\n*KX64\n"
     "*INPUT_BIT *BIT = 1 C1N40\n*INPUT_BIT *BIT = 2 C2N41\n"
     "*INPUT_BIT *BIT = 3 C2N42 *INVERT\n*INPUT_BIT *BIT = 4 C2P43\n*END\n",
     {54, 7, 0, 0, 0, 40, 0,
      54, 7, 0, 1, 1, 40, 1,
      54, 7, 0, 2, 2, 40, 0x81,
      54, 7, 0, 3, 3, 40, 0x41,
      5, 5, 0, 0xC5, 0x00, 6, 5, 0, 0xC7, 0x00, 0}},
    {"AlternateActionOnASerialBoard",
     "*NORVO_MODULE\n*INPUT_96\n*ALT_ACTION_INPUT *BIT = 10 C1N64\n*END\n",
     {52, 8, 1, 64, 0x10, 0x02, 12, 0x01,       // state bit in byte 12, after the chain
      0}},
    {"SetAndMapButtonsThrottleTheirOutput",
     "*NORVO_MODULE\n*INPUT_64\n*INPUT_BIT = SetButton *BIT = 1 C1N10\n"
     "*INPUT_BIT = MapButton *BIT = 2 C1N11\n*INPUT_BIT = Other *BIT = 3 C1N12\n"
     "*COMBINATION_ACTION *SET = SetButton *MAP = MapButton\n*END\n",
     {53, 6, 0, 10, 0x00, 0x01, 53, 6, 0, 11, 0x00, 0x02, 52, 6, 0, 12, 0x00, 0x04, 0}},
    {"MatrixKeyboardDivision",
     "*NORVO_MODULE\n*MATRIX_KBD *DIVISION *BITS = 1, 61 C1N36\n*END\n",
     {54, 7, 0, 0, 60, 36, 0, 0}},
    {"SecondBoardAddressesFromItsOffset",
     "*NORVO_MODULE\n*KX64\n*INPUT_96\n*INPUT_BIT *BIT = 17 C1N1\n"
     "*DIVISION *BITS = 20, 9 C1N10\n*END\n",
     {5, 5, 0, 0xC5, 0x00, 6, 5, 0, 0xC7, 0x00,
      52, 6, 4, 1, 0x00, 0x01,                  // input 17: byte 2 of a board at byte 2
      51, 8, 4, 1, 7, 0, 0xF8, 0x0F,            // inputs 20..28: two bytes from byte 4
      0}},
};

class InputRecordTest : public testing::TestWithParam<RecordCase> {};

TEST_P(InputRecordTest, MainListHoldsTheExpectedRecords) {
  const RecordCase& c = GetParam();
  std::vector<Bytes> lists = mainListsOf(c.text);
  ASSERT_FALSE(lists.empty());
  EXPECT_EQ(lists[0], c.mainList);
}

INSTANTIATE_TEST_SUITE_P(InputBits, InputRecordTest, testing::ValuesIn(RecordCases),
                         [](const testing::TestParamInfo<RecordCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(InputBitUse, InputStatementsMarkInputsAndRelaysUse) {
  InProcessCompile compile("*NORVO_MODULE\n*INPUT_64\n*INPUT_BIT *BIT = 1 C1N1\n*END\n");
  ASSERT_EQ(compile.loadAndGenerate().status, -1);
  EXPECT_EQ(compile.configuration.modules[0]->functionUseMask, 5u);
}

TEST(InputBitUse, AnItemIsAvailableToLaterModulesOnly) {
  InProcessCompile compile(
      "*INPUT_BIT = Outside C1N1\n*NORVO_MODULE\n*NORVO_MODULE\n*INPUT_64\n"
      "*INPUT_BIT = Inside *BIT = 1 C1N2\n*NORVO_MODULE\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  auto* inside = dynamic_cast<ModInputBit*>(lookupIdentifier("Inside")->element);
  auto* outside = dynamic_cast<ModInputBit*>(lookupIdentifier("Outside")->element);
  ASSERT_NE(inside, nullptr);
  ASSERT_NE(outside, nullptr);
  EXPECT_EQ(inside->getModule(), compile.configuration.modules[1].get());
  EXPECT_FALSE(inside->isAvailableIn(0));
  EXPECT_FALSE(inside->isAvailableIn(1));
  EXPECT_TRUE(inside->isAvailableIn(2));
  EXPECT_TRUE(outside->isAvailableIn(0));
}

TEST(AllenStop, TwoStopsOfOneChannelShareTheControllerItemsAndValueBytes) {
  InProcessCompile compile(
      "*NORVO_MODULE\n*INPUT_64\n*ALLEN_STOP = Trumpet 1 5 6 C2N60\n"
      "*ALLEN_STOP = Oboe 1 5 7 C2N61\n*END\n");
  RunOutput run = compile.loadAndGenerate();
  ASSERT_EQ(run.status, -1) << run.out;
  const ModuleProgram& program = compile.configuration.modules[0]->program;
  // The controller 99 value comes to byte 8 (the first after the 8-byte chain), 98 to 9.
  EXPECT_EQ(bytesOf(program.controllerList(0)),
            (Bytes{9, 4, 99, 8, 9, 4, 98, 9,  //
                   84, 8, 5, 6, 1, 60, 8, 9,  //
                   84, 8, 5, 7, 1, 61, 8, 9}));
  for (const char* name : {"C1C98", "C1C99", "C1C6"}) {
    const IdentifierRecord* record = compile.scope.context().identifiers.find(name);
    ASSERT_NE(record, nullptr) << name;
    EXPECT_NE(record->element, nullptr) << name;
  }
  auto* trumpet = dynamic_cast<AllenStopCmd*>(lookupIdentifier("Trumpet")->element);
  ASSERT_NE(trumpet, nullptr);
  EXPECT_EQ(trumpet->allenChannel, 0);
  EXPECT_EQ(trumpet->channel, 1);
  EXPECT_EQ(trumpet->number, 60);
}

struct ReportCase {
  const char* name;
  std::string text;
  std::string out;  // everything the load and the generation print
  int status;
};

const std::string OneModuleInput64 = "*NORVO_MODULE\n*INPUT_64\n";
const std::string Modules1 = "Number of modules is 1\n";

const ReportCase ReportCases[] = {
    {"SameNoteInTwoModules",
     "*NORVO_MODULE\n*INPUT_64\n*INPUT_BIT = First *BIT = 1 C1N60\n"
     "*NORVO_MODULE\n*INPUT_64\n*INPUT_BIT = Second *BIT = 1 C1N60\n*END\n",
     "cfg:6: This MIDI note has already been used\ncfg:3: \t(location of previous use)\n"
     "Number of modules is 2\n",
     -1},
    {"DivisionOverlappingABitClaimsNone",
     OneModuleInput64 + "*INPUT_BIT *BIT = 1 C1N40\n*DIVISION *BITS = 2, 61 C1N36\n"
                        "*INPUT_BIT *BIT = 63 C1N50\n*END\n",
     "cfg:4: One or more of these MIDI notes have already been used\n"
     "cfg:3: \t(Location of previous use)\n" + Modules1,
     -1},
    {"ChannelsAndKindsAreSeparate",
     OneModuleInput64 + "*INPUT_BIT *BIT = 1 C1N5\n*INPUT_BIT *BIT = 2 C1P5\n"
                        "*INPUT_BIT *BIT = 3 C2N5\n*INPUT_BIT *BIT = 4 C1P5\n*END\n",
     "cfg:6: This program change message has already been used\n" + Modules1, -1},
    {"AlternateActionClaim",
     OneModuleInput64 + "*INPUT_BIT *BIT = 1 C1N5\n*ALT_ACTION_INPUT *BIT = 2 C1N5\n*END\n",
     "cfg:4: This MIDI note has already been used\ncfg:3: \t(Location of previous use)\n" +
         Modules1,
     -1},
    {"DivisionPastNote127", OneModuleInput64 + "*DIVISION *BITS = 1, 61 C1N100\n*END\n",
     "cfg:3: Something wrong here: Bad bits\n" + Modules1, -1},
    {"ExternalItemsClaimNothing",
     "*INPUT_BIT = Outside C1N60\n*DIVISION = Far *MIDI_CHANNEL = 1 *MIDI_NOTES = 30, 40\n" +
         OneModuleInput64 + "*INPUT_BIT *BIT = 1 C1N60\n*END\n",
     Modules1, -1},
    {"AllenStopClaimsWhenRead",
     "*NORVO_MODULE\n*ALLEN_STOP = S 1 1 1 C1N60\n*INPUT_64\n*INPUT_BIT *BIT = 1 C1N60\n*END\n",
     "cfg:4: This MIDI note has already been used\ncfg:2: \t(location of previous use)\n" +
         Modules1,
     -1},
    {"TwoAllenStopsOnOneNoteFailTheLoad",
     "*NORVO_MODULE\n*ALLEN_STOP = S 1 1 1 C1N60\n*ALLEN_STOP = T 1 1 2 C1N60\n*END\n",
     "cfg:3: This MIDI note has already been used\ncfg:2: \t(location of previous use)\n", 1},
    {"BitNotDefined", OneModuleInput64 + "*INPUT_BIT C1N5\n*END\n",
     "cfg:3: bit not defined\n" + Modules1, -1},
    {"BitAboveTheBoard", OneModuleInput64 + "*INPUT_BIT *BIT = 65 C1N5\n*END\n",
     "cfg:3: bit not in range 1 to 64\n" + Modules1, -1},
    {"BitZero", OneModuleInput64 + "*INPUT_BIT *BIT = 0 C1N5\n*END\n",
     "cfg:3: bit not in range 1 to 64\n" + Modules1, -1},
    {"MatrixKeyboardHas61Inputs", "*NORVO_MODULE\n*MATRIX_KBD\n*INPUT_BIT *BIT = 62 C1N5\n*END\n",
     "cfg:3: bit not in range 1 to 61\n" + Modules1, -1},
    {"NoteNotDefined", OneModuleInput64 + "*INPUT_BIT *BIT = 1 *MIDI_CHANNEL = 1\n*END\n",
     "cfg:3: midi_note not defined\n" + Modules1, -1},
    {"ChannelNotDefined", OneModuleInput64 + "*INPUT_BIT *BIT = 1 *MIDI_NOTE = 5\n*END\n",
     "cfg:3: midi_channel not defined\ncfg:3: Something wrong here: Bad bits\n" + Modules1, -1},
    {"AlternateActionWithProgramChange",
     OneModuleInput64 + "*ALT_ACTION_INPUT *BIT = 1 C1P5\n*END\n",
     "cfg:3: Program change cannot be used with alternate action\n" + Modules1, -1},
    {"AlternateActionInverted", OneModuleInput64 + "*ALT_ACTION_INPUT *BIT = 1 C1N5 *INVERT\n*END\n",
     "cfg:3: The *INVERT keyword is not applicable here\n" + Modules1, -1},
    {"AlternateActionAboveTheBoard",
     OneModuleInput64 + "*ALT_ACTION_INPUT *BIT = 70 C1N5\n*END\n",
     "cfg:3: bit not in range 1 to 64\n" + Modules1, -1},
    {"DivisionWithoutBits", OneModuleInput64 + "*DIVISION C1N5\n*END\n",
     "cfg:3: Begin bit not defined\ncfg:3: bit count not defined\n" + Modules1, -1},
    {"DivisionFirstBitAboveTheBoard",
     "*NORVO_MODULE\n*MATRIX_KBD\n*DIVISION *BITS = 62, 2 C1N5\n*END\n",
     "cfg:3: First bit must be in range 1 to 61\n" + Modules1, -1},
    {"DivisionWithoutNote", OneModuleInput64 + "*DIVISION *BITS = 1, 4 *MIDI_CHANNEL = 1\n*END\n",
     "cfg:3: midi_note not defined\n" + Modules1, -1},
    {"DivisionPastTheAlternateBoard",
     "*NORVO_MODULE\n*KX64\n*DIVISION *BITS = 10, 60 C1N20\n*END\n",
     "cfg:3: Division runs past input 64 of the board\n" + Modules1, -1},
};

class InputReportTest : public testing::TestWithParam<ReportCase> {};

TEST_P(InputReportTest, ReportsExactlyItsMessages) {
  const ReportCase& c = GetParam();
  InProcessCompile compile(c.text);
  RunOutput run = compile.loadAndGenerate();
  EXPECT_EQ(run.out, c.out);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, c.status);
}

INSTANTIATE_TEST_SUITE_P(InputBits, InputReportTest, testing::ValuesIn(ReportCases),
                         [](const testing::TestParamInfo<ReportCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(InputListing, LinesShowBitChannelNoteAndName) {
  InProcessCompile compile(
      "*NORVO_MODULE\n*INPUT_64\n*INPUT_BIT = Tutti *BIT = 3 C2N61\n"
      "*ALT_ACTION_INPUT *BIT = 12 C1N7\n*DIVISION = Great *BITS = 1, 61 C1N36\n"
      "*ALLEN_STOP = Flute 1 2 3 C3N4\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  testing::internal::CaptureStdout();
  compile.configuration.modules[0]->print();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Norvo Module\n"
            "  64-bit serial input module\n"
            "    InputBit: bit   3, MidiChannel  1, MidiNote  61, Name: Tutti\n"
            "    Alternate InputBit: bit  12, MidiChannel  0, MidiNote   7\n"
            "    Division: Bits =  1, 61; Chan =  0, Offset = 36, Name: Great\n"
            "*allen_stop\n");
}

}  // namespace
}  // namespace plenum
