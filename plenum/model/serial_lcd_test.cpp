#include "plenum/model/serial_lcd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/module_program.h"
#include "plenum/model/nv_mod.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

class SerialLcdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    moduleTypes().clear();
    resetSettings();
    context().setFileName("organ.cfg");
    context().line = 5;
  }
  void TearDown() override { moduleTypes().clear(); }

  static std::unique_ptr<Exp> constant(int value) {
    return std::make_unique<ExpInt>(context().here(), value);
  }
  static std::string quoted(const std::string& text) { return "\"" + text + "\""; }
  static std::unique_ptr<LcdAtom> text(const std::string& bytes) {
    std::string token = quoted(bytes);
    return LcdAtom::text(context().here(), &token);
  }
  static LcdGroup* group(std::vector<std::unique_ptr<LcdAtom>> items) {
    auto* made = new LcdGroup(context().here());
    for (auto& item : items) made->add(std::move(item));
    return made;
  }
  template <class... Items>
  static std::vector<std::unique_ptr<LcdAtom>> items(Items... list) {
    std::vector<std::unique_ptr<LcdAtom>> made;
    (made.push_back(std::move(list)), ...);
    return made;
  }

  // The board on a fresh module, generated; returns its main record list.
  const ByteString& generate(std::vector<LcdGroup*> groups) {
    auto* board = new PbusSerialLcd(context().here());
    for (LcdGroup* made : groups) board->addItem(made);
    module_.addDevice(board);
    board->generate(module_.program);
    return module_.program.mainList();
  }

  static ByteString textRecord(const std::string& bytes, int flags) {
    ByteString record = {SFslcdOut, static_cast<std::uint8_t>(bytes.size() + 4),
                         static_cast<std::uint8_t>(bytes.size()),
                         static_cast<std::uint8_t>(flags)};
    record.insert(record.end(), bytes.begin(), bytes.end());
    return record;
  }
  static ByteString concat(std::initializer_list<ByteString> parts) {
    ByteString all;
    for (const ByteString& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }

  CompilerContextScope scope;
  NvPbusMod module_;
  const ByteString init_ = {SFslcdInit, 2};
  const ByteString wait_ = {SFslcdWait, 2};
};

TEST_F(SerialLcdTest, LineAndTextWithTheInitialMode) {
  const ByteString& main = generate({group(items(LcdAtom::line(context().here(), 1),
                                                 text("Great Orga")))});
  EXPECT_EQ(main, concat({init_, textRecord(std::string("\x11\x00\x00", 3), 0x40),
                          textRecord("Great Orga", 0x40), wait_}));
  EXPECT_EQ(module_.functionUseMask, 6u);
}

TEST_F(SerialLcdTest, AWaitComesBeforeTheItemThatWouldCrossThirtyTwoBytes) {
  const std::string ten(10, 'a');
  for (int last : {12, 13}) {
    CompilerContextScope local;
    NvPbusMod module;
    auto* board = new PbusSerialLcd(context().here());
    board->addItem(group(items(text(ten), text(ten), text(std::string(last, 'b')))));
    module.addDevice(board);
    board->generate(module.program);
    ByteString expected = concat({init_, textRecord(ten, 0x40), textRecord(ten, 0x40)});
    if (last == 13) expected = concat({expected, wait_});
    expected = concat({expected, textRecord(std::string(last, 'b'), 0x40), wait_});
    EXPECT_EQ(module.program.mainList(), expected) << last;
  }
}

TEST_F(SerialLcdTest, ValueLengthAndFlagsFollowTheMode) {
  struct Case {
    void (*setMode)();
    int flags;
    int bytes;
  } cases[] = {{[] { setLcdBinary(); }, 0x40 + 1, 1},
               {[] { setLcdDecimal(1, context().here()); }, 0x40 + 2, 1},
               {[] { setLcdDecimal(2, context().here()); }, 0x40 + 10, 2},
               {[] { setLcdDecimal(); }, 0x40 + 14, 3},
               {[] { setLcdSigned(false); setLcdOnce(true); }, 0x80 + 14, 3},
               {[] { setLcdOnce(true); setLcdDecimal(2, context().here()); }, 0xC0 + 10, 2}};
  for (const Case& c : cases) {
    CompilerContextScope local;
    c.setMode();
    std::unique_ptr<LcdAtom> value = LcdAtom::value(context().here(), constant(7));
    EXPECT_EQ(value->flags(), c.flags);
    EXPECT_EQ(value->byteCount(), c.bytes);
    ModuleProgram& program = module_.program;
    program.mainList().clear();
    value->generate(program, module_);
    EXPECT_EQ(program.mainList(), concat({ByteString{Sldi, 7}, textRecord("", c.flags)}));
  }
}

TEST_F(SerialLcdTest, DecimalFourIsReportedAndMeansThree) {
  setLcdBinary();
  context().line = 12;
  testing::internal::CaptureStdout();
  setLcdDecimal(4, context().here());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "organ.cfg:12: Decimal number must be 1, 2, or 3\n");
  EXPECT_EQ(context().lcdMode.format, 3);
}

TEST_F(SerialLcdTest, BarGraphSendsItsLineAgainAfterTheValue) {
  std::unique_ptr<LcdAtom> bar = LcdAtom::barGraph(context().here(), 2, 1, 20, constant(9));
  EXPECT_EQ(bar->byteCount(), 7);
  const ByteString& main = generate({group(items(std::move(bar)))});
  EXPECT_EQ(main, concat({init_, ByteString{Sldi, 9},
                          textRecord(std::string("\x12\x01\xFF\x00\x13", 5), 0x40 + 1),
                          textRecord("\x01", 0), wait_}));
}

TEST_F(SerialLcdTest, ContrastAndBacklightAreBinaryWhateverTheMode) {
  setLcdDecimal(2, context().here());
  std::unique_ptr<LcdAtom> contrast = LcdAtom::contrast(context().here(), constant(3));
  std::unique_ptr<LcdAtom> backlight = LcdAtom::backlight(context().here(), constant(3));
  EXPECT_EQ(contrast->mode, 0);
  EXPECT_EQ(*contrast->textBytes, ByteString{15});
  EXPECT_EQ(*backlight->textBytes, ByteString{14});
  EXPECT_EQ(backlight->flags(), 0x41);
  EXPECT_EQ(backlight->byteCount(), 2);
}

TEST_F(SerialLcdTest, PositionChecksReportAndKeepTheItem) {
  struct Case {
    int line, start, end;
    std::string report;
  } cases[] = {
      {1, 1, 20, ""},
      {0, 1, 20, "organ.cfg:5: Line number must be between 1 and 4\n"},
      {5, 3, 3, "organ.cfg:5: Line number must be between 1 and 4\n"},
      {4, 0, 20, "organ.cfg:5: Start column must be between 1 and 20\n"},
      {4, 1, 21,
       "organ.cfg:5: End column must be between 1 and 20\n"},
      {4, 12, 11, "organ.cfg:5: Start column must not be greater than End column\n"},
      {4, 21, 21, "organ.cfg:5: Start column must be between 1 and 20\n"
                  "organ.cfg:5: End column must be between 1 and 20\n"},
  };
  for (const Case& c : cases) {
    CompilerContextScope local;
    context().setFileName("organ.cfg");
    context().line = 5;
    testing::internal::CaptureStdout();
    std::unique_ptr<LcdAtom> bar =
        LcdAtom::barGraph(context().here(), c.line, c.start, c.end, constant(1));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.report) << c.line << c.start << c.end;
    ASSERT_TRUE(bar->second.has_value());
    EXPECT_EQ(bar->textBytes->size(), 5u);
  }
  for (int line : {0, 1, 4, 5}) {
    CompilerContextScope local;
    context().setFileName("organ.cfg");
    testing::internal::CaptureStdout();
    std::unique_ptr<LcdAtom> cursor = LcdAtom::line(context().here(), line);
    bool reported = !testing::internal::GetCapturedStdout().empty();
    EXPECT_EQ(reported, line < 1 || line > 4) << line;
    EXPECT_EQ(*cursor->textBytes, (ByteString{17, 0, static_cast<std::uint8_t>(line - 1)}));
  }
}

TEST_F(SerialLcdTest, TextEscapesAreDecodedOnce) {
  struct Case {
    std::string token;
    ByteString bytes;
    bool legal;
  } cases[] = {
      {"\"\\065BC\"", {'A', 'B', 'C'}, true},
      {"\"a\\\\b\"", {'a', '\\', 'b'}, true},
      {"\"\\000\"", {0}, true},
      {"\"x\\6y\"", {}, false},
      {"\"\\256\"", {}, false},
      {"\"\\65\"", {}, false},
  };
  for (const Case& c : cases) {
    CompilerContextScope local;
    testing::internal::CaptureStdout();
    std::unique_ptr<LcdAtom> atom = LcdAtom::text(context().here(), &c.token);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("Illegal \"\\\" escape in string") != std::string::npos, !c.legal)
        << c.token;
    if (c.legal) {
      EXPECT_EQ(*atom->textBytes, c.bytes) << c.token;
    }
    EXPECT_FALSE(atom->expression);
  }
}

TEST_F(SerialLcdTest, StringKeywordWithoutTextIsAnEmptyText) {
  std::unique_ptr<LcdAtom> atom = LcdAtom::text(context().here(), nullptr);
  ASSERT_TRUE(atom->textBytes.has_value());
  EXPECT_TRUE(atom->textBytes->empty());
  EXPECT_EQ(atom->byteCount(), 0);
}

TEST_F(SerialLcdTest, TextTooLongForOneRecordIsReported) {
  testing::internal::CaptureStdout();
  std::unique_ptr<LcdAtom> atom = text(std::string(300, 'x'));
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "organ.cfg:5: LCD text longer than 251 bytes\n");
  EXPECT_EQ(atom->textBytes->size(), 251u);
  // The record still fits its length byte.
  atom->generate(module_.program, module_);
  EXPECT_EQ(module_.program.mainList()[1], 255);
}

// The destination of the branch or jump whose op is at position.
std::size_t destinationOf(const ByteString& list, std::size_t position) {
  switch (list[position]) {
    case Sbf:
    case Sbra:
      return position + list[position + 1];
    case Sjf:
    case Sjmp:
      return position + ((list[position + 1] << 8) | list[position + 2]);
    default:
      ADD_FAILURE() << "no branch at " << position;
      return 0;
  }
}

// The position after the LCD records starting at position, up to a branch or the end.
std::size_t skipLcdRecords(const ByteString& list, std::size_t position) {
  while (position < list.size() && list[position] != Sbra && list[position] != Sjmp)
    position += list[position + 1];
  return position;
}

TEST_F(SerialLcdTest, ConditionalGroupsBranchToTheirParts) {
  // Text lengths of the then part and of the else part (0: no else part); 40 texts of
  // 10 bytes need more than 254 bytes of records.
  struct Case {
    int thenTexts;
    int elseTexts;
  } cases[] = {{1, 0}, {40, 0}, {1, 1}, {1, 40}, {40, 1}, {40, 40}};
  for (const Case& c : cases) {
    CompilerContextScope local;
    NvPbusMod module;
    auto* board = new PbusSerialLcd(context().here());
    board->addItem(group(items(text("before"))));
    LcdGroup* conditional = new LcdGroup(context().here());
    for (int i = 0; i < c.thenTexts; ++i) conditional->add(text("0123456789"));
    conditional->condition = constant(1);
    if (c.elseTexts > 0) {
      conditional->elseGroup = std::make_unique<LcdGroup>(context().here());
      for (int i = 0; i < c.elseTexts; ++i) conditional->elseGroup->add(text("abcdefghij"));
    }
    board->addItem(conditional);
    module.addDevice(board);
    board->generate(module.program);
    const ByteString& main = module.program.mainList();
    SCOPED_TRACE(std::to_string(c.thenTexts) + " " + std::to_string(c.elseTexts));

    // SFslcdInit, "before", the wait that ends it, then the condition's code.
    const ByteString start = concat({init_, textRecord("before", 0x40), wait_, {Sldi, 1}});
    ASSERT_TRUE(std::equal(start.begin(), start.end(), main.begin()));
    const std::size_t branch = start.size();
    const bool longThen = main[branch] == Sjf;
    ASSERT_TRUE(longThen || main[branch] == Sbf);
    const std::size_t thenStart = branch + (longThen ? 3 : 2);
    const std::size_t thenEnd = skipLcdRecords(main, thenStart);
    if (c.elseTexts == 0) {
      EXPECT_EQ(thenEnd, main.size());
      EXPECT_EQ(destinationOf(main, branch), main.size());
      continue;
    }
    ASSERT_LT(thenEnd, main.size());
    const bool longElse = main[thenEnd] == Sjmp;
    const std::size_t elseStart = thenEnd + (longElse ? 3 : 2);
    EXPECT_EQ(destinationOf(main, branch), elseStart);
    EXPECT_EQ(main[elseStart], SFslcdOut);
    EXPECT_EQ(destinationOf(main, thenEnd), main.size());
    EXPECT_EQ(longElse, c.elseTexts == 40);
    EXPECT_EQ(longThen, c.thenTexts == 40);
    // Both parts end with their own wait.
    EXPECT_EQ(main[thenEnd - 2], SFslcdWait);
    EXPECT_EQ(main[main.size() - 2], SFslcdWait);
  }
}

TEST_F(SerialLcdTest, EmptyGroupsGenerateNothing) {
  auto* conditional = new LcdGroup(context().here());
  conditional->condition = constant(0);
  conditional->elseGroup = std::make_unique<LcdGroup>(context().here());
  const ByteString& main = generate({group({}), conditional});
  // Only the condition and its two branches: each lands right after itself.
  EXPECT_EQ(main, concat({init_, ByteString{Sldi, 0, Sbf, 4, Sbra, 2}}));
}

TEST_F(SerialLcdTest, ListingShowsGroupsAndItems) {
  setLcdBinary();
  auto* plain = group(items(LcdAtom::line(context().here(), 2), text("Vox\\200")));
  auto* conditional = group(items(LcdAtom::value(context().here(), constant(3))));
  conditional->condition = constant(1);
  conditional->elseGroup.reset(
      group(items(LcdAtom::barGraph(context().here(), 1, 2, 3, constant(4)))));
  PbusSerialLcd board(context().here());
  board.addItem(plain);
  board.addItem(conditional);
  testing::internal::CaptureStdout();
  board.print();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "  Serial LCD definition:\n"
            "    String \"\\017\\000\\001\" \n"
            "    String \"Vox\\200\" \n"
            "*IF (1) {\n"
            "    Expr (3) mode Binary\n"
            " }\n"
            "*ELSE {\n"
            "    String \"\\018\\000\\255\\001\\002\" Expr (4) mode BinaryS2 \"\\000\"\n"
            " }\n");
}

}  // namespace
}  // namespace plenum
