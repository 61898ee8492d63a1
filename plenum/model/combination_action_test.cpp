// The combination action compiled from configuration text: the records and header values
// of each module, and the messages of its statements.

#include "plenum/model/combination_action.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "plenum/codegen/module_program.h"
#include "plenum/language/parser.h"
#include "plenum/model/configuration.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

struct Compiled {
  std::string output;
  bool parsedCleanly = false;
  int exitStatus = -1;  // from ExitRequest; -1 when the run would go on
};

// Parses the text into config and, when it parsed without errors, generates every
// module, capturing what was printed.
Compiled compileText(const std::string& text, Configuration& config) {
  Compiled result;
  context().setFileName("organ.cfg");
  context().currentConfiguration = &config;
  std::FILE* file = std::tmpfile();
  if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size()) {
    ADD_FAILURE() << "could not write the configuration to a temporary file";
    if (file) std::fclose(file);
    return result;
  }
  std::rewind(file);
  ::testing::internal::CaptureStdout();
  try {
    if (parseConfigurationFile(file) == 0 && context().diagnosticCount == 0) {
      result.parsedCleanly = true;
      config.generatePrograms();
    }
  } catch (const ExitRequest& request) {
    result.exitStatus = request.status;
  }
  std::fclose(file);
  result.output = ::testing::internal::GetCapturedStdout();
  return result;
}

class CombinationActionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    moduleTypes().clear();
    resetSettings();
  }
  void TearDown() override { moduleTypes().clear(); }

  std::string compile(const std::string& text) {
    const Compiled result = compileText(text, config);
    parsedCleanly = result.parsedCleanly;
    return result.output;
  }

  ModuleProgram& program(int module) { return config.modules.at(static_cast<std::size_t>(module))->program; }

  CompilerContextScope scope;
  Configuration config;
  bool parsedCleanly = false;
};

// Module 0 holds the buttons and tab contacts, module 1 the tab magnets.
const std::string kConsole =
    "*NORVO_MODULE\n"                                    // 1
    "  *KX64\n"                                          // 2
    "    *INPUT_BIT = Principal *BIT = 1 C6N1\n"         // 3
    "    *INPUT_BIT = Octave *BIT = 2 C6N2\n"            // 4
    "    *INPUT_BIT = General1 *BIT = 17 C7N10\n"        // 5
    "    *INPUT_BIT = General2 *BIT = 18 C7P3\n"         // 6
    "    *INPUT_BIT = SetButton *BIT = 30 C7N30\n"       // 7
    "    *INPUT_BIT = MapButton *BIT = 29 C7N31\n"       // 8
    "    *INPUT_BIT = Toe *BIT = 31 C8N5\n"              // 9
    "    *INCREMENT_DECREMENT = Level *BITS = 32, 33 *RANGE = 0, 7 *INIT = 0 C16C80\n"  // 10
    "*NORVO_MODULE\n"                                    // 11
    "  *MQ64 = Magnets\n";                               // 12

TEST_F(CombinationActionTest, TabDriverGetsButtonsPistonsAndControllerMemorySelect) {
  const std::string out = compile(kConsole +
                                  "*COMBINATION_ACTION *SET = SetButton *MAP = MapButton\n"
                                  "  *PISTON = General1 *PISTON = General2 *MEMORY_SELECT = Level\n"
                                  "  *DUAL_MAG_TAB = Principal *ON = Magnets:1 *OFF = Magnets:2\n"
                                  "  *DUAL_MAG_TAB = Octave *ON = Magnets:3 *OFF = Magnets:4 *REVERSIBLE = Toe\n"
                                  "*END\n");
  ASSERT_TRUE(parsedCleanly) << out;
  const ModuleProgram& p = program(1);
  // Set in bit 0 and map in bit 1 of byte 0x40 (merged into one record), then the note
  // piston; the program-change piston goes to the program-change list.
  const ByteString& seven = p.noteList(6);
  ASSERT_GE(seven.size(), 9u);
  EXPECT_EQ(ByteString(seven.begin(), seven.begin() + 5), (ByteString{SFmn2bits, 5, 30, 31, 0x40}));
  EXPECT_EQ(ByteString(seven.begin() + 5, seven.begin() + 9), (ByteString{SFmn2outPiston, 4, 10, 0}));
  EXPECT_EQ(p.programList(6), (ByteString{SFmn2outPiston, 4, 3, 1}));
  // The memory select: the controller's value lands in a work byte that selects the bank.
  ASSERT_EQ(p.controllerList(15).size(), 4u);
  EXPECT_EQ(p.controllerList(15)[0], SFmc2byte);
  EXPECT_EQ(p.controllerList(15)[2], 80);
  EXPECT_EQ(p.controllerList(15)[3], p.bankByte);
  EXPECT_NE(p.bankByte, 0);
  EXPECT_EQ(p.memBanks, 8);
  // The tab driver's share: two tabs, mag time by default, pistons to a page.
  EXPECT_EQ(p.pistonBytes, 1);
  EXPECT_EQ(p.pistonSize, 2);
  EXPECT_EQ(p.magTime, CombinationAction::DefaultDualMagTime);
  EXPECT_EQ(p.pistons, 64);
  ASSERT_GE(p.translateTable().size(), 4u);
  EXPECT_EQ(ByteString(p.translateTable().begin(), p.translateTable().begin() + 4), (ByteString{2, 1, 4, 3}));
  EXPECT_EQ(p.noteList(7), (ByteString{SFreversible, 7, 5, 0, 2, 4, 3}));
  EXPECT_EQ(program(0).pistons, 0);
  EXPECT_EQ(config.modules[1]->functionUseMask & 10u, 10u);
}

TEST_F(CombinationActionTest, PistonRecordsFollowTheBoardThatRecallsTheTabs) {
  // Lighted stops take part with their own stops; an output board through its tabs.
  const char* tab = "*DUAL_MAG_TAB = T1 *ON = Magnets:1 *OFF = Magnets:2";
  struct Case {
    const char* board;
    const char* tabs;
    RecordCode code;
  } cases[] = {
      {"  *LIGHTED_STOP *COUNT = 1 C3N40\n", "", SFmn2lytPiston},
      {"  *LIGHTED_STOP_32 *COUNT = 1 C3N40\n", "", SFmn2lyt32Piston},
      {"  *MQ32 = Magnets\n", tab, SFmn2outPiston},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.board);
    CompilerContextScope fresh;
    Configuration local;
    const std::string text = std::string("*NORVO_MODULE\n  *KX64\n    *INPUT_BIT = P1 *BIT = 1 C7N10\n") +
                             "    *INPUT_BIT = T1 *BIT = 2 C6N1\n*NORVO_MODULE\n" + c.board +
                             "*COMBINATION_ACTION *PISTON = P1 " + c.tabs + "\n*END\n";
    const Compiled compiled = compileText(text, local);
    const std::string& out = compiled.output;
    ASSERT_TRUE(compiled.parsedCleanly) << out;
    const ByteString& notes = local.modules[1]->program.noteList(6);
    ASSERT_EQ(notes.size(), 4u) << out;
    EXPECT_EQ(notes, (ByteString{c.code, 4, 10, 0})) << out;
    EXPECT_EQ(local.modules[1]->program.memBanks, 1);
  }
}

TEST_F(CombinationActionTest, MemorySelectByExpressionStoresItsValueInTheBankByte) {
  const std::string out = compile(kConsole +
                                  "*COMBINATION_ACTION *PISTON = General1 *MEMORY_SELECT ( 3 )\n"
                                  "  *DUAL_MAG_TAB = Principal *ON = Magnets:1 *OFF = Magnets:2\n"
                                  "*END\n");
  ASSERT_TRUE(parsedCleanly) << out;
  const ModuleProgram& p = program(1);
  const ByteString& main = p.mainList();
  const ByteString store{Ssta, static_cast<std::uint8_t>(p.bankByte)};
  EXPECT_NE(std::search(main.begin(), main.end(), store.begin(), store.end()), main.end());
  EXPECT_EQ(p.controllerList(15).size(), 0u);
  // One bank per value of a 7-bit result; 127 banks of 128 bytes fit a type B module.
  EXPECT_EQ(p.memBanks, 127);
}

TEST_F(CombinationActionTest, ButtonsAndPistonsMustComeFromAnEarlierModule) {
  const std::string out = compile(
      "*NORVO_MODULE\n"                          // 1
      "  *KX64\n"                                // 2
      "    *INPUT_BIT = T1 *BIT = 1 C6N1\n"      // 3
      "    *INPUT_BIT = EarlyMap *BIT = 2 C7N31\n"  // 4
      "*NORVO_MODULE\n"                          // 5
      "  *MQ64 = Magnets\n"                      // 6
      "*NORVO_MODULE\n"                          // 7
      "  *KX64\n"                                // 8
      "    *INPUT_BIT = LateSet *BIT = 1 C7N30\n"     // 9
      "    *INPUT_BIT = LatePiston *BIT = 2 C7N10\n"  // 10
      "*COMBINATION_ACTION *SET = LateSet *MAP = EarlyMap *PISTON = LatePiston\n"
      "  *DUAL_MAG_TAB = T1 *ON = Magnets:1 *OFF = Magnets:2\n"
      "*END\n");
  EXPECT_EQ(out,
            "organ.cfg:6: The SET bit must be defined before it is used\n"
            "organ.cfg:9:   (location of SET bit definition)\n"
            "organ.cfg:6: LatePiston must be defined before it is used\n"
            "organ.cfg:10:   (location of LatePiston definition)\n"
            "Number of modules is 3\n");
}

TEST_F(CombinationActionTest, StatementMessages) {
  struct Case {
    const char* statement;
    const char* message;
  } cases[] = {
      {"*COMBINATION_ACTION *SET = Nobody", "Identifier for SET not defined"},
      {"*COMBINATION_ACTION *SET = Level", "Not an input bit"},
      {"*COMBINATION_ACTION *SET = General2", "Set bit may not be a program change message"},
      {"*COMBINATION_ACTION *SET = SetButton *SET = MapButton", "The Set bit has already been defined"},
      {"*COMBINATION_ACTION *MAP = Nobody", "Identifier for MAP not defined"},
      {"*COMBINATION_ACTION *MAP = General2", "Map bit may not be a program change message"},
      {"*COMBINATION_ACTION *PISTON = Nobody", "Identifier 'Nobody' not defined"},
      {"*COMBINATION_ACTION *PISTON = Magnets", "Identifier 'Magnets' is not an input bit"},
      {"*COMBINATION_ACTION *MEMORY_SELECT = Toe", "Identifier 'Toe' is not a controller"},
      {"*COMBINATION_ACTION *DUAL_MAG_TIME = 0", "Dual mag time not between 1 and 255 mSec"},
      {"*COMBINATION_ACTION *DUAL_MAG_TIME = 256", "Dual mag time not between 1 and 255 mSec"},
      {"*COMBINATION_ACTION *DUAL_MAG_TAB = Nobody", "The identifier 'Nobody' for this dual mag tab is not defined"},
      {"*COMBINATION_ACTION *DUAL_MAG_TAB = Level", "The identifier for this dual mag tab is not an input bit"},
      {"*COMBINATION_ACTION *DUAL_MAG_TAB = General2", "Tab bits may not be program change messages"},
      {"*COMBINATION_ACTION *DMT = Principal *NAME = Octave", "The bit for this Dual Mag Tab has already been named"},
      {"*COMBINATION_ACTION *DMT = Principal *REVERSIBLE = Nobody", "The reversible identifier 'Nobody' is not defined"},
      {"*COMBINATION_ACTION *DMT = Principal *REVERSIBLE = Level",
       "The reversible identifier does not name an input bit"},
      {"*COMBINATION_ACTION *DMT = Principal *ON = Magnets:0", "Bit not greater than zero"},
      {"*COMBINATION_ACTION *DMT = Principal *ON = Nowhere:1", "'Nowhere' not defined"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    CompilerContextScope fresh;
    Configuration local;
    const std::string out = compileText(kConsole + c.statement + "\n*END\n", local).output;
    EXPECT_EQ(out, std::string("organ.cfg:13: ") + c.message + "\n");
    EXPECT_EQ(context().diagnosticCount, 1);
  }
}

TEST_F(CombinationActionTest, DualMagTimeGoesIntoTheHeaderAndALaterStatementReplacesAnEarlierOne) {
  const std::string out = compile(kConsole +
                                  "*COMBINATION_ACTION *PISTON = General1 *DUAL_MAG_TIME = 20\n"
                                  "  *DUAL_MAG_TAB = Principal *ON = Magnets:1 *OFF = Magnets:2\n"
                                  "*COMBINATION_ACTION *PISTON = General1 *DUAL_MAG_TIME = 80\n"
                                  "  *DUAL_MAG_TAB = Octave *ON = Magnets:3 *OFF = Magnets:4\n"
                                  "*END\n");
  ASSERT_TRUE(parsedCleanly) << out;
  EXPECT_EQ(program(1).magTime, 80);
  ASSERT_GE(program(1).translateTable().size(), 2u);
  EXPECT_EQ(program(1).translateTable()[0], 4);
  EXPECT_EQ(program(1).translateTable()[1], 3);
  ASSERT_NE(config.combinationAction(), nullptr);
  EXPECT_EQ(config.combinationAction()->tabs.size(), 1u);
}

// A tab driver keeps bytes 73 to 136 for the combination action, also when its locals
// were read before the combination action statement: work bits for the MIDI commands
// then run out below byte 73 instead of spilling into the reserved bytes.
TEST_F(CombinationActionTest, LocalsReadBeforeTheStatementLeaveTheReservedBytesAlone) {
  struct Case {
    int commands;
    bool outOfMemory;
  };
  for (const Case c : {Case{200, false}, Case{400, true}}) {
    SCOPED_TRACE(c.commands);
    CompilerContextScope fresh;
    Configuration local;
    std::string text = kConsole + "  *VALUE Early = (1)\n";
    for (int i = 0; i < c.commands; ++i) text += "  *MIDI_COMMAND (Early) 0xB0, 7, 100\n";
    text += "*COMBINATION_ACTION *PISTON = General1\n"
            "  *DUAL_MAG_TAB = Principal *ON = Magnets:1 *OFF = Magnets:2\n*END\n";
    const Compiled compiled = compileText(text, local);
    ASSERT_TRUE(compiled.parsedCleanly) << compiled.output;
    EXPECT_EQ(compiled.output.find("Out of Norvo module memory resources") != std::string::npos,
              c.outOfMemory)
        << compiled.output;
  }
}

// A blind combination action in module 1 whose tabs are the inputs T1..Tn of module 0.
std::string blindConsole(int tabs, const std::string& options, const std::string& extraBoard = "") {
  std::string text;
  for (int i = 1; i <= tabs; ++i) text += "*INPUT_BIT = T" + std::to_string(i) + " C" + std::to_string(1 + (i - 1) / 64) + "N" + std::to_string((i - 1) % 64) + "\n";
  text += "*NORVO_MODULE\n  *KX64\n    *INPUT_BIT = SetB *BIT = 1 C9N1\n    *INPUT_BIT = CancelB *BIT = 2 C9N2\n"
          "    *INPUT_BIT = P1 *BIT = 3 C9N3\n    *INPUT_BIT = P2 *BIT = 4 C9P4\n";
  text += "*NORVO_MODULE\n" + extraBoard + "  *BLIND_COMBINATION_ACTION *SET = SetB *CANCEL = CancelB *PISTON = P1 *PISTON = P2\n";
  for (int i = 1; i <= tabs; ++i) text += "    *TAB = T" + std::to_string(i) + "\n";
  return text + options + "*END\n";
}

TEST_F(CombinationActionTest, BlindActionKeepsEveryTabStateTwice) {
  const std::string out = compile(blindConsole(128, "    *ADDITIVE\n"));
  ASSERT_TRUE(parsedCleanly) << out;
  EXPECT_EQ(out.find("Out of bits?"), std::string::npos) << out;
  const ModuleProgram& p = program(1);
  EXPECT_EQ(p.pistonBytes, 16);
  EXPECT_EQ(p.pistonSize, 32);
  EXPECT_EQ(p.pistons, 4);  // 2 x 32 bytes rounded up to a 128-byte page
  EXPECT_EQ(p.memBanks, 1);
  // Channel 1: tabs 0..63 in bytes 0..7, and the copy in bytes 32..39.
  EXPECT_EQ(p.noteList(0), (ByteString{SFmn2bits, 5, 0, 63, 0, SFmn2bits, 5, 0, 63, 32}));
  EXPECT_EQ(p.noteList(1), (ByteString{SFmn2bits, 5, 0, 63, 8, SFmn2bits, 5, 0, 63, 40}));
  ASSERT_EQ(p.translateTable().size(), 256u);
  EXPECT_EQ(p.translateTable()[0], 1);
  EXPECT_EQ(p.translateTable()[255], 63);
  // The set button in byte 0x40; cancel, then the pistons, additive but not the cancel.
  EXPECT_EQ(p.noteList(8), (ByteString{SFmn2bit, 5, 1, 0x40, 0x01, SblindPiston, 5, 2, 0, 1, SblindPiston, 5, 3, 0, 2}));
  EXPECT_EQ(p.programList(8), (ByteString{SblindPiston, 5, 4, 1, 2}));
  EXPECT_TRUE(config.modules[1]->isWorkByteUsed(32 + 15));
  EXPECT_EQ(config.modules[1]->functionUseMask & 10u, 10u);
}

TEST_F(CombinationActionTest, BlindActionTabLimits) {
  std::string out = compile(blindConsole(129, ""));
  EXPECT_NE(out.find("The maximum number of tabs is 128\n"), std::string::npos) << out;
  EXPECT_EQ(program(1).noteList(0).size(), 0u);
  EXPECT_EQ(program(1).pistonBytes, 17);
}

TEST_F(CombinationActionTest, BlindActionWithoutTabsOrButtons) {
  const std::string out = compile(
      "*NORVO_MODULE\n  *BLIND_COMBINATION_ACTION *ADDITIVE\n*END\n");
  EXPECT_NE(out.find("organ.cfg:2: There are no tabs defined!\n"), std::string::npos) << out;
  EXPECT_NE(out.find("organ.cfg:2: No SET bit has been defined!\n"), std::string::npos) << out;
  EXPECT_NE(out.find("organ.cfg:2: No CANCEL bit has been defined!\n"), std::string::npos) << out;
  EXPECT_NE(out.find("organ.cfg:2: There are no pistons defined!\n"), std::string::npos) << out;
}

TEST_F(CombinationActionTest, BlindActionMustHaveItsModuleToItself) {
  const std::string out = compile(blindConsole(2, "", "  *MQ32\n"));
  EXPECT_NE(out.find("Other functions may not be combined with BLIND_COMBINATION_ACTION\n"), std::string::npos)
      << out;
}

TEST_F(CombinationActionTest, BlindStatementMessages) {
  struct Case {
    const char* option;
    const char* message;
  } cases[] = {
      {"*CANCEL = Nobody", "Identifier 'Nobody' for CANCEL not defined"},
      {"*CANCEL = SetB", "The Cancel bit has already been defined"},
      {"*TAB = Nobody", "Identifier 'Nobody' not defined"},
      {"*TAB = P2", "Tab may not be a program change message"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    CompilerContextScope fresh;
    Configuration local;
    std::string text = blindConsole(1, "");
    text.insert(text.rfind("*END"), std::string("    ") + c.option + "\n");
    const std::string out = compileText(text, local).output;
    EXPECT_NE(out.find(c.message), std::string::npos) << out;
    EXPECT_EQ(context().diagnosticCount, 1) << out;
  }
}

// The program keeps the piston memories, rounded up to whole pages, and every piston's
// number in one byte each: a count that would wrap is refused at the statement.
TEST_F(CombinationActionTest, PistonMemoriesMustFitTheirByte) {
  auto tabDriverWith = [](int pistons) {
    std::string text = kConsole + "*COMBINATION_ACTION *SET = SetButton\n";
    for (int i = 0; i < pistons; ++i) text += "  *PISTON = General1\n";
    return text + "  *DUAL_MAG_TAB = Principal *ON = Magnets:1 *OFF = Magnets:2\n*END\n";
  };
  auto blindWith = [](int pistons) {
    std::string more;
    for (int i = 2; i < pistons; ++i) more += "    *PISTON = P1\n";
    return blindConsole(128, more);
  };
  struct Case {
    bool blind;
    int pistons;
    int module;
    int memories;        // the header value when accepted
    const char* report;  // empty when accepted
  };
  const Case cases[] = {
      // Two-byte memories on 128-byte pages: 64 to a page.
      {false, 192, 1, 192, ""},
      {false, 193, 1, 0, "organ.cfg:13: There are 193 pistons, but the program of module 1 holds at most 192\n"},
      // 32-byte memories: 4 to a page.
      {true, 252, 1, 252, ""},
      {true, 253, 1, 0, "organ.cfg:136: There are 253 pistons, but the program of module 1 holds at most 252\n"},
  };
  for (const Case& c : cases) {
    CompilerContextScope fresh;
    Configuration own;
    const Compiled result = compileText(c.blind ? blindWith(c.pistons) : tabDriverWith(c.pistons), own);
    ASSERT_TRUE(result.parsedCleanly) << result.output;
    const ModuleProgram& p = own.modules.at(static_cast<std::size_t>(c.module))->program;
    if (*c.report == '\0') {
      EXPECT_EQ(result.output.find("pistons, but"), std::string::npos) << result.output;
      EXPECT_EQ(p.pistons, c.memories);
      EXPECT_EQ(p.image().at(HeaderValuesOffset + 3), c.memories);
    } else {
      EXPECT_NE(result.output.find(c.report), std::string::npos) << c.pistons << "\n" << result.output;
    }
  }
}

}  // namespace
}  // namespace plenum
