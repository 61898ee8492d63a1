// Output bits, one-of-n outputs, pulses, note, when and MIDI commands compiled from
// configuration text. External items (declared before the modules) are the triggers and
// inputs, so their notes arrive from outside the chain. Work-memory addresses are
// counted by hand from the chain layout of each case.

#include <gtest/gtest.h>

#include <string>

#include "plenum/codegen/codegen_test_support.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/output_bits.h"
#include "plenum/codegen/when_command.h"
#include "plenum/language/compile_in_process.h"
#include "plenum/model/pbus_dev.h"
#include "plenum/runtime/module_types.h"

namespace plenum {
namespace {

using testing_support::bytes;
using testing_support::firstRecord;
using testing_support::InProcessCompile;
using testing_support::recordsOf;
using testing_support::RunOutput;

const std::string Items =
    "*INPUT_BIT = Tab C1N60\n"
    "*INPUT_BIT = S1 C2N10 *INPUT_BIT = S2 C2N11 *INPUT_BIT = S3 C2N12 *INPUT_BIT = Off C2N20\n"
    "*INPUT_BIT = Preset C3P5\n"
    "*CONTROL = Swell C3C7\n";

ByteString joined(const std::vector<ByteString>& records, std::size_t count) {
  ByteString all;
  for (std::size_t i = 0; i < count && i < records.size(); ++i)
    all.insert(all.end(), records[i].begin(), records[i].end());
  return all;
}

class Commands : public ::testing::Test {
 protected:
  RunOutput compile(const std::string& modules, const std::string& expected = "") {
    compile_ = std::make_unique<InProcessCompile>(Items + modules + "*END\n");
    RunOutput run = compile_->loadAndGenerate();
    EXPECT_EQ(run.out, expected + "Number of modules is 1\n");
    EXPECT_EQ(run.err, "");
    return run;
  }
  ModuleProgram& program() { return compile_->configuration.modules.at(0)->program; }
  std::unique_ptr<InProcessCompile> compile_;
};

TEST_F(Commands, OutputBitFollowsItsExpression) {
  // MQ32: chain of 4 bytes; the mirror of Tab is bit 0 of byte 4.
  compile("*NORVO_MODULE *MQ32 *OUTPUT_BIT *BIT = 9 (Tab)\n");
  auto records = recordsOf(program().mainList());
  EXPECT_EQ(firstRecord(program().mainList(), Sldb), bytes({15, 4, 1}));
  EXPECT_EQ(firstRecord(program().mainList(), Sstb), bytes({16, 0x31, 0x80}));
  EXPECT_EQ(firstRecord(program().noteList(0), SFmn2bit), bytes({3, 5, 60, 4, 1}));
  EXPECT_EQ(compile_->configuration.modules[0]->outputBitUse[8], 2);
}

TEST_F(Commands, OutputBitOnSecondBoardAddressesItsBytes) {
  compile("*NORVO_MODULE *MQ32 *MQ32 *OUTPUT_BIT *BIT = 12 (1)\n");
  EXPECT_EQ(firstRecord(program().mainList(), Sstb), bytes({16, 0x35, 0x10}));
  EXPECT_EQ(compile_->configuration.modules[0]->outputBitUse[43], 2);
}

// Ten bits from bit 5: bits 5 to 8 of the first byte, 1 and 2 of the second.
TEST_F(Commands, OneOfNAcrossTwoBytes) {
  compile("*NORVO_MODULE *MQ32 *ONE_OF_N *BITS = 5, 10 *CANCEL = Off *SET = S1 *SET = S2 *SET = S3\n");
  auto records = recordsOf(program().noteList(1));
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0], bytes({77, 9, 20, 0, 1, 0xF0, 0x03, 0, 0}));
  EXPECT_EQ(records[1], bytes({77, 9, 10, 0, 1, 0xF0, 0x03, 0, 0x08}));
  EXPECT_EQ(records[3], bytes({77, 9, 12, 0, 1, 0xF0, 0x03, 0, 0x02}));
  EXPECT_EQ(compile_->configuration.modules[0]->functionUseMask, UseOutputs | UseRelays);
}

TEST_F(Commands, OneOfNWithinOneByte) {
  compile("*NORVO_MODULE *MQ32 *ONE_OF_N *BITS = 2, 3 *SET = S1 *SET = Preset\n");
  EXPECT_EQ(recordsOf(program().noteList(1)).at(0), bytes({77, 9, 10, 0, 0, 0x8F, 0x0F, 0, 0x40}));
  // A program change lights its bit from the program-change list.
  EXPECT_EQ(recordsOf(program().programList(2)).at(0),
            bytes({77, 9, 5, 0, 0, 0x8F, 0x0F, 0, 0x20}));
}

TEST_F(Commands, OneOfNOnSecondBoardCrossingIntoItsSecondByte) {
  compile("*NORVO_MODULE *MQ32 *MQ32 *ONE_OF_N *BITS = 7, 4 *SET = S1 *SET = S2 *SET = S3\n");
  auto records = recordsOf(program().noteList(1));
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0], bytes({77, 9, 10, 4, 1, 0xFC, 0x3F, 4, 0x02}));
  EXPECT_EQ(records[2], bytes({77, 9, 12, 4, 1, 0xFC, 0x3F, 5, 0x80}));
}

TEST_F(Commands, NoteCommandSendsANote) {
  compile("*NORVO_MODULE *SEND_NOTE = Chime (1) C2N61\n");
  EXPECT_EQ(joined(recordsOf(program().mainList()), 2), bytes({21, 1, 64, 6, 0, 1, 1, 61}));
}

TEST_F(Commands, NoteCommandSendsAnInvertedProgramChange) {
  compile("*NORVO_MODULE *SEND_NOTE = Bell (1) C4N9 *SEND_NOTE = Organ (2) C4P9 *INVERT\n");
  EXPECT_EQ(recordsOf(program().mainList()).at(3), bytes({64, 6, 0, 2, 0xC3, 9}));
}

// The when command's code: the trigger number, the test, a branch over the store.
TEST_F(Commands, WhenCommandOnANote) {
  compile("*NORVO_MODULE *WHEN (Tab) Flag = (1)\n");
  EXPECT_EQ(program().noteList(0), bytes({21, 60, 82, 18, 7, 21, 1, 16, 0, 1}));
}

TEST_F(Commands, WhenCommandWithConditionOnAProgramChange) {
  compile("*NORVO_MODULE *WHEN (Preset) *IF (2) Flag = (1)\n");
  EXPECT_EQ(program().programList(2),
            bytes({21, 5, 82, 18, 11, 21, 2, 19, 7, 21, 1, 16, 0, 1}));
}

TEST_F(Commands, WhenCommandOnAControllerStoresAByte) {
  compile("*NORVO_MODULE *WHEN (Swell) *VALUE Level = (9)\n");
  EXPECT_EQ(program().controllerList(2), bytes({21, 7, 82, 18, 6, 21, 9, 22, 0}));
}

// Destination of each forward branch or jump in a list of stack ops.
std::vector<std::size_t> branchTargets(const ByteString& code) {
  std::vector<std::size_t> targets;
  for (std::size_t at = 0; at < code.size();) {
    const RecordInfo* info = findRecord(code[at]);
    if (!info) break;
    if (code[at] == Sbt || code[at] == Sbf) targets.push_back(at + code[at + 1]);
    if (code[at] == Sjt || code[at] == Sjf)
      targets.push_back(at + (static_cast<std::size_t>(code[at + 1]) << 8) + code[at + 2]);
    at += info->framing == RecordFraming::StackOp ? static_cast<std::size_t>(info->minLength)
                                                  : code[at + 1];
  }
  return targets;
}

TEST_F(Commands, WhenCommandWithLongCodeJumpsToItsEnd) {
  std::string sum = "1";
  for (int i = 0; i < 100; ++i) sum += " + 1";
  compile("*NORVO_MODULE *WHEN (Tab) *IF (" + sum + ") Flag = (" + sum + ")\n");
  const ByteString& code = program().noteList(0);
  ASSERT_EQ(code[3], Sjt);
  std::vector<std::size_t> targets = branchTargets(code);
  ASSERT_EQ(targets.size(), 2u);
  EXPECT_EQ(targets[0], code.size());
  EXPECT_EQ(targets[1], code.size());
}

struct MessageForm {
  const char* name;
  std::string message;
  ByteString record;  // SFx2midi
};

const MessageForm MessageForms[] = {
    {"OneByte", "250", bytes({64, 6, 0, 1, 1, 250})},
    {"TwoBytes", "192, 5", bytes({64, 7, 0, 1, 2, 192, 5})},
    {"ThreeBytes", "144, 60, 100", bytes({64, 8, 0, 1, 3, 144, 60, 100})},
    {"NoteLiteral", "C2N60, 100", bytes({64, 8, 0, 1, 3, 0x91, 60, 100})},
    {"ProgramLiteral", "c03p005", bytes({64, 7, 0, 1, 2, 0xC2, 5})},
    {"ControllerLiteral", "C2C7, 100", bytes({64, 8, 0, 1, 3, 0xB1, 7, 100})},
    {"SystemReset", "*SYSTEM_RESET", bytes({64, 6, 0, 1, 1, 0xFF})},
    {"LocalControlOff", "*LOCAL_CONTROL_OFF 2", bytes({64, 8, 0, 1, 3, 0xB1, 122, 0})},
    {"LocalControlOn", "*LOCAL_CONTROL_ON 2", bytes({64, 8, 0, 1, 3, 0xB1, 122, 127})},
    {"AllNotesOff", "*ALL_NOTES_OFF 2", bytes({64, 8, 0, 1, 3, 0xB1, 123, 0})},
    {"OmniModeOff", "*OMNI_MODE_OFF 16", bytes({64, 8, 0, 1, 3, 0xBF, 124, 0})},
    {"OmniModeOn", "*OMNI_MODE_ON 1", bytes({64, 8, 0, 1, 3, 0xB0, 125, 0})},
    {"MonoModeOn", "*MONO_MODE_ON 3, 4", bytes({64, 8, 0, 1, 3, 0xB2, 126, 4})},
    {"PolyModeOn", "*POLY_MODE_ON 3", bytes({64, 8, 0, 1, 3, 0xB2, 127, 0})},
};

class MidiCommandForms : public ::testing::TestWithParam<MessageForm> {};

TEST_P(MidiCommandForms, RecordAfterTheCondition) {
  const MessageForm& c = GetParam();
  InProcessCompile compile("*NORVO_MODULE *MIDI_COMMAND (1) " + c.message + "\n*END\n");
  RunOutput run = compile.loadAndGenerate();
  EXPECT_EQ(run.out, "Number of modules is 1\n");
  EXPECT_EQ(joined(recordsOf(compile.configuration.modules[0]->program.mainList()), 2),
            joined({bytes({21, 1}), c.record}, 2));
}

INSTANTIATE_TEST_SUITE_P(Forms, MidiCommandForms, ::testing::ValuesIn(MessageForms),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Commands, MidiCommandsComeFirstInTheProgram) {
  compile("*NORVO_MODULE *TRANSPOSE (3) *MIDI_COMMAND (1) 250 *MIDI_COMMAND (2) 251\n");
  EXPECT_EQ(joined(recordsOf(program().mainList()), 6),
            bytes({21, 1, 64, 6, 0, 1, 1, 250, 21, 2, 64, 6, 0, 2, 1, 251, 21, 3, 1, 2}));
}

struct MessageCase {
  const char* name;
  std::string modules;
  std::string out;
};

const MessageCase MessageCases[] = {
    {"MidiFirstByte", "*NORVO_MODULE *MIDI_COMMAND (1) 127",
     "cfg:5: The first byte of the MIDI message must be between 128 and 255, inclusive\n"},
    {"MidiSecondByte", "*NORVO_MODULE *MIDI_COMMAND (1) 144, 128",
     "cfg:5: The second byte of the MIDI message must be between 0 and 127, inclusive\n"},
    {"MidiThirdByte", "*NORVO_MODULE *MIDI_COMMAND (1) 144, 60, 200",
     "cfg:5: The third byte of the MIDI message must be between 0 and 127, inclusive\n"},
    {"MidiChannelZero", "*NORVO_MODULE *MIDI_COMMAND (1) *ALL_NOTES_OFF 0",
     "cfg:5: The channel number must be between 1 and 16, inclusive\n"},
    {"MidiChannelOfLiteral", "*NORVO_MODULE *MIDI_COMMAND (1) C17C7, 1",
     "cfg:5: The channel number must be between 1 and 16, inclusive\n"},
    {"MidiChannelFarOutOfRange", "*NORVO_MODULE *MIDI_COMMAND (1) *ALL_NOTES_OFF 99999999999",
     "cfg:5: The channel number must be between 1 and 16, inclusive\n"},
    {"MidiMonoValue", "*NORVO_MODULE *MIDI_COMMAND (1) *MONO_MODE_ON 1, 128",
     "cfg:5: The third byte of the MIDI message must be between 0 and 127, inclusive\n"},
    {"OutputBitTooLarge", "*NORVO_MODULE *RANK_DRIVER_8 *OUTPUT_BIT *BIT = 9 (1)",
     "cfg:5: The bit number is too large\nNumber of modules is 1\n"},
    {"OutputBitUsedTwice", "*NORVO_MODULE *MQ32 *OUTPUT_BIT *BIT = 3 (1) *OUTPUT_BIT *BIT = 3 (0)",
     "cfg:5: This bit has been used previously\nNumber of modules is 1\n"},
    {"OutputBitWithoutExpression", "*NORVO_MODULE *MQ32 *OUTPUT_BIT *BIT = 3",
     "cfg:5: The (expression) for this bit is missing\nNumber of modules is 1\n"},
    {"OutputBitWithoutBit", "*NORVO_MODULE *MQ32 *OUTPUT_BIT (1)",
     "cfg:5: Missing '*bit ='\nNumber of modules is 1\n"},
    {"OutputBitZero", "*NORVO_MODULE *MQ32 *OUTPUT_BIT *BIT = 0 (1)",
     "cfg:5: Bit not greater than zero\n"},
    {"OneOfNBitsTwice", "*NORVO_MODULE *MQ32 *ONE_OF_N *BITS = 0, 1 *BITS = 1, 2",
     "cfg:5: Bit must be greater than zero\ncfg:5: Count must be at least two\n"
     "cfg:5: Bit already set for this item\n"},
    {"OneOfNCancelTwice", "*NORVO_MODULE *MQ32 *ONE_OF_N *BITS = 1, 2 *CANCEL = S1 *CANCEL = S2",
     "cfg:5: The Cancel bit has already been defined\n"},
    {"OneOfNNames", "*NORVO_MODULE *MQ32 *ONE_OF_N *BITS = 1, 2 *CANCEL = Nope *SET = Swell",
     "cfg:5: Identifier for CANCEL not defined\ncfg:5: Not an input bit\n"},
    {"OneOfNBeyondTheBoard", "*NORVO_MODULE *MQ32 *ONE_OF_N *BITS = 30, 4 *SET = S1",
     "cfg:5: The bits extend beyond the end of the output board(s)\nNumber of modules is 1\n"},
    {"NoteCommandInvertedNote", "*NORVO_MODULE *SEND_NOTE = N (1) C1N1 *INVERT",
     "cfg:5: The *INVERT keyword is only applicable to *PROGRAM_CHANGE messages\n"
     "Number of modules is 1\n"},
    {"NoteCommandWithoutNote", "*NORVO_MODULE *SEND_NOTE = N (1) *MIDI_CHANNEL = 1",
     "cfg:5: midi_note not defined\nNumber of modules is 1\n"},
    {"NoteCommandNoteUsedTwice", "*NORVO_MODULE *SEND_NOTE = N (1) C1N1\n*SEND_NOTE = M (1) C1N1",
     "cfg:6: This MIDI note has already been used\ncfg:5: \t(Location of previous use)\n"
     "Number of modules is 1\n"},
    {"NoteCommandProgramUsedTwice",
     "*NORVO_MODULE *SEND_NOTE = N (1) C1P1\n*SEND_NOTE = M (1) C1P1",
     "cfg:6: This program change message has already been used\nNumber of modules is 1\n"},
    {"WhenWithoutTrigger", "*NORVO_MODULE *WHEN (Nope) F = (1)",
     "cfg:5: Nope is not a valid trigger\n"},
    {"WhenOnItsOwnModulesInput",
     "*NORVO_MODULE *INPUT_64 *INPUT_BIT = Key *BIT = 1 C1N70 *WHEN (Key) F = (1)",
     "cfg:5: Key can not be accessed here\nNumber of modules is 1\n"},
    {"WhenOnADivision", "*DIVISION = D *MIDI_CHANNEL = 1 *MIDI_NOTES = 1, 2\n*NORVO_MODULE *WHEN (D) F = (1)",
     // Found at generation, reported where the parser stopped.
     "cfg:7: Program Bug\nNumber of modules is 1\n"},
};

class CommandMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(CommandMessages, Reported) {
  const MessageCase& c = GetParam();
  InProcessCompile compile(Items + c.modules + "\n*END\n");
  RunOutput run = compile.loadAndGenerate();
  EXPECT_EQ(run.out, c.out);
  EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(Checks, CommandMessages, ::testing::ValuesIn(MessageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CommandListing, LinesOfTheStatements) {
  InProcessCompile compile(Items +
                           "*NORVO_MODULE *SEND_NOTE = Chime (1) C2N61\n"
                           "*WHEN (Tab) *IF (Swell) *VALUE Level = (9)\n"
                           "*MQ32 *OUTPUT_BIT *BIT = 9 (Tab) *ONE_OF_N *BITS = 2, 3 *SET = S1\n*END\n");
  compile.load();
  std::string listing = testing_support::printedBy([&] { compile.configuration.print(); });
  EXPECT_NE(listing.find("    bit 9: Tab\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("  One-of-n Output bits\n    Bits 2, 3\n    Cancel: Missing\n"
                         "    Set bits:\n      2:     InputBit: bit  -1, MidiChannel  1, "
                         "MidiNote  10, Name: S1\n"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("Note: MidiChannel  1, MidiNote  61, Name: Chime\n"), std::string::npos)
      << listing;
  EXPECT_NE(listing.find("*when (Tab) *IF (Swell)*value Level = (9)\n"), std::string::npos)
      << listing;
}

// An output board of 32 bits that drives stop tabs or not.
class TabBoard : public PbusDev {
 public:
  explicit TabBoard(bool tabs) : tabs_(tabs) {}
  void print() const override {}
  void generate(ModuleProgram&) override {}
  int outputByteCount() const override { return 4; }
  int outputBitCount() const override { return 32; }
  bool usesCombinationAction() const override { return tabs_; }

 private:
  bool tabs_;
};

class DirectCommands : public ::testing::Test {
 protected:
  void SetUp() override { context().setFileName("cfg"); }
  void TearDown() override { moduleTypes().clear(); }
  CompilerContextScope scope;
};

TEST_F(DirectCommands, PulseSetsItsBitWhenTheNoteArrives) {
  NvPbusMod module;
  module.addDevice(new TabBoard(false));
  auto* board = new TabBoard(true);
  module.addDevice(board);
  ModPulseCmd pulse(context().here(), 10, "C2N40");
  std::string out = testing_support::printedBy([&] { pulse.generate(module.program, board); });
  EXPECT_EQ(out, "");
  EXPECT_EQ(module.program.noteList(1), bytes({4, 5, 40, 0x35, 0x40}));
}

TEST_F(DirectCommands, PulseChecks) {
  NvPbusMod module;
  auto* board = new TabBoard(false);
  module.addDevice(board);
  ModPulseCmd pulse(context().here(), 33, "C2N40");
  std::string out = testing_support::printedBy([&] { pulse.generate(module.program, board); });
  EXPECT_EQ(out,
            "cfg:1: Illegal bit number\n"
            "cfg:1: This is only valid as part of a combination action\n");
  EXPECT_TRUE(module.program.noteList(1).empty());
}

TEST_F(DirectCommands, WhenIsRefusedBesideTheCombinationActionOfATypeAModule) {
  for (char type : {'A', 'B'}) {
    moduleTypes() = {type};
    CompilerContextScope local;
    context().setFileName("cfg");
    auto* tab = keepLoose(std::make_unique<ModInputBit>(context().here()));
    tab->setFromLiteral("C1N60");
    tab->bindName(lookupIdentifier("Tab"), BindDefinition);
    NvPbusMod module;
    module.number = 0;
    module.functionUseMask = UseCombinationAction;
    ModWhenCmd when(context().here(), lookupIdentifier("Tab"), nullptr, lookupIdentifier("F"),
                    new ExpInt(context().here(), 1));
    when.bindTarget(module);
    std::string out = testing_support::printedBy([&] { when.generateInModule(module.program, module); });
    EXPECT_EQ(out, type == 'A' ? "cfg:1: Sorry, *WHEN not compatible with combination action\n" : "");
  }
}

}  // namespace
}  // namespace plenum
