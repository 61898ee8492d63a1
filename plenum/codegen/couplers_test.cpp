// Couplers, transposer, sostenuto, pizzicato and reiteration compiled from configuration
// text. The divisions are external ones (channel 1, 2 and 3 from note 36), so work memory
// starts at byte 0 in a module without boards and every address below is counted from
// there by hand.

#include <gtest/gtest.h>

#include <string>

#include "plenum/codegen/codegen_test_support.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/language/compile_in_process.h"

namespace plenum {
namespace {

using testing_support::bytes;
using testing_support::firstRecord;
using testing_support::InProcessCompile;
using testing_support::recordsOf;
using testing_support::recordsWithCode;
using testing_support::RunOutput;

const std::string Divisions =
    "*CONTROL = X C1C1 *DIVISION = Great *MIDI_CHANNEL = 1 *MIDI_NOTES = 36, 61\n"
    "*DIVISION = Swell *MIDI_CHANNEL = 2 *MIDI_NOTES = 36, 61\n"
    "*DIVISION = Pedal *MIDI_CHANNEL = 3 *MIDI_NOTES = 36, 32\n"
    "*DIVISION = Echo *MIDI_CHANNEL = 4 *MIDI_NOTES = 36, 32\n";

// The records of a list as one byte string, up to its End code.
ByteString joined(const std::vector<ByteString>& records, std::size_t count) {
  ByteString all;
  for (std::size_t i = 0; i < count && i < records.size(); ++i)
    all.insert(all.end(), records[i].begin(), records[i].end());
  return all;
}

class DivisionStatements : public ::testing::Test {
 protected:
  // Compiles the divisions and then the text; expects no message but the module count.
  RunOutput compile(const std::string& text, int modules = 1) {
    compile_ = std::make_unique<InProcessCompile>(Divisions + text + "*END\n");
    RunOutput run = compile_->loadAndGenerate();
    EXPECT_EQ(run.out, "Number of modules is " + std::to_string(modules) + "\n");
    EXPECT_EQ(run.status, -1);
    return run;
  }
  ModuleProgram& program(std::size_t module = 0) {
    return compile_->configuration.modules.at(module)->program;
  }
  std::unique_ptr<InProcessCompile> compile_;
};

TEST_F(DivisionStatements, CouplerOneOctaveUpShiftsByHalfAByte) {
  compile("*NORVO_MODULE *COUPLER (1) Swell TO Great *OFFSET = 12\n");
  // Buffer 0..9 (61 notes in 8 bytes, plus two), Swell's note states 10..17, the
  // destination's bytes 18..25.
  auto records = recordsOf(program().mainList());
  EXPECT_EQ(joined(records, 4), bytes({8, 4, 0, 10,             // SFzeroMem B, W
                                       21, 1,                   // the condition
                                       65, 6, 10, 7, 2, 4,      // one byte up, then 4 bits
                                       66, 7, 1, 8, 18, 0, 36}));  // to Great's channel
  EXPECT_EQ(firstRecord(program().noteList(1), SFmn2bits), bytes({2, 5, 36, 96, 10}));
  EXPECT_EQ(program().truncation[1], 0x3F);  // the source channel is truncated
  EXPECT_EQ(program().truncation[0], 0xFF);
  EXPECT_EQ(compile_->configuration.modules[0]->functionUseMask, UseRelays);
}

TEST_F(DivisionStatements, CouplerDownwardsMovesTheInput) {
  compile("*NORVO_MODULE *COUPLER (1) Swell TO Great *OFFSET = -12\n");
  EXPECT_EQ(firstRecord(program().mainList(), SFcouplerOr), bytes({65, 6, 11, 7, 1, 0xFC}));
}

TEST_F(DivisionStatements, TwoCouplersIntoOneDivisionShareOneBuffer) {
  compile("*NORVO_MODULE\n*COUPLER (1) Swell TO Great\n*COUPLER (2) Pedal TO Great\n");
  auto records = recordsOf(program().mainList());
  // Swell's states 10..17, Pedal's 18..21 (32 notes), the destination 22..29.
  EXPECT_EQ(joined(records, 6), bytes({8, 4, 0, 10, 21, 1, 65, 6, 10, 8, 1, 0, 21, 2, 65, 6,
                                       18, 4, 1, 0, 66, 7, 1, 8, 22, 0, 36}));
  // The rest is the note-state clean-up: the second coupler added nothing.
  EXPECT_EQ(recordsWithCode(program().mainList(), SFcouplerOut).size(), 1u);
  EXPECT_EQ(recordsWithCode(program().mainList(), SFcouplerOr).size(), 2u);
}

// The destinations are grouped by channel; each group clears and uses the same buffer.
TEST_F(DivisionStatements, CouplersIntoTwoDivisionsMakeTwoGroups) {
  compile("*NORVO_MODULE\n*COUPLER (1) Swell TO Great\n*COUPLER (1) Swell TO Pedal\n");
  auto zeroes = recordsWithCode(program().mainList(), SFzeroMem);
  ASSERT_GE(zeroes.size(), 2u);
  EXPECT_EQ(zeroes[0], bytes({8, 4, 0, 10}));
  EXPECT_EQ(zeroes[1], bytes({8, 4, 0, 10}));
  auto outs = recordsWithCode(program().mainList(), SFcouplerOut);
  ASSERT_EQ(outs.size(), 2u);
  EXPECT_EQ(outs[0], bytes({66, 7, 1, 8, 18, 0, 36}));
  EXPECT_EQ(outs[1], bytes({66, 7, 1, 4, 26, 2, 36}));
}

// A group written after a narrower one still fits: the buffer covers every division the
// module's couplers touch.
TEST_F(DivisionStatements, BufferCoversAWiderLaterDestination) {
  compile("*NORVO_MODULE\n*COUPLER (1) Pedal TO Echo\n*COUPLER (1) Pedal TO Great\n");
  EXPECT_EQ(firstRecord(program().mainList(), SFzeroMem), bytes({8, 4, 0, 10}));
}

// Each module collects its couplers in bytes of its own work memory.
TEST_F(DivisionStatements, EachModuleHasItsOwnBuffer) {
  compile(
      "*NORVO_MODULE *INPUT_64 *COUPLER (1) Swell TO Great\n"
      "*NORVO_MODULE *COUPLER (1) Pedal TO Echo\n",
      2);
  // Module 0 reserves 0..7 and its images at 16, 32 and 48: ten bytes first fit at 65.
  EXPECT_EQ(firstRecord(program(0).mainList(), SFzeroMem), bytes({8, 4, 65, 10}));
  EXPECT_EQ(firstRecord(program(1).mainList(), SFzeroMem), bytes({8, 4, 0, 6}));
  EXPECT_TRUE(compile_->configuration.modules[1]->isWorkByteUsed(5));
  EXPECT_EQ(firstRecord(program(1).mainList(), SFcouplerOut), bytes({66, 7, 1, 4, 10, 3, 36}));
}

TEST_F(DivisionStatements, TransposeStoresTheComputedValue) {
  compile("*NORVO_MODULE *TRANSPOSE (3)\n");
  EXPECT_EQ(joined(recordsOf(program().mainList()), 2), bytes({21, 3, 1, 2}));
}

TEST_F(DivisionStatements, SostenutoHoldsTheDivision) {
  compile("*NORVO_MODULE *SOSTENUTO (5) *DIVISION = Great\n");
  // Two bytes per 8 notes at 0..15; the pedal's bit is bit 0 of byte 16.
  EXPECT_EQ(joined(recordsOf(program().mainList()), 2),
            bytes({21, 5, 62, 8, 16, 1, 0, 36, 0, 8}));
  EXPECT_EQ(firstRecord(program().noteList(0), SFmidiSostenuto), bytes({63, 5, 0, 36, 61}));
  EXPECT_EQ(program().truncation[0], 0x3F);
}

TEST_F(DivisionStatements, PizzicatoRecordInTheSourceChannel) {
  compile("*NORVO_MODULE *PIZZ = GreatPizz *DIVISION = Great *MIDI_CHANNEL = 5 *DELAY = 200, 100\n");
  EXPECT_EQ(joined(recordsOf(program().noteList(0)), 2),
            bytes({21, 1, 67, 8, 36, 61, 0x24, 36, 100, 50}));
}

TEST_F(DivisionStatements, ReiterationRatesBecomePeriods) {
  compile("*NORVO_MODULE *REIT = SwellReit *DIVISION = Swell *MIDI_CHANNEL = 6 *RATE = 5, 10 (7)\n");
  EXPECT_EQ(joined(recordsOf(program().noteList(1)), 2),
            bytes({21, 7, 67, 8, 36, 61, 5, 36, 100, 50}));
}

// The name of a pizzicato names a division on the statement's channel, which a relay can
// play like any other.
TEST_F(DivisionStatements, PseudoDivisionPlaysThroughARelay) {
  compile(
      "*NORVO_MODULE *PIZZ = GreatPizz *DIVISION = Great *MIDI_CHANNEL = 5 *DELAY = 50\n"
      "*RELAY *DIVISION = GreatPizz *MIDI_CHANNEL = 9\n");
  auto* pseudo = dynamic_cast<ModInputKbd*>(lookupIdentifier("GreatPizz")->element);
  ASSERT_NE(pseudo, nullptr);
  EXPECT_EQ(pseudo->channel, 4);
  EXPECT_EQ(pseudo->number, 36);
  EXPECT_EQ(pseudo->extension, 61);
  // The relay mirrors the notes of channel 5.
  EXPECT_EQ(firstRecord(program().noteList(4), SFmn2bits), bytes({2, 5, 36, 96, 0}));
}

struct MessageCase {
  const char* name;
  std::string module;
  std::string out;
};

const MessageCase MessageCases[] = {
    {"CouplerPastTheDestination", "*COUPLER (1) Pedal TO Great *OFFSET = 70",
     "cfg:5: Coupler has no effect: The destination notes do not exist in the division\n"
     "Number of modules is 1\n"},
    {"CouplerBelowTheSource", "*COUPLER (1) Pedal TO Great *OFFSET = -40",
     "cfg:5: Coupler has no effect: The destination notes do not exist in the division\n"
     "Number of modules is 1\n"},
    {"CouplerUnknownDivision", "*COUPLER (1) Nope TO Great",
     "cfg:5: Division identifier 'Nope' not defined\n"},
    {"SostenutoWithoutExpression", "*SOSTENUTO *DIVISION = Great",
     "cfg:5: Missing (expression) for Sostenuto\nNumber of modules is 1\n"},
    {"SostenutoWithoutDivision", "*SOSTENUTO (1)",
     "cfg:5: Missing DIVISION for Sostenuto\nNumber of modules is 1\n"},
    {"SostenutoDivisionTwice", "*SOSTENUTO (1) *DIVISION = Great *DIVISION = Swell",
     "cfg:5: Division already set\n"},
    {"DelayLowBelowHigh", "*PIZZ = P *DIVISION = Great *MIDI_CHANNEL = 5 *DELAY = 100, 200",
     "cfg:5: The low delay must not be less than the high delay\n"},
    {"DelayZero", "*PIZZ = P *DIVISION = Great *MIDI_CHANNEL = 5 *DELAY = 0",
     "cfg:5: The high delay must be greater than zero\n"},
    {"DelayTooLong", "*PIZZ = P *DIVISION = Great *MIDI_CHANNEL = 5 *DELAY = 600, 100",
     "cfg:5: The low delay must be less than 511\n"},
    {"RateLowAboveHigh", "*REIT = R *DIVISION = Great *MIDI_CHANNEL = 5 *RATE = 10, 5",
     "cfg:5: The low rate must not be greater than the high rate\n"},
    {"RateLowBelowTwo", "*REIT = R *DIVISION = Great *MIDI_CHANNEL = 5 *RATE = 1, 10",
     "cfg:5: The low rate must be at least two\n"},
    {"RateTooHigh", "*REIT = R *DIVISION = Great *MIDI_CHANNEL = 5 *RATE = 5, 200",
     "cfg:5: The high rate must be less than 100\n"},
    {"PizzWithoutDelay", "*PIZZ = P *DIVISION = Great *MIDI_CHANNEL = 5",
     "cfg:5: *DELAY missing\nNumber of modules is 1\n"},
    {"PizzWithoutDivision", "*PIZZ = P *MIDI_CHANNEL = 5 *DELAY = 9",
     "cfg:5: *DIVISION missing\nNumber of modules is 1\n"},
    {"PizzWithoutChannel", "*PIZZ = P *DIVISION = Great *DELAY = 9",
     "cfg:5: *MIDI_CHANNEL not defined\nNumber of modules is 1\n"},
    {"PizzDivisionTwice", "*PIZZ = P *DIVISION = Great *DIVISION = Swell",
     "cfg:5: Division already set\n"},
    {"PizzOfSomethingElse", "*PIZZ = P *DIVISION = X *DELAY = 9",
     "cfg:5: Division ID 'X' doesn't name a division!\n"},
};

class DivisionMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(DivisionMessages, Reported) {
  const MessageCase& c = GetParam();
  // X names a controller, declared after the divisions so the line numbers stay.
  InProcessCompile compile(Divisions + "*NORVO_MODULE " + c.module + "\n*END\n");
  RunOutput run = compile.loadAndGenerate();
  EXPECT_EQ(run.out, c.out);
}

INSTANTIATE_TEST_SUITE_P(Checks, DivisionMessages, ::testing::ValuesIn(MessageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DivisionListing, LinesOfTheStatements) {
  InProcessCompile compile(Divisions +
                           "*NORVO_MODULE *TRANSPOSE (3)\n*SOSTENUTO (1) *DIVISION = Great\n"
                           "*COUPLER (1) Swell TO Great\n"
                           "*REIT = R *DIVISION = Swell *MIDI_CHANNEL = 6 *RATE = 5, 10\n*END\n");
  compile.load();
  std::string listing = testing_support::printedBy([&] { compile.configuration.print(); });
  EXPECT_EQ(listing,
            "Congifuration:\n"
            "Norvo Module\n"
            "Transpose: 3\n"
            "Sostenuto: 1Division: Bits =  1, 61; Chan =  0, Offset = 36, Name: Great\n\n"
            "Coupler: exp: 1\n"
            "  From: Division: Bits =  1, 61; Chan =  1, Offset = 36, Name: Swell\n"
            "  To:   Division: Bits =  1, 61; Chan =  0, Offset = 36, Name: Great\n"
            "Reiteration: R from Swell, Chan = 5, Times = 200 100 mSec\n"
            "=============\n\n");
}

}  // namespace
}  // namespace plenum
