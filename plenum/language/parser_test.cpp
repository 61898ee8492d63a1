// The declarations grammar read through the load step: what a file is, where options
// go, the syntax-error messages with their recovery, and the error limit shared with
// the semantic checks.

#include <gtest/gtest.h>

#include <string>

#include "plenum/codegen/input_bits.h"
#include "plenum/language/compile_in_process.h"
#include "plenum/language/file_streams_testing.h"
#include "plenum/language/identifier_phrases.h"
#include "plenum/language/parser.h"
#include "plenum/model/input_boards.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

using testing_support::InProcessCompile;
using testing_support::RunOutput;

struct ParseCase {
  const char* name;
  std::string text;
  std::string out;
  std::string err;
  int status;  // -1: the load step returned
};

std::string repeat(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

// Three shifted tokens after each error, so every '=' is reported.
const std::string ErrorLine = "*BREAK *BREAK *BREAK =\n";
const std::string ThresholdLine = "*THRESHOLD = 0\n";

std::string lines(int first, int last, const std::string& message) {
  std::string text;
  for (int line = first; line <= last; ++line)
    text += "cfg:" + std::to_string(line) + ": " + message + "\n";
  return text;
}

const ParseCase ParseCases[] = {
    {"DeviceCommandAloneIsAFile", "*MIDI_OUTPUT_DEVICE = 3\n*END\n", "", "", -1},
    {"TextAfterEndIsNeverRead", "*NORVO_MODULE\n*END\n\" | ] *KX64 = 'x\n", "", "", -1},
    {"BreakChangesNothing", "*NORVO_MODULE *BREAK *BREAK\n*END\n", "", "", -1},
    {"MissingEndFailsAtTheEnd", "*NORVO_MODULE\n*BREAK\n", "",
     "cfg:3: syntax error, unexpected end of file\n", 1},
    {"EmptyFile", "", "", "cfg:1: syntax error, unexpected end of file\n", 1},
    {"ModulesComeAfterExternalItems", "*NORVO_MODULE\n*INPUT_BIT C1N60\n*END\n", "",
     "cfg:2: syntax error, unexpected INPUT_BIT\n", 1},
    {"OneExpectedToken", "*NORVO_MODULE\n*KX64 *THRESHOLD 5\n*END\n", "",
     "cfg:2: syntax error, unexpected INT, expecting '='\n", 1},
    {"FourExpectedTokensInDeclarationOrder",
     "*NORVO_MODULE\n*INPUT_64 *DIVISION = *MIDI_CHANNEL = 1\n*END\n", "",
     "cfg:2: syntax error, unexpected MIDI_CHANNEL, expecting ID or L_NOTE or L_CONTROLLER "
     "or L_PCHANGE\n",
     1},
    {"CommaExpected", "*NORVO_MODULE\n*MIDI_CHANNEL_TRUNCATE = 1 2\n*END\n", "",
     "cfg:2: syntax error, unexpected INT, expecting ','\n", 1},
    {"NoteLiteralExpected", "*NORVO_MODULE\n*ALLEN_STOP = Stop 1 2 3 C1C7\n*END\n", "",
     "cfg:2: syntax error, unexpected L_CONTROLLER, expecting L_NOTE\n", 1},
    {"BitsNeedTheirCount", "*NORVO_MODULE *INPUT_96\n*DIVISION *BITS = 1\n*END\n", "",
     "cfg:3: syntax error, unexpected END, expecting ','\n", 1},
    {"ExternalItemsRecoverAndAreStillFinished",
     "*INPUT_BIT = A *MIDI_CHANNEL 1 C1N5\n*DIVISION = B *MIDI_NOTES 36, 61\n*NORVO_MODULE\n*END\n",
     "cfg:2: *MIDI_NOTES not defined for *DIVISION\ncfg:2: *MIDI_CHANNEL not defined for *DIVISION\n",
     "cfg:1: syntax error, unexpected INT, expecting '='\n"
     "cfg:2: syntax error, unexpected INT, expecting '='\n",
     1},
    // Inside the braces of an LCD condition an item, a mode or the closing brace may
    // follow: more than four tokens, so none is named.
    {"LcdBracesAfterAnItemNameNoToken",
     "*NORVO_MODULE\n*SERIAL_LCD *IF (1) { *LINE 1\n*END\n", "",
     "cfg:3: syntax error, unexpected END\n", 1},
    {"EmptyLcdBracesNameNoToken", "*NORVO_MODULE\n*SERIAL_LCD *IF (1) {\n*END\n", "",
     "cfg:3: syntax error, unexpected END\n", 1},
    {"LcdBracesMayBeEmpty", "*NORVO_MODULE\n*SERIAL_LCD *IF (1) { } *ELSE { }\n*END\n", "", "",
     -1},
    {"InvalidToken", "*NORVO_MODULE\n*KX64 . *DEBOUNCE = 3\n*END\n", "",
     "cfg:2: syntax error, unexpected invalid token\n", 1},
    {"MisspeltKeywordIsReportedOnce",
     "*NORVO_MODULE\n*KX64 *THRESHOL = 5 *BITS = 1, 2\n*DEBOUNCE = 4\n*END\n", "",
     "cfg:2: syntax error, unexpected '*'\n", 1},
    {"BoardOptionOutsideItsBoard", "*NORVO_MODULE\n*THRESHOLD = 4\n*END\n", "",
     "cfg:2: syntax error, unexpected THRESHOLD\n", 1},
    {"SixSyntaxErrorsAreAllShownThenTheParseStops",
     "*NORVO_MODULE\n" + repeat(ErrorLine, 8) + "*END\n", "",
     lines(2, 7, "syntax error, unexpected '='"), 1},
    {"FiveSyntaxErrorsThenASemanticErrorEndsUnshown",
     "*NORVO_MODULE\n" + repeat(ErrorLine, 5) + "*KX64 " + ThresholdLine + "*END\n", "",
     lines(2, 6, "syntax error, unexpected '='"), 1},
    {"FiveSemanticErrorsAreShownAndFailTheLoad",
     "*NORVO_MODULE\n*KX64\n" + repeat(ThresholdLine, 5) + "*END\n",
     lines(3, 7, "Threshold must be between 1 and 255"), "", 1},
    {"TheSixthSemanticErrorEndsTheRunUnshown",
     "*NORVO_MODULE\n*KX64\n" + repeat(ThresholdLine, 7) + "*END\n",
     lines(3, 7, "Threshold must be between 1 and 255"), "", 1},
    {"ASyntaxErrorAfterFiveSemanticErrorsIsShownAndStopsTheParse",
     "*NORVO_MODULE\n*KX64\n" + repeat(ThresholdLine, 5) + "*DEBOUNCE 2\n" +
         repeat(ThresholdLine, 3) + "*END\n",
     lines(3, 7, "Threshold must be between 1 and 255"),
     "cfg:8: syntax error, unexpected INT, expecting '='\n", 1},
    {"IdListUnderABoardIsRefusedAndItsOptionsSkipped",
     "*NORVO_MODULE\n*INPUT_64\n*INPUT_BIT = [Alpha, C1N60] *BIT = 300 *MIDI_CHANNEL = 99\n"
     "*INPUT_BIT = Beta *BIT = 4 C1N61\n*END\n",
     "cfg:3: *INPUT_BIT = [ ... ] (a list of names) is not supported\n", "", 1},
    {"ExternalIdListIsRefused", "*INPUT_BIT = [Alpha] *MIDI_CHANNEL = 1\n*NORVO_MODULE\n*END\n",
     "cfg:1: *INPUT_BIT = [ ... ] (a list of names) is not supported\n", "", 1},
};

class ParseCaseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseCaseTest, ShowsExactlyItsMessagesAndEndsWithItsStatus) {
  const ParseCase& c = GetParam();
  InProcessCompile compile(c.text);
  RunOutput run = compile.load();
  EXPECT_EQ(run.out, c.out);
  EXPECT_EQ(run.err, c.err);
  EXPECT_EQ(run.status, c.status);
}

INSTANTIATE_TEST_SUITE_P(Grammar, ParseCaseTest, testing::ValuesIn(ParseCases),
                         [](const testing::TestParamInfo<ParseCase>& info) {
                           return std::string(info.param.name);
                         });

template <class T>
T& boardAt(InProcessCompile& compile, std::size_t module, std::size_t board) {
  auto* found = dynamic_cast<T*>(compile.configuration.modules.at(module)->boards.at(board).get());
  if (!found) throw std::runtime_error("board of another class");
  return *found;
}

template <class T>
T& itemAt(PbusDev& board, std::size_t item) {
  auto* found = dynamic_cast<T*>(board.items.at(item).get());
  if (!found) throw std::runtime_error("item of another class");
  return *found;
}

TEST(GrammarRecovery, OptionsAfterTheSkippedTokensStillReachTheBoard) {
  InProcessCompile compile("*NORVO_MODULE\n*KX64 *THRESHOL = 5\n*DEBOUNCE = 4\n*END\n");
  EXPECT_EQ(compile.load().status, 1);
  auto& board = boardAt<PbusKx64>(compile, 0, 0);
  EXPECT_EQ(board.debounce, 4);
  EXPECT_EQ(board.threshold, -1);
}

TEST(GrammarRecovery, ADeclarationKeepsWhatItHadBeforeTheError) {
  InProcessCompile compile(
      "*NORVO_MODULE\n*INPUT_64\n*INPUT_BIT = Sw *MIDI_CHANNEL = 2 *BIT 3\n"
      "*INPUT_BIT = Sw2 *BIT = 4\n*END\n");
  RunOutput run = compile.load();
  EXPECT_EQ(run.err, "cfg:3: syntax error, unexpected INT, expecting '='\n");
  auto& board = boardAt<PbusIn64>(compile, 0, 0);
  ASSERT_EQ(board.items.size(), 2u);
  EXPECT_EQ(itemAt<ModInputBit>(board, 0).channel, 1);
  EXPECT_EQ(itemAt<ModInputBit>(board, 0).bit, -1);
  EXPECT_EQ(itemAt<ModInputBit>(board, 1).bit, 4);
}

TEST(GrammarRecovery, TheIdListIsKeptWithTheElementsItsNamesHad) {
  InProcessCompile compile(
      "*INPUT_BIT = Known C1N5\n*NORVO_MODULE\n*INPUT_64\n"
      "*INPUT_BIT = [Known, Unknown, C2N7] *BIT = 1\n*END\n");
  compile.load();
  const IdList* list = nullptr;
  for (const auto& element : compile.scope.context().looseElements)
    if (auto* found = dynamic_cast<const IdList*>(element.get())) list = found;
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->entries.size(), 3u);
  EXPECT_EQ(list->entries[0].name, "Known");
  EXPECT_NE(list->entries[0].element, nullptr);
  EXPECT_EQ(list->entries[1].name, "Unknown");
  EXPECT_EQ(list->entries[1].element, nullptr);
  EXPECT_EQ(list->entries[2].name, "C2N7");
  EXPECT_NE(dynamic_cast<ModInputBit*>(list->entries[2].element), nullptr);
  EXPECT_EQ(list->location.line, 4);
}

TEST(GrammarShape, AnOptionAfterADeclarationBelongsToTheDeclaration) {
  InProcessCompile compile(
      "*NORVO_MODULE\n*INPUT_64 *INVERT\n*INPUT_BIT = A *BIT = 1 C1N60 *INVERT\n"
      "*KX64 *INPUT_BIT = B *BIT = 2 C1N61 *INVERT\n*INVERT\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  auto& input64 = boardAt<PbusIn64>(compile, 0, 0);
  EXPECT_TRUE(input64.invert);
  EXPECT_TRUE(itemAt<ModInputBit>(input64, 0).invert);
  auto& kx64 = boardAt<PbusKx64>(compile, 0, 1);
  EXPECT_TRUE(itemAt<ModInputBit>(kx64, 0).invert);
  EXPECT_EQ(kx64.invertSetting, -1);
}

TEST(GrammarShape, BoardsGoToTheirModuleInStatementOrder) {
  InProcessCompile compile(
      "*MIDI_INPUT_DEVICE = 4\n*NORVO_MODULE *INPUT_64_PLUS5 *INPUT_96\n"
      "*MIDI_OUTPUT_DEVICE = 5\n*NORVO_MODULE_B *MATRIX_KBD *INPUT_HALL_32 *KX64_ANALOG\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  ASSERT_EQ(compile.configuration.modules.size(), 2u);
  EXPECT_TRUE(boardAt<PbusIn64>(compile, 0, 0).plus5);
  boardAt<PbusIn96>(compile, 0, 1);
  boardAt<PbusFatar>(compile, 1, 0);
  boardAt<PbusInHall32>(compile, 1, 1);
  boardAt<PbusKx64A64>(compile, 1, 2);
  EXPECT_EQ(compile.configuration.modules[1]->number, 1);
  EXPECT_EQ(settings().inputDevice, 4);
  EXPECT_EQ(settings().outputDevice, 5);
}

TEST(GrammarShape, ExternalItemsBelongToNoModule) {
  InProcessCompile compile(
      "*DIVISION = Solo *MIDI_CHANNEL = 4 *MIDI_NOTES = 36, 61\n*INPUT_BIT = Tutti C1P7\n"
      "*CONTROL = Swell C2C11\n*NORVO_MODULE\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  auto* solo = dynamic_cast<ModInputKbd*>(lookupIdentifier("Solo")->element);
  ASSERT_NE(solo, nullptr);
  EXPECT_EQ(solo->channel, 3);
  EXPECT_EQ(solo->number, 36);
  EXPECT_EQ(solo->firstBit, 1);
  EXPECT_EQ(solo->count, 61);
  EXPECT_EQ(solo->getModule(), nullptr);
  EXPECT_TRUE(solo->isAvailableIn(0));
  auto* tutti = dynamic_cast<ModInputBit*>(lookupIdentifier("Tutti")->element);
  ASSERT_NE(tutti, nullptr);
  EXPECT_TRUE(tutti->programChange);
  EXPECT_EQ(tutti->number, 7);
  EXPECT_NE(lookupIdentifier("Swell")->element, nullptr);
}

TEST(GrammarShape, TheTruncationChannelIsWrittenFromOne) {
  InProcessCompile compile("*NORVO_MODULE *MIDI_CHANNEL_TRUNCATE = 3, 100\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  EXPECT_EQ(compile.configuration.modules[0]->program.truncation[2], 100);
  EXPECT_EQ(compile.configuration.modules[0]->program.truncation[3], 255);
}

struct ControlPlace {
  const char* name;
  std::string text;
  std::size_t boardItems;       // items of the last board
  std::size_t moduleFunctions;  // functions written directly in the module
};

// A *CONTROL continues the board before it when that board takes controls; otherwise it
// is a controller statement of the module.
const ControlPlace ControlPlaces[] = {
    {"AfterAnInputBoardsDeclaration",
     "*NORVO_MODULE\n*INPUT_64\n*INPUT_BIT *BIT = 1 C1N1\n*CONTROL = Volume C1C7\n*END\n", 2, 0},
    {"DirectlyAfterAnInputBoard", "*NORVO_MODULE\n*KX64_ANALOG\n*CONTROL = Volume C1C7\n*END\n", 1,
     0},
    {"BeforeAnyBoard", "*NORVO_MODULE\n*CONTROL = Volume C1C7\n*INPUT_96\n*END\n", 0, 1},
    {"AfterAModuleLevelStatement",
     "*NORVO_MODULE\n*INPUT_96\n*ALLEN_STOP = Horn 1 2 3 C1N5\n*CONTROL = Volume C1C7\n*END\n", 0,
     2},
    {"AfterAnOutputBoard",
     "*NORVO_MODULE\n*INPUT_96\n*MQ32 = Lamps\n*CONTROL = Volume C1C7\n*END\n", 0, 1},
};

class ControlPlaceTest : public testing::TestWithParam<ControlPlace> {};

TEST_P(ControlPlaceTest, GoesToTheBoardOrToTheModule) {
  const ControlPlace& c = GetParam();
  InProcessCompile compile(c.text);
  RunOutput run = compile.load();
  ASSERT_EQ(run.status, -1) << run.out << run.err;
  const NvPbusMod& module = *compile.configuration.modules.at(0);
  ASSERT_FALSE(module.boards.empty());
  EXPECT_EQ(module.boards.back()->items.size(), c.boardItems);
  EXPECT_EQ(module.functions.size(), c.moduleFunctions);
}

INSTANTIATE_TEST_SUITE_P(Grammar, ControlPlaceTest, testing::ValuesIn(ControlPlaces),
                         [](const testing::TestParamInfo<ControlPlace>& info) {
                           return std::string(info.param.name);
                         });

std::string deeplyNested(int depth) {
  return "*NORVO_MODULE *TRANSPOSE (" + std::string(static_cast<std::size_t>(depth), '(') + "1" +
         std::string(static_cast<std::size_t>(depth), ')') + ")\n*END\n";
}

TEST(ParserStack, NestingPastTheStackIsShownUncountedAndFailsTheLoad) {
  InProcessCompile compile(deeplyNested(250));
  RunOutput run = compile.load();
  EXPECT_EQ(run.err, "cfg:1: memory exhausted\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(compile.scope.context().diagnosticCount, 0);
}

TEST(ParserStack, TheParseEndsWithResultTwo) {
  CompilerContextScope scope;
  Configuration configuration;
  scope.context().currentConfiguration = &configuration;
  std::string text = deeplyNested(250);
  std::FILE* file = testing_support::streamReading(text);
  ASSERT_NE(file, nullptr);
  testing::internal::CaptureStderr();
  int result = parseConfigurationFile(file);
  testing::internal::GetCapturedStderr();
  std::fclose(file);
  EXPECT_EQ(result, 2);
}

TEST(ParserStack, NestingWithinTheStackParses) {
  InProcessCompile compile(deeplyNested(60));
  EXPECT_EQ(compile.load().status, -1);
}

TEST(ParserTrace, TheTraceBitWritesTheParseToStandardError) {
  Settings saved = settings();
  settings().parserTrace = 0x100;
  InProcessCompile traced("*NORVO_MODULE\n*END\n");
  RunOutput run = traced.load();
  settings() = saved;
  EXPECT_NE(run.err.find("Shifting token NORVO_MODULE"), std::string::npos) << run.err;
  EXPECT_EQ(run.status, -1);

  InProcessCompile quiet("*NORVO_MODULE\n*END\n");
  EXPECT_EQ(quiet.load().err, "");
}

}  // namespace
}  // namespace plenum
