// The input boards: their places on the module's two chains, the configuration
// commands a KX-64 board is sent, the flags of the plus-5 and hall-effect boards, and
// their listing titles.

#include "plenum/model/input_boards.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plenum/language/compile_in_process.h"
#include "plenum/model/nv_mod.h"

namespace plenum {
namespace {

using testing_support::InProcessCompile;
using testing_support::RunOutput;
using Bytes = std::vector<int>;

struct BoardCase {
  const char* name;
  std::string module;  // the module statement's text after *NORVO_MODULE
  Bytes mainList;
};

// SFsendAltCmd is code 5 and SFsendReset code 6, both (offset, command, value); SFsetFlags
// is code 11 with one flag byte.
const BoardCase BoardCases[] = {
    {"Kx64WithoutOptions", "*KX64", {5, 5, 0, 0xC5, 0x00, 6, 5, 0, 0xC7, 0x00, 0}},
    {"Kx64WithEveryOption",
     "*KX64 *THRESHOLD = 255 *DEBOUNCE = 7 *NO_INVERT *NEGATIVE_VOLTAGE *NO_REF64",
     {5, 5, 0, 0xC5, 0x10, 6, 5, 0, 0xC7, 0x00, 5, 5, 0, 0xC8, 255, 5, 5, 0, 0xCD, 7,
      5, 5, 0, 0xC9, 0x00, 5, 5, 0, 0xCA, 0xFF, 0}},
    {"SecondKx64AtOutputByteTwo", "*KX64 *KX64 *INVERT *POSITIVE_VOLTAGE *THRESHOLD = 1",
     {5, 5, 0, 0xC5, 0x00, 6, 5, 0, 0xC7, 0x00,  //
      5, 5, 2, 0xC5, 0x00, 6, 5, 2, 0xC7, 0x00, 5, 5, 2, 0xC8, 1, 5, 5, 2, 0xC9, 0xFF,
      5, 5, 2, 0xCA, 0x00, 0}},
    {"Kx64AnalogMode", "*KX64_ANALOG", {5, 5, 0, 0xC5, 0x20, 0}},
    {"Kx64AnalogModeWithoutReference", "*KX64_ANALOG *NO_REF64", {5, 5, 0, 0xC5, 0x30, 0}},
    {"Plus5BoardInvertsItsData",
     "*INPUT_64_PLUS5 *INPUT_BIT *BIT = 1 C1N2",
     {11, 3, 0x10, 52, 6, 0, 2, 0x00, 0x01, 0}},
    {"PlainInput64HasNoFlag", "*INPUT_64 *INPUT_BIT *BIT = 1 C1N2", {52, 6, 0, 2, 0x00, 0x01, 0}},
    {"HallBoardFlagComesFirst",
     "*INPUT_HALL_32 *INPUT_BIT *BIT = 32 C1N1 *INPUT_64_PLUS5 *INPUT_BIT *BIT = 1 C1N2",
     {11, 3, 0x40, 52, 6, 3, 1, 0x00, 0x80, 11, 3, 0x10, 52, 6, 4, 2, 0x00, 0x01, 0}},
};

class BoardRecordTest : public testing::TestWithParam<BoardCase> {};

TEST_P(BoardRecordTest, MainListHoldsTheBoardsRecords) {
  const BoardCase& c = GetParam();
  InProcessCompile compile("*NORVO_MODULE " + c.module + "\n*END\n");
  RunOutput run = compile.loadAndGenerate();
  ASSERT_EQ(run.status, -1) << run.out << run.err;
  const ByteString& list = compile.configuration.modules.at(0)->program.mainList();
  EXPECT_EQ(Bytes(list.begin(), list.end()), c.mainList);
}

INSTANTIATE_TEST_SUITE_P(InputBoards, BoardRecordTest, testing::ValuesIn(BoardCases),
                         [](const testing::TestParamInfo<BoardCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(InputBoards, AnalogInputsOfAKx64AreSentAsOneMask) {
  InProcessCompile compile("*NORVO_MODULE *KX64 *THRESHOLD = 9\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  auto* board = dynamic_cast<PbusKx64*>(compile.configuration.modules[0]->boards[0].get());
  ASSERT_NE(board, nullptr);
  board->markAnalogBit(57);
  board->markAnalogBit(64);
  board->markAnalogBit(56);  // not an analog input: ignored
  EXPECT_EQ(board->analogMask, 0x81u);
  compile.configuration.modules[0]->generate();
  const ByteString& list = compile.configuration.modules[0]->program.mainList();
  EXPECT_EQ(Bytes(list.begin(), list.end()),
            (Bytes{5, 5, 0, 0xC5, 0x00, 6, 5, 0, 0xC7, 0x00, 5, 5, 0, 0xC6, 0x81,
                   5, 5, 0, 0xC8, 9, 0}));
}

TEST(InputBoards, ChainFiguresPlaceEachBoardAfterThePreviousOnes) {
  InProcessCompile compile("*NORVO_MODULE *KX64 *INPUT_96\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  NvPbusMod& module = *compile.configuration.modules[0];
  ASSERT_EQ(module.boards.size(), 2u);
  EXPECT_EQ(module.boards[0]->inputOffset, 0);
  EXPECT_EQ(module.boards[0]->outputOffset, 0);
  EXPECT_EQ(module.boards[1]->inputOffset, 2);
  EXPECT_EQ(module.boards[1]->outputOffset, 2);
  EXPECT_EQ(module.chainSize(), 14);
  EXPECT_EQ(module.functionUseMask, 1u);

  struct Figures {
    const char* statement;
    int outputBytes, inputBytes, inputBits, kind;
  } figures[] = {
      {"*KX64", 2, 2, 64, 1},         {"*KX64_ANALOG", 2, 2, 64, 2},
      {"*INPUT_64", 0, 8, 64, 0},     {"*INPUT_64_PLUS5", 0, 8, 64, 0},
      {"*INPUT_96", 0, 12, 96, 0},    {"*INPUT_HALL_32", 0, 4, 32, 0},
      {"*MATRIX_KBD", 0, 2, 61, 3},
  };
  for (const Figures& f : figures) {
    InProcessCompile one(std::string("*NORVO_MODULE ") + f.statement + "\n*END\n");
    ASSERT_EQ(one.load().status, -1) << f.statement;
    const PbusDev& board = *one.configuration.modules[0]->boards[0];
    EXPECT_EQ(board.outputByteCount(), f.outputBytes) << f.statement;
    EXPECT_EQ(board.inputByteCount(), f.inputBytes) << f.statement;
    EXPECT_EQ(board.inputBitCount(), f.inputBits) << f.statement;
    EXPECT_EQ(board.outputBitCount(), 0) << f.statement;
    EXPECT_EQ(board.boardKind(), f.kind) << f.statement;
    EXPECT_EQ(board.functionUse(), 1u) << f.statement;
  }
}

TEST(InputBoards, ListingTitles) {
  InProcessCompile compile(
      "*NORVO_MODULE *KX64 *KX64_ANALOG *INPUT_64 *INPUT_64_PLUS5 *INPUT_96 *INPUT_HALL_32 "
      "*MATRIX_KBD\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  testing::internal::CaptureStdout();
  for (const auto& board : compile.configuration.modules[0]->boards) board->print();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "  KX-64 serial input module\n"
            "  KX-64 serial input module in 64-channel analog input mode\n"
            "  64-bit serial input module\n"
            "  64-bit serial input module\n"
            "  96-bit serial input module\n"
            "  32-bit serial input hall-effect module\n"
            "  Fatar keyboard input module\n");
}

TEST(InputBoards, TheBaseBoardOnlyTracesThatItWasReached) {
  CompilerContextScope scope;
  PbusInputDev board(scope.context().here());
  NvPbusMod module(scope.context().here());
  ModuleProgram& program = module.program;
  testing::internal::CaptureStdout();
  board.print();
  board.generate(program);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("Fixme input_boards:", 0), 0u) << out;
  EXPECT_NE(out.find("\nFixme input_boards:"), std::string::npos) << out;
  EXPECT_TRUE(program.mainList().empty());
}

TEST(InputBoards, OutOfRangeCommandValuesAreProgramFaults) {
  CompilerContextScope scope;
  PbusKx64 board(scope.context().here());
  EXPECT_THROW(board.setInvert(256), ProgramBug);
  EXPECT_THROW(board.setVoltage(300), ProgramBug);
  board.setInvert(255);
  board.setVoltage(0);
  EXPECT_EQ(board.invertSetting, 255);
  EXPECT_EQ(board.voltage, 0);
}

}  // namespace
}  // namespace plenum
