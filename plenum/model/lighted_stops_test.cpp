#include "plenum/model/lighted_stops.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/module_program.h"
#include "plenum/model/combination_action.h"
#include "plenum/model/configuration.h"
#include "plenum/model/nv_mod.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

// An output board with a given number of output bytes.
class PlainOutputBoard : public PbusDev {
 public:
  explicit PlainOutputBoard(int bytes) : bytes_(bytes) {}
  void print() const override {}
  void generate(ModuleProgram&) override {}
  int outputByteCount() const override { return bytes_; }

 private:
  int bytes_;
};

class LightedStopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    moduleTypes().clear();
    resetSettings();
    context().setFileName("organ.cfg");
    context().line = 3;
  }
  void TearDown() override { moduleTypes().clear(); }

  // A board of the given width with count units on channel index 2 (channel 3), notes
  // from 36.
  static PbusLytedStop* board(int width, int count, bool singleRow = false) {
    auto* stops = new PbusLytedStop(context().here(), width);
    stops->setCount(count);
    stops->setChannel(2);
    stops->setNote(36);
    if (singleRow) stops->setSingleRow();
    return stops;
  }

  static ModInputBit* lightedBit(const char* name, int bit) {
    auto* input = new ModInputBit(context().here());
    input->bindName(lookupIdentifier(name), BindDefinition);
    input->setBit(bit);
    return input;
  }

  static Element* noteHolder(int channel, int note) {
    return context().midiClaims.notes[static_cast<std::size_t>(channel * MidiClaims::Numbers + note)];
  }

  // Generates the board alone and returns the captured standard output.
  static std::string generate(PbusLytedStop& stops, NvPbusMod& module) {
    testing::internal::CaptureStdout();
    stops.generate(module.program);
    return testing::internal::GetCapturedStdout();
  }

  CompilerContextScope scope;
};

TEST_F(LightedStopTest, TwoNarrowUnitsSendSixteenNotes) {
  NvPbusMod module;
  module.addDevice(new PlainOutputBoard(0));
  PbusLytedStop* stops = board(PbusLytedStop::NarrowWidth, 2);
  module.addDevice(stops);
  EXPECT_EQ(generate(*stops, module), "");
  const ByteString expected = {SFlyt2note, 8, 0,   2,   36, 2, 0xFF, 4,
                               SFsendReset, 5, 0, 0x00, 0xFF,
                               SFsendReset, 5, 2, 0x00, 0xFF};
  EXPECT_EQ(module.program.mainList(), expected);
  for (int note = 36; note <= 51; ++note) EXPECT_EQ(noteHolder(2, note), stops) << note;
  EXPECT_EQ(noteHolder(2, 35), nullptr);
  EXPECT_EQ(noteHolder(2, 52), nullptr);
  EXPECT_EQ(module.outputBoardCount, 1);
}

TEST_F(LightedStopTest, SingleRowSendsHalfTheNotes) {
  NvPbusMod module;
  PbusLytedStop* stops = board(PbusLytedStop::NarrowWidth, 2, true);
  module.addDevice(stops);
  generate(*stops, module);
  EXPECT_EQ(module.program.mainList()[6], 0x0F);
  for (int note = 36; note <= 43; ++note) EXPECT_EQ(noteHolder(2, note), stops) << note;
  EXPECT_EQ(noteHolder(2, 44), nullptr);
}

TEST_F(LightedStopTest, WideBoardMustStartTheOutputChain) {
  const std::string message =
      "organ.cfg:3: *LIGHTED_STOP_xx must be first. Use *COUNT for more than one.\n";
  for (bool second : {false, true}) {
    CompilerContextScope local;
    context().setFileName("organ.cfg");
    context().line = 3;
    NvPbusMod module;
    if (second) module.addDevice(new PlainOutputBoard(2));
    PbusLytedStop* stops = board(PbusLytedStop::Width32, 1);
    module.addDevice(stops);
    EXPECT_EQ(generate(*stops, module), second ? message : "");
    const ByteString& main = module.program.mainList();
    ASSERT_EQ(main.size(), 8u + 4 * 5u);
    EXPECT_EQ(main[2], second ? 2 : 0);   // source: the board's output offset
    EXPECT_EQ(main[3], 4);                // u = count x width
    EXPECT_EQ(main[5], 2 + 0x10);         // wide boards flag the channel
    EXPECT_EQ(main[7], 0);                // no row offset
    for (int i = 0; i < 4; ++i) EXPECT_EQ(main[8 + 5 * i + 2], (second ? 2 : 0) + 2 * i);
    EXPECT_EQ(module.outputBytes, (second ? 2 : 0) + 8);
    EXPECT_EQ(module.inputBytes, 8);
  }
}

TEST_F(LightedStopTest, LightedBitTakesTheNoteOfItsStop) {
  struct Case {
    int count;
    int bit;
    const char* report;
    int note;
  } cases[] = {{1, 9, "organ.cfg:3: The bit number is invalid\n", 44},
               {2, 9, "", 44},
               {2, 16, "", 51},
               {2, 17, "organ.cfg:3: The bit number is invalid\n", 52},
               {1, 0, "organ.cfg:3: The bit number is invalid\n", 35}};
  for (const Case& c : cases) {
    CompilerContextScope local;
    context().setFileName("organ.cfg");
    context().line = 3;
    std::unique_ptr<PbusLytedStop> stops(board(PbusLytedStop::NarrowWidth, c.count));
    ModInputBit* bit = lightedBit("Trumpet", c.bit);
    testing::internal::CaptureStdout();
    stops->addLightedBit(bit);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.report) << c.count << " " << c.bit;
    EXPECT_EQ(bit->channel, 2);
    EXPECT_EQ(bit->number, c.note);
    EXPECT_EQ(bit->board, stops.get());
  }
}

TEST_F(LightedStopTest, LightedBitNeedsChannelCountAndBit) {
  {
    PbusLytedStop stops(context().here(), PbusLytedStop::NarrowWidth);
    stops.setCount(1);
    testing::internal::CaptureStdout();
    stops.addLightedBit(lightedBit("A", 1));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "organ.cfg:3: Please specify *MIDI_CHANNEL first\n");
  }
  {
    PbusLytedStop stops(context().here(), PbusLytedStop::NarrowWidth);
    stops.setChannel(0);
    testing::internal::CaptureStdout();
    stops.addLightedBit(lightedBit("B", 1));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "organ.cfg:3: Please specify *COUNT\n");
    EXPECT_EQ(stops.count, 1);
  }
  {
    std::unique_ptr<PbusLytedStop> stops(board(PbusLytedStop::NarrowWidth, 1));
    auto* bit = new ModInputBit(context().here());
    testing::internal::CaptureStdout();
    stops->addLightedBit(bit);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "organ.cfg:3: The *bit number is missing\n");
  }
}

TEST_F(LightedStopTest, NoteOfTheStopBeyondTheMidiRangeIsReported) {
  PbusLytedStop stops(context().here(), PbusLytedStop::NarrowWidth);
  stops.setCount(2);
  stops.setChannel(0);
  stops.setNote(120);
  testing::internal::CaptureStdout();
  stops.addLightedBit(lightedBit("High", 9));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "organ.cfg:3: Midi note not in range 0 to 127\n");
}

TEST_F(LightedStopTest, HugeBitAndCountStayReportedWithoutOverflow) {
  NvPbusMod module;
  auto* stops = new PbusLytedStop(context().here(), PbusLytedStop::Width64);
  testing::internal::CaptureStdout();
  stops->setCount(2147483647);
  stops->setChannel(0);
  stops->setNote(36);
  ModInputBit* bit = lightedBit("Far", 2147483647);
  stops->addLightedBit(bit);
  module.addDevice(stops);
  stops->generate(module.program);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("organ.cfg:3: Count not in range 1 to 8\n"
                      "organ.cfg:3: The bit number is invalid\n"
                      "organ.cfg:3: Midi note not in range 0 to 127\n",
                      0),
            0u)
      << out;
  EXPECT_GT(bit->number, 127);
  EXPECT_GT(module.outputBytes, 16);
}

TEST_F(LightedStopTest, SettersReportRangeAndRepetition) {
  PbusLytedStop stops(context().here(), PbusLytedStop::NarrowWidth);
  testing::internal::CaptureStdout();
  stops.setCount(9);
  stops.setCount(0);
  stops.setChannel(16);
  stops.setNote(128);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out,
            "organ.cfg:3: Count not in range 1 to 8\n"
            "organ.cfg:3: Count not in range 1 to 8\n"
            "organ.cfg:3: Count already set for this item\n"
            "organ.cfg:3: Midi channel not in range of 1 to 16\n"
            "organ.cfg:3: Midi note not in range 0 to 127\n");
  EXPECT_EQ(stops.count, 0);  // stored even when reported
}

TEST_F(LightedStopTest, BoardWithoutCountCountsOneUnit) {
  NvPbusMod module;
  auto* stops = new PbusLytedStop(context().here(), PbusLytedStop::Width40);
  testing::internal::CaptureStdout();
  module.addDevice(stops);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "organ.cfg:3: *COUNT not defined\n");
  EXPECT_EQ(stops->count, 1);
  EXPECT_EQ(module.outputBytes, 10);
}

TEST_F(LightedStopTest, MissingNoteAndChannelAreReportedAtGeneration) {
  NvPbusMod module;
  auto* stops = new PbusLytedStop(context().here(), PbusLytedStop::NarrowWidth);
  stops->setCount(1);
  module.addDevice(stops);
  EXPECT_EQ(generate(*stops, module),
            "organ.cfg:3: midi_note not defined\norgan.cfg:3: midi_channel not defined\n");
}

TEST_F(LightedStopTest, OverlappingBoardsReportTheNotes) {
  NvPbusMod module;
  PbusLytedStop* first = board(PbusLytedStop::NarrowWidth, 1);
  module.addDevice(first);
  context().line = 9;
  auto* second = new PbusLytedStop(context().here(), PbusLytedStop::NarrowWidth);
  second->setCount(1);
  second->setChannel(2);
  second->setNote(40);
  module.addDevice(second);
  generate(*first, module);
  EXPECT_EQ(generate(*second, module),
            "organ.cfg:9: Multiple use of MIDI note(s)\n"
            "organ.cfg:3: \t(Location of previous use)\n");
}

TEST_F(LightedStopTest, SixtyFourWideByTwoOverflowsTheChain) {
  NvPbusMod module;
  module.addDevice(board(PbusLytedStop::Width64, 2));
  EXPECT_EQ(module.outputBytes, 32);
  testing::internal::CaptureStdout();
  module.generate();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("There are too many inputs or outputs in this module"), std::string::npos);
}

// The first lighted-stop board of a module recalls the stops of the whole output chain
// under each piston of the configuration's combination action.
class LightedPistonTest : public LightedStopTest {
 protected:
  void SetUp() override {
    LightedStopTest::SetUp();
    context().currentConfiguration = &configuration_;
    auto* action = new CombinationAction(context().here());
    for (int i = 0; i < 10; ++i) {
      auto* piston = new ModInputBit(context().here());
      piston->setChannel(0);
      piston->setNote(60 + i);
      pistons_.emplace_back(piston);
      action->pistons.push_back(piston);
    }
    installCombinationAction(action);
  }

  Configuration configuration_;
  std::vector<std::unique_ptr<ModInputBit>> pistons_;
};

TEST_F(LightedPistonTest, PistonSizeCoversTheOutputChain) {
  struct Case {
    char type;
    int width;
    int count;
    int extraBytes;  // an output board after the lighted stops
    int pistonSize;
    int pistons;
    RecordCode code;
  } cases[] = {{'A', PbusLytedStop::NarrowWidth, 2, 2, 8, 16, SFmn2lytPiston},
               {'B', PbusLytedStop::NarrowWidth, 2, 2, 8, 16, SFmn2lytPiston},
               {'A', PbusLytedStop::NarrowWidth, 1, 0, 2, 32, SFmn2lytPiston},
               {'A', PbusLytedStop::Width32, 1, 8, 16, 12, SFmn2lyt32Piston},
               {'B', PbusLytedStop::Width40, 1, 0, 16, 16, SFmn2lyt32Piston}};
  for (const Case& c : cases) {
    moduleTypes() = std::string(1, c.type);
    NvPbusMod module;
    module.number = 0;
    PbusLytedStop* stops = board(c.width, c.count);
    module.addDevice(stops);
    if (c.extraBytes) module.addDevice(new PlainOutputBoard(c.extraBytes));
    EXPECT_TRUE(stops->usesCombinationAction());
    EXPECT_EQ(generate(*stops, module), "");
    SCOPED_TRACE(std::string(1, c.type) + " " + std::to_string(c.width));
    EXPECT_EQ(module.program.pistonSize, c.pistonSize);
    EXPECT_EQ(module.program.pistons, c.pistons);
    EXPECT_EQ(module.program.pistonBytes, 0);
    EXPECT_EQ(module.program.magTime, 0);
    const ByteString& notes = module.program.noteList(0);
    ASSERT_EQ(notes.size(), 10u * 4);
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(notes[static_cast<std::size_t>(4 * i)], c.code);
      EXPECT_EQ(notes[static_cast<std::size_t>(4 * i + 2)], 60 + i);
      EXPECT_EQ(notes[static_cast<std::size_t>(4 * i + 3)], i);
    }
    EXPECT_EQ(module.functionUseMask, 10u);
    // The pistons' notes are free again for the next case.
    context().midiClaims = MidiClaims{};
  }
}

TEST_F(LightedPistonTest, OnlyTheFirstOutputBoardGeneratesThePistons) {
  NvPbusMod module;
  module.number = 0;
  module.addDevice(new PlainOutputBoard(2));
  PbusLytedStop* stops = board(PbusLytedStop::NarrowWidth, 1);
  module.addDevice(stops);
  ++module.outputBoardCount;  // the plain board generated first
  generate(*stops, module);
  EXPECT_EQ(module.program.pistons, 0);
  EXPECT_TRUE(module.program.noteList(0).empty());
  EXPECT_EQ(module.outputBoardCount, 2);
}

}  // namespace
}  // namespace plenum
