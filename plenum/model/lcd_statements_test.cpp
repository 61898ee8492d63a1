// Lighted-stop and serial LCD statements read from configuration text: what the parser
// builds, the display modes that carry across boards and modules, and the records that
// come out.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plenum/codegen/codegen_test_support.h"
#include "plenum/codegen/expressions.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/language/compile_in_process.h"
#include "plenum/model/lighted_stops.h"
#include "plenum/model/serial_lcd.h"

namespace plenum {
namespace {

using testing_support::InProcessCompile;
using testing_support::recordsWithCode;
using testing_support::RunOutput;

// The flags byte of every SFslcdOut record of a module, in order.
std::vector<int> lcdFlags(const NvPbusMod& module) {
  std::vector<int> flags;
  for (const ByteString& record : recordsWithCode(module.program.mainList(), SFslcdOut))
    flags.push_back(record[3]);
  return flags;
}

const PbusSerialLcd& lcdOf(const NvPbusMod& module, std::size_t board = 0) {
  return dynamic_cast<const PbusSerialLcd&>(*module.boards.at(board));
}

TEST(LcdStatements, DisplayModesCarryIntoLaterBoardsAndModules) {
  InProcessCompile compile(
      "*NORVO_MODULE\n"
      "*SERIAL_LCD (1) *BINARY *UNSIGNED (2)\n"
      "*SERIAL_LCD (3) *DECIMAL 2 *ONCE\n"
      "*NORVO_MODULE\n"
      "*SERIAL_LCD (4) *SIGNED *ALWAYS *DECIMAL (5) *DECIMAL 1 \"x\" (6)\n"
      "*END\n");
  RunOutput run = compile.loadAndGenerate();
  ASSERT_EQ(run.status, -1) << run.out << run.err;
  const auto& modules = compile.configuration.modules;
  ASSERT_EQ(modules.size(), 2u);
  // decimal 3 signed; binary unsigned; binary unsigned (the board before set it).
  EXPECT_EQ(lcdFlags(*modules[0]), (std::vector<int>{0x40 + 14, 1, 1}));
  // decimal 2 once unsigned; decimal 3 signed always; the text carries the mode's sign
  // flag but no value bits; decimal 1.
  EXPECT_EQ(lcdFlags(*modules[1]), (std::vector<int>{0x80 + 10, 0x40 + 14, 0x40, 0x40 + 2}));
}

TEST(LcdStatements, DecimalFourIsReportedAtItsLineAndActsAsThree) {
  InProcessCompile compile(
      "*NORVO_MODULE\n"
      "*SERIAL_LCD *BINARY (1)\n"
      "  *DECIMAL 4 (2)\n"
      "*NORVO_MODULE\n"
      "*SERIAL_LCD (3)\n"
      "*END\n");
  RunOutput run = compile.load();
  EXPECT_EQ(run.out, "cfg:3: Decimal number must be 1, 2, or 3\n");
  EXPECT_EQ(run.status, 1);
  const auto& modules = compile.configuration.modules;
  ASSERT_EQ(modules.size(), 2u);
  EXPECT_EQ(lcdOf(*modules[0]).groups.at(0)->items.at(1)->mode, 3);
  EXPECT_EQ(lcdOf(*modules[1]).groups.at(0)->items.at(0)->mode, 3);
}

TEST(LcdStatements, ItemsGroupAroundConditions) {
  InProcessCompile compile(
      "*NORVO_MODULE\n"
      "*SERIAL_LCD *LINE 1 \"a\" *IF (1) { \"b\" (2) } *ELSE { } \"c\"\n"
      "  *IF (0) { } *IF (3) { *BINARY } *ELSE { *CONTRAST (4) *BACKLIGHT (5) }\n"
      "*END\n");
  RunOutput run = compile.load();
  ASSERT_EQ(run.status, -1) << run.out << run.err;
  const auto& groups = lcdOf(*compile.configuration.modules.at(0)).groups;
  ASSERT_EQ(groups.size(), 5u);
  struct Shape {
    std::size_t items;
    bool condition;
    int elseItems;  // -1: no else part
  } shapes[] = {{2, false, -1}, {2, true, 0}, {1, false, -1}, {0, true, -1}, {0, true, 2}};
  for (std::size_t i = 0; i < groups.size(); ++i) {
    EXPECT_EQ(groups[i]->items.size(), shapes[i].items) << i;
    EXPECT_EQ(groups[i]->condition != nullptr, shapes[i].condition) << i;
    EXPECT_EQ(groups[i]->elseGroup ? static_cast<int>(groups[i]->elseGroup->items.size()) : -1,
              shapes[i].elseItems)
        << i;
  }
}

TEST(LcdStatements, ItemsAreLocatedAtTheirFirstToken) {
  InProcessCompile compile(
      "*NORVO_MODULE\n"
      "*SERIAL_LCD\n"
      "  *LINE 5\n"
      "  *BAR_GRAPH 1 9 3\n"
      "    (7)\n"
      "  \"bad \\2 escape\"\n"
      "*END\n");
  RunOutput run = compile.load();
  EXPECT_EQ(run.out,
            "cfg:3: Line number must be between 1 and 4\n"
            "cfg:4: Start column must not be greater than End column\n"
            "cfg:6: Illegal \"\\\" escape in string\n");
  EXPECT_EQ(run.status, 1);
}

TEST(LcdStatements, AnIfAfterTheLcdBelongsToIt) {
  InProcessCompile compile(
      "*NORVO_MODULE\n"
      "*SERIAL_LCD \"a\"\n"
      "*IF (1) { \"b\" }\n"
      "*END\n");
  RunOutput run = compile.load();
  ASSERT_EQ(run.status, -1) << run.out << run.err;
  EXPECT_EQ(lcdOf(*compile.configuration.modules.at(0)).groups.size(), 2u);
}

TEST(LightedStopStatements, OptionsLiteralAndLightedBits) {
  InProcessCompile compile(
      "*NORVO_MODULE\n"
      "*LIGHTED_STOP *SINGLE_ROW C3N36 *COUNT = 2\n"
      "  *INPUT_BIT = Trumpet *BIT = 9\n"
      "  *INPUT_BIT = Oboe *BIT = 2\n"
      "*END\n");
  RunOutput run = compile.load();
  ASSERT_EQ(run.status, -1) << run.out << run.err;
  const auto& stops =
      dynamic_cast<const PbusLytedStop&>(*compile.configuration.modules.at(0)->boards.at(0));
  EXPECT_TRUE(stops.singleRow);
  EXPECT_EQ(stops.channel(), 2);
  EXPECT_EQ(stops.firstNote(), 36);
  EXPECT_EQ(stops.count, 2);
  ASSERT_EQ(stops.items.size(), 2u);
  const auto& trumpet = dynamic_cast<const ModInputBit&>(*stops.items[0]);
  EXPECT_EQ(trumpet.number, 44);
  EXPECT_EQ(trumpet.channel, 2);
}

TEST(LightedStopStatements, WideBoardsHaveNoSingleRow) {
  InProcessCompile compile(
      "*NORVO_MODULE\n"
      "*LIGHTED_STOP_40 *COUNT = 1 *SINGLE_ROW *MIDI_CHANNEL = 1 *MIDI_NOTE = 36\n"
      "*END\n");
  RunOutput run = compile.load();
  EXPECT_EQ(run.err, "cfg:2: syntax error, unexpected SINGLE_ROW\n");
  EXPECT_EQ(run.status, 1);
}

// A lighted stop read by an expression of a later module is mirrored there by its note.
TEST(LightedStopStatements, LaterModuleReadsALightedStopByItsNote) {
  InProcessCompile compile(
      "*NORVO_MODULE\n"
      "*LIGHTED_STOP *COUNT = 2 *MIDI_CHANNEL = 3 *MIDI_NOTE = 36\n"
      "  *INPUT_BIT = Trumpet *BIT = 9\n"
      "*NORVO_MODULE\n"
      "*SERIAL_LCD *IF (Trumpet) { \"Tr\" }\n"
      "*END\n");
  RunOutput run = compile.loadAndGenerate();
  ASSERT_EQ(run.status, -1) << run.out << run.err;
  const ModuleProgram& second = compile.configuration.modules.at(1)->program;
  std::vector<ByteString> mirrors = recordsWithCode(second.noteList(2), SFmn2bit);
  ASSERT_EQ(mirrors.size(), 1u);
  EXPECT_EQ(mirrors[0][2], 44);
  // The condition reads that bit: Sldb with its byte and mask, then the branch.
  const ByteString& main = second.mainList();
  ASSERT_GE(main.size(), 7u);
  EXPECT_EQ(main[2], Sldb);
  EXPECT_EQ(main[3], mirrors[0][3]);
  EXPECT_EQ(main[4], mirrors[0][4]);
  EXPECT_EQ(main[5], Sbf);
}

}  // namespace
}  // namespace plenum
