// The MIDI item setters as the parser calls them, with their range and repeat messages
// (reported at the line being read, the value kept anyway), written literals and their
// canonical names, MIDI literals used as names, and the claim tables.

#include <gtest/gtest.h>

#include <string>

#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/language/compile_in_process.h"
#include "plenum/language/identifier_phrases.h"

namespace plenum {
namespace {

using testing_support::InProcessCompile;
using testing_support::RunOutput;

struct SetterCase {
  const char* name;
  std::string statement;  // one line inside an *INPUT_64 board, or a whole file
  std::string out;        // messages, each at the given line
  bool wholeFile = false;
};

std::string inBoard(const std::string& statement) {
  return "*NORVO_MODULE\n*INPUT_64\n" + statement + "\n*END\n";
}

const SetterCase SetterCases[] = {
    {"ChannelZero", "*INPUT_BIT *MIDI_CHANNEL = 0", "3: Midi channel not in range of 1 to 16"},
    {"Channel17", "*INPUT_BIT *MIDI_CHANNEL = 17", "3: Midi channel not in range of 1 to 16"},
    {"Channel16", "*INPUT_BIT *MIDI_CHANNEL = 16", ""},
    {"ChannelTwice", "*INPUT_BIT *MIDI_CHANNEL = 1 *MIDI_CHANNEL = 2",
     "3: Midi Channel already set for this item"},
    {"Note128", "*INPUT_BIT *MIDI_NOTE = 128", "3: Midi note not in range 0 to 127"},
    {"NoteTwice", "*INPUT_BIT *MIDI_NOTE = 1 *MIDI_NOTE = 2",
     "3: Midi Note already set for this item"},
    {"ProgramAfterNote", "*INPUT_BIT *MIDI_NOTE = 60 *PROGRAM_CHANGE = 5",
     "3: Midi Note already set for this item"},
    {"ProgramTwice", "*INPUT_BIT *PROGRAM_CHANGE = 5 *PROGRAM_CHANGE = 6",
     "3: Program number already set for this item"},
    {"Program128", "*INPUT_BIT *PROGRAM_CHANGE = 128", "3: Program number not in range 0 to 127"},
    {"BitTwice", "*INPUT_BIT *BIT = 1 *BIT = 2", "3: Bit already set for this item"},
    {"LiteralChannel17", "*INPUT_BIT C17N5",
     "3: Illegal channel number\n3: Midi channel not in range of 1 to 16"},
    {"LiteralNote128", "*INPUT_BIT C1N128",
     "3: Illegal note number\n3: Midi note not in range 0 to 127"},
    {"LiteralProgram128", "*INPUT_BIT C1P128",
     "3: Illegal program change number\n3: Program number not in range 0 to 127"},
    {"TwoLiterals", "*INPUT_BIT C1N5\nC1N6",
     "4: Midi Channel already set for this item\n4: Midi Note already set for this item"},
    // *BITS = a, b is only complete when the token after it is read (it could go on
    // with a third number), so its messages are at that token's line.
    {"CountZero", "*DIVISION *BITS = 1, 0 C1N1", "3: Count not in range 1 to 127"},
    {"CountAtTheLineOfTheNextToken", "*DIVISION *BITS = 1, 0", "4: Count not in range 1 to 127"},
    {"Count128", "*DIVISION *BITS = 1, 128 C1N1",
     "3: Count not in range 1 to 127\n3: Final bit (begin+count) > 128"},
    {"FinalBitPast128", "*DIVISION *BITS = 100, 29 C1N1", "3: Final bit (begin+count) > 128"},
    {"FinalBit128", "*DIVISION *BITS = 100, 28", ""},
    {"FinalBitOfHugeNumbers", "*DIVISION *BITS = 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF C1N1",
     "3: Count not in range 1 to 127\n3: Final bit (begin+count) > 128\n"
     "3: Final bit (begin+extension) > 128"},
    {"BitsTwice", "*DIVISION *BITS = 1, 5 *BITS = 2, 5 C1N1",
     "3: Bits or Notes already set for this item"},
    {"ExtensionBelowCount", "*DIVISION *BITS = 1, 10, 5",
     "3: Division extension must be as large as division"},
    {"ExtensionPast128", "*DIVISION *BITS = 100, 20, 40", "3: Final bit (begin+extension) > 128"},
    {"ExtensionAccepted", "*DIVISION *BITS = 1, 10, 20", ""},
    {"TruncationChannel", "*MIDI_CHANNEL_TRUNCATE = 0, 5", "1: Midi channel not in range of 1 to 16"},
    {"TruncationValue", "*MIDI_CHANNEL_TRUNCATE = 16, 256", "1: Value not between 0 and 255"},
    {"AllenValues", "*ALLEN_STOP = S 17 128 200 C1N5",
     "3: The channel number must be between 1 and 16\n"
     "3: The controller 99 value must be between 0 and 127\n"
     "3: The controller 98 value must be between 0 and 127"},
    {"AllenChannelZero", "*ALLEN_STOP = S 0 1 1 C1N5",
     "3: The channel number must be between 1 and 16"},
    {"NoteLiteralNameWithBadChannel", "*INPUT_BIT = C17N5",
     "3: Channel number is not valid\n3: Trying to redefine 'C17N5'\n"
     "3: \t(location of previous definition)"},
    {"NoteLiteralNameWithBadNote", "*DIVISION = C1N200",
     "3: Note not in range 0 to 127\n3: Trying to redefine 'C1N200'\n"
     "3: \t(location of previous definition)"},
    {"ProgramLiteralName", "*INPUT_BIT = C1P200",
     "3: Program not in range 0 to 127\n3: Trying to redefine 'C1P200'\n"
     "3: \t(location of previous definition)"},
    {"ControllerLiteralName", "*ALT_ACTION_INPUT = C0C7",
     "3: Channel number is not valid\n3: Trying to redefine 'C0C7'\n"
     "3: \t(location of previous definition)"},
    {"NameTwice", "*INPUT_BIT = Tutti\n*INPUT_BIT = Tutti",
     "4: Trying to redefine 'Tutti'\n3: \t(location of previous definition)"},
    {"NameOptionTwice", "*DIVISION = Great *NAME = Great",
     "3: Trying to redefine 'Great'\n3: \t(location of previous definition)"},
    {"ExternalController128", "*CONTROL *MIDI_CONTROLLER = 128\n*NORVO_MODULE\n*END\n",
     "1: Controller not in range 0 to 127", true},
    {"ExternalControllerTwice", "*CONTROL C1C5 *MIDI_CONTROLLER = 6\n*NORVO_MODULE\n*END\n",
     "1: MIDI Controller already set for this item", true},
    {"ExternalDivisionWithoutNotes",
     "*DIVISION = Solo\n*MIDI_CHANNEL = 1\n*NORVO_MODULE\n*END\n",
     "1: *MIDI_NOTES not defined for *DIVISION", true},
    {"ExternalDivisionWithoutChannel",
     "*DIVISION = Solo *MIDI_NOTES = 36, 61\n*NORVO_MODULE\n*END\n",
     "1: *MIDI_CHANNEL not defined for *DIVISION", true},
    {"ExternalProgramAfterLiteralNote", "*INPUT_BIT C1N5 *PROGRAM_CHANGE = 3\n*NORVO_MODULE\n*END\n",
     "1: Midi Note already set for this item", true},
};

// "3: text" lines to "cfg:3: text" lines.
std::string expectedOutput(const std::string& lines) {
  std::string out;
  std::size_t start = 0;
  while (start < lines.size()) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    out += "cfg:" + lines.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return out;
}

class SetterTest : public testing::TestWithParam<SetterCase> {};

TEST_P(SetterTest, ReportsItsMessagesAtTheLineBeingRead) {
  const SetterCase& c = GetParam();
  InProcessCompile compile(c.wholeFile ? c.statement : inBoard(c.statement));
  RunOutput run = compile.load();
  EXPECT_EQ(run.out, expectedOutput(c.out));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, c.out.empty() ? -1 : 1);
}

INSTANTIATE_TEST_SUITE_P(MidiItems, SetterTest, testing::ValuesIn(SetterCases),
                         [](const testing::TestParamInfo<SetterCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(MidiItems, ASetterKeepsTheValueItReported) {
  InProcessCompile compile(inBoard("*INPUT_BIT = Bad *MIDI_CHANNEL = 17 *MIDI_NOTE = 200"));
  compile.load();
  auto* bit = dynamic_cast<ModInputBit*>(lookupIdentifier("Bad")->element);
  ASSERT_NE(bit, nullptr);
  EXPECT_EQ(bit->channel, 16);
  EXPECT_EQ(bit->number, 200);
}

TEST(Literals, EveryWritingOfALiteralHasOneCanonicalName) {
  struct Case {
    Literal::Kind kind;
    const char* text;
    const char* canonical;
    int channel;
    int number;
  } cases[] = {
      {Literal::Note, "C1N60", "C1N60", 0, 60},
      {Literal::Note, "c01n060", "C1N60", 0, 60},
      {Literal::Controller, "C16c007", "C16C7", 15, 7},
      {Literal::ProgramChange, "c2P0", "C2P0", 1, 0},
  };
  for (const Case& c : cases) {
    CompilerContextScope scope;
    Literal literal(c.kind, c.text, scope.context().here());
    EXPECT_EQ(literal.identifier->name, c.canonical) << c.text;
    EXPECT_EQ(literal.channel, c.channel) << c.text;
    EXPECT_EQ(literal.number, c.number) << c.text;
    EXPECT_EQ(scope.context().diagnosticCount, 0) << c.text;
  }
}

TEST(Literals, NoteLiteralsAsNamesAreImplicitInputBitsPerWrittenText) {
  InProcessCompile compile(
      "*NORVO_MODULE\n*INPUT_64\n*INPUT_BIT = [C1N60, C1N60, C01N060, C3P9, C2C7]\n*END\n");
  compile.load();
  const IdList* list = nullptr;
  for (const auto& element : compile.scope.context().looseElements)
    if (auto* found = dynamic_cast<const IdList*>(element.get())) list = found;
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->entries.size(), 5u);

  auto* first = dynamic_cast<ModInputBit*>(list->entries[0].element);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(list->entries[1].element, first);
  EXPECT_EQ(first->channel, 0);
  EXPECT_EQ(first->number, 60);
  EXPECT_EQ(first->identifier, lookupIdentifier("C1N60"));
  EXPECT_EQ(first->getModule(), nullptr);
  EXPECT_EQ(first->location.line, 3);

  auto* other = dynamic_cast<ModInputBit*>(list->entries[2].element);
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other, first);
  EXPECT_EQ(other->number, 60);

  // Program and controller literals name their item without binding it.
  auto* program = dynamic_cast<ModInputBit*>(list->entries[3].element);
  ASSERT_NE(program, nullptr);
  EXPECT_TRUE(program->programChange);
  EXPECT_EQ(program->channel, 2);
  EXPECT_EQ(program->number, 9);
  EXPECT_EQ(program->identifier, nullptr);
  auto* controller = dynamic_cast<ModInControl*>(list->entries[4].element);
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(controller->channel, 1);
  EXPECT_EQ(controller->controller, 7);
  EXPECT_EQ(controller->identifier, nullptr);
}

TEST(Literals, ALiteralValueCreatesOnlyItsCanonicalName) {
  InProcessCompile compile("*NORVO_MODULE\n*INPUT_64\n*INPUT_BIT *BIT = 1 c01n060\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  const IdentifierRecord* canonical = compile.scope.context().identifiers.find("C1N60");
  ASSERT_NE(canonical, nullptr);
  EXPECT_EQ(canonical->element, nullptr);
  EXPECT_EQ(compile.scope.context().identifiers.find("c01n060"), nullptr);
}

TEST(Claims, ClaimTablesTakeWholeRunsOrNothing) {
  CompilerContextScope scope;
  ModInputBit first(scope.context().here());
  ModInputBit second(scope.context().here());
  EXPECT_EQ(claimNotes(0, 36, first, 61), nullptr);
  EXPECT_EQ(claimNotes(0, 30, second, 7), &first);  // 36 is taken
  EXPECT_EQ(claimNotes(0, 30, second, 6), nullptr);  // 30..35 are free, and nothing was
  EXPECT_EQ(claimNotes(1, 36, second, 1), nullptr);  // held by the failed claim
  EXPECT_EQ(claimNotes(0, 96, second, 1), &first);
  EXPECT_EQ(claimNotes(0, 97, second, 31), nullptr);

  EXPECT_FALSE(claimProgramChanges(3, 5, first, 1));
  EXPECT_TRUE(claimProgramChanges(3, 5, second, 1));
  EXPECT_FALSE(claimControllers(3, 5, first, 1));
  EXPECT_TRUE(claimControllers(3, 5, second, 1));
  // Items never set are refused quietly: their setters have reported them.
  EXPECT_FALSE(claimProgramChanges(-1, 5, first, 1));
  EXPECT_FALSE(claimControllers(0, ModMidiFunction::NumberNotSet, first, 1));
  EXPECT_EQ(scope.context().diagnosticCount, 0);
}

TEST(Claims, ANoteRunOutsideTheTableIsReportedAtTheClaimer) {
  InProcessCompile compile("");
  testing::internal::CaptureStdout();
  ModInputBit claimer(SourceLocation{compile.scope.context().fileName(), 9});
  EXPECT_EQ(claimNotes(16, 0, claimer, 1), nullptr);
  EXPECT_EQ(claimNotes(0, -1, claimer, 1), nullptr);
  EXPECT_EQ(claimNotes(0, 100, claimer, 29), nullptr);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, ":9: Something wrong here: Bad bits\n:9: Something wrong here: Bad bits\n"
                 ":9: Something wrong here: Bad bits\n");
  EXPECT_EQ(compile.scope.context().diagnosticCount, 3);
}

}  // namespace
}  // namespace plenum
