#include "plenum/model/output_boards.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "plenum/codegen/codegen_test_support.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/output_rank.h"
#include "plenum/language/compile_in_process.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/output_bit_usage.h"
#include "plenum/model/tab_driver.h"
#include "plenum/runtime/module_types.h"

namespace plenum {
namespace {

using testing_support::bytes;
using testing_support::InProcessCompile;
using testing_support::printedBy;
using testing_support::RunOutput;

bool says(const std::string& output, const std::string& message) {
  return output.find(message) != std::string::npos;
}

// A fresh context with a file name, made before any element takes its location.
struct NamedContext {
  NamedContext() { context().setFileName("t.cfg"); }
  CompilerContextScope scope;
};

TEST(OutputBoards, FirstOutputBoardMarksTheModuleAsAnOutputModuleOnce) {
  InProcessCompile compile("*NORVO_MODULE *MQ32 *MQ64\n*END\n");
  ASSERT_EQ(compile.loadAndGenerate().status, -1);
  NvPbusMod& module = *compile.configuration.modules[0];
  EXPECT_EQ(module.program.mainList(), bytes({SFsetFlags, 3, 0x40, SEnd}));
  EXPECT_EQ(module.boards[1]->outputOffset, 4);
  EXPECT_EQ(module.outputBoardCount, 2);
  EXPECT_EQ(module.functionUseMask, UseOutputs);
}

TEST(OutputBoards, LongBoardsEndTheChain) {
  struct Case {
    const char* first;
    bool refused;
  };
  for (const Case& test : {Case{"*RANK_DRIVER", true}, Case{"*MQ76", true},
                           Case{"*RANK_DRIVER_128", true}, Case{"*MQ64", false}}) {
    InProcessCompile compile(std::string("*NORVO_MODULE ") + test.first +
                             "\n*INPUT_64\n*END\n");
    RunOutput output = compile.loadAndGenerate();
    EXPECT_EQ(says(output.out, "cfg:2: Can't have another PBUS module after the previous one"),
              test.refused)
        << test.first << output.out;
  }
}

TEST(OutputBoards, RanksMayRunIntoTheFollowingBoardsButNotPastTheChain) {
  struct Case {
    const char* text;
    bool refused;
  };
  const Case cases[] = {
      {"*MQ32 *RANK = a *BITS = 1, 40\n*MQ64\n", false},
      {"*MQ32\n*MQ64 *RANK = a *BITS = 1, 64\n", false},
      {"*MQ32\n*MQ64 *RANK = a *BITS = 1, 70\n", true},
      {"*MQ32 *RANK = a *BITS = 30, 67\n*MQ64\n", false},  // ends on the chain's last bit
      {"*MQ32 *RANK = a *BITS = 30, 68\n*MQ64\n", true},
  };
  for (const Case& test : cases) {
    InProcessCompile compile(std::string("*NORVO_MODULE\n") + test.text + "*END\n");
    RunOutput output = compile.loadAndGenerate();
    EXPECT_EQ(says(output.out, "The rank extends beyond the end of the output board(s)"),
              test.refused)
        << test.text << output.out;
  }
  InProcessCompile missing("*NORVO_MODULE *MQ32 *RANK = a\n*END\n");
  EXPECT_TRUE(says(missing.loadAndGenerate().out, "cfg:1: Missing '*bits ='"));
}

TEST(OutputBoards, ListingTitles) {
  InProcessCompile compile(
      "*NORVO_MODULE *MQ32 *RANK = a *BITS = 1, 8\n*MQ64\n*MQ76\n*RANK_DRIVER = main\n"
      "*NORVO_MODULE *RANK_DRIVER_8 = small *RANK_DRIVER_128 *OFFSET_DRIVER *NEG_DRIVER\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  std::string listing = printedBy([&] {
    for (const auto& module : compile.configuration.modules) module->print();
  });
  EXPECT_EQ(listing,
            "Norvo Module\n"
            "  MQ-32 serial output module\n"
            "    a  rank: bits 1,8\n"
            "  MQ-64 serial output module\n"
            "  MQ-76 serial output module\n"
            "  Rank Driver module, Name: main\n"
            "Norvo Module\n"
            "  Rank Driver 8 bit module\n"
            "  Rank Driver 128 bit module\n"
            "  Output Offset module\n"
            "  MQ-64 serial output module\n");
}

// A module of two MQ-32 boards, for the usage table.
class OutputBitUsage : public ::testing::Test {
 protected:
  OutputBitUsage() {
    module.addDevice(first);
    module.addDevice(second);
  }
  std::string marking(const std::function<void()>& step) { return printedBy(step); }

  NamedContext named;
  NvPbusMod module;
  PbusOutMq32* first = new PbusOutMq32;
  PbusOutMq32* second = new PbusOutMq32;
  ModOutputRank at;
};

TEST_F(OutputBitUsage, EntriesCountFromTheBoardsOffset) {
  EXPECT_EQ(outputUsageEntry(*second, 3), 34);
  EXPECT_EQ(outputUsageEntry(*first, 0), -1);
  EXPECT_EQ(outputUsageEntry(*second, 97), -1);  // beyond the 128th entry
  markRankBits(at, *first, 30, 5);               // runs into the second board
  EXPECT_EQ(module.outputBitUse[29], OutputBitRank);
  EXPECT_EQ(module.outputBitUse[33], OutputBitRank);
  EXPECT_EQ(module.outputBitUse[34], OutputBitFree);
  EXPECT_EQ(context().diagnosticCount, 0);
}

TEST_F(OutputBitUsage, OutputBitsShareOnlyWithRanks) {
  EXPECT_EQ(marking([&] { markRankBits(at, *first, 1, 8); }), "");
  EXPECT_EQ(marking([&] { markOutputBit(at, *first, 2); }), "");
  EXPECT_TRUE(says(marking([&] { markOutputBit(at, *first, 2); }),
                   "This bit has been used previously"));
  // A rank laid over an output bit does not hide it from the next output bit.
  EXPECT_EQ(marking([&] { markOutputBit(at, *first, 3); }), "");
  EXPECT_EQ(marking([&] { markRankBits(at, *first, 1, 8); }), "");
  EXPECT_TRUE(says(marking([&] { markOutputBit(at, *first, 3); }),
                   "This bit has been used previously"));
}

TEST_F(OutputBitUsage, MagnetsShareWithNothingAndStopRanks) {
  EXPECT_EQ(marking([&] { markTabMagnet(at, *second, 1, "*ON bit already used"); }), "");
  EXPECT_TRUE(says(marking([&] { markTabMagnet(at, *second, 1, "*OFF bit already used"); }),
                   "*OFF bit already used"));
  markOutputBit(at, *second, 5);
  EXPECT_TRUE(says(marking([&] { markTabMagnet(at, *second, 5, "*ON bit already used"); }),
                   "*ON bit already used"));
  EXPECT_TRUE(says(marking([&] { markOutputBit(at, *second, 1); }),
                   "This bit has been used previously"));
  // The rank stops marking at the magnet: bits after it stay free.
  EXPECT_TRUE(says(marking([&] { markRankBits(at, *first, 30, 10); }),
                   "Rank overlaps with magnet output(s)"));
  EXPECT_EQ(module.outputBitUse[31], OutputBitRank);
  EXPECT_EQ(module.outputBitUse[33], OutputBitFree);
}

// Stop tabs as the combination action would offer them.
class FakeTabs : public StopTabSource {
 public:
  std::vector<StopTab> stopTabs() const override { return tabs; }
  int dualMagnetTime() const override { return 0x123; }
  int pistonCount() const override { return pistons; }
  void generateForTabDriver(ModuleProgram&, NvPbusMod&) override { ++combinationCode; }

  std::vector<StopTab> tabs;
  int pistons = 20;
  int combinationCode = 0;
};

class StopTabDriver : public ::testing::Test {
 protected:
  StopTabDriver() {
    moduleTypes().clear();
    named.scope.context().stopTabSource = &tabs;
  }
  ~StopTabDriver() override { moduleTypes().clear(); }

  template <class Board>
  Board* board(const char* name) {
    auto* made = new Board;
    made->bindName(lookupIdentifier(name), BindDefinition);
    module.addDevice(made);
    return made;
  }
  ModInputBit* input(int channel, int note, bool programChange = false) {
    auto item = std::make_unique<ModInputBit>();
    item->channel = channel;
    item->number = note;
    item->programChange = programChange;
    inputs.push_back(std::move(item));
    return inputs.back().get();
  }
  void addTab(const char* onBoard, int onBit, const char* offBoard, int offBit,
              ModInputBit* position) {
    StopTab tab;
    tab.statement = &statement;
    if (onBoard) tab.on = StopTabMagnet{lookupIdentifier(onBoard), onBit};
    if (offBoard) tab.off = StopTabMagnet{lookupIdentifier(offBoard), offBit};
    tab.position = position;
    tabs.tabs.push_back(tab);
  }
  std::string generated() { return printedBy([&] { module.generate(); }); }

  NamedContext named;
  FakeTabs tabs;
  NvPbusMod module;
  ModOutputRank statement;  // any element: where the tab's reports go
  std::vector<std::unique_ptr<ModInputBit>> inputs;
};

TEST_F(StopTabDriver, MagnetsTranslateFromTheBoardsChainBits) {
  board<PbusOutMq32>("lamps");
  board<PbusOutMq32>("magnets");
  addTab("magnets", 3, "magnets", 4, input(0, 60));
  EXPECT_EQ(generated(), "");
  EXPECT_EQ(module.outputBitUse[34], OutputBitMagnet);
  EXPECT_EQ(module.outputBitUse[35], OutputBitMagnet);
  // The image pads the table to 16 bytes.
  EXPECT_EQ(module.program.translateTable(),
            bytes({36, 35, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  // The tab's state is bit 0 of byte 65, kept from note 60 of channel 1.
  EXPECT_EQ(module.program.noteList(0), bytes({SFmn2bit, 5, 60, 65, 1}));
  // The first output board drives no tabs: no combination-action code from the driver.
  EXPECT_EQ(tabs.combinationCode, 0);
  EXPECT_EQ(module.functionUseMask, UseOutputs | UseCombinationAction);
  EXPECT_TRUE(module.boards[1]->usesCombinationAction());
  EXPECT_FALSE(module.boards[0]->usesCombinationAction());
}

TEST_F(StopTabDriver, TabNumbersContinueAcrossBoardsAndSizeThePistons) {
  board<PbusOutMq64>("left");
  board<PbusOutMq64>("right");
  for (int i = 0; i < 5; ++i) addTab("left", 2 * i + 1, "left", 2 * i + 2, input(1, 40 + i));
  for (int i = 0; i < 4; ++i) addTab("right", 2 * i + 1, "right", 2 * i + 2, input(1, 45 + i));
  EXPECT_EQ(generated(), "");
  EXPECT_EQ(tabs.combinationCode, 1);
  ASSERT_EQ(module.program.translateTable().size(), 32u);  // 18 bytes, padded
  EXPECT_EQ(module.program.translateTable()[17], 64 + 7);
  EXPECT_EQ(module.program.translateTable()[18], 0);
  EXPECT_EQ(module.program.translateTable()[10], 64 + 2);  // right board, tab 6's off bit
  EXPECT_EQ(module.program.translateTable()[11], 64 + 1);
  // Nine tabs: states in bytes 65 and 66 (notes 40..47 then 48).
  EXPECT_EQ(module.program.noteList(1), bytes({SFmn2bits, 5, 40, 48, 65}));
  // 9 tabs: 2 piston bytes, size 4; 20 pistons of 4 bytes round up to 128 bytes (type B).
  EXPECT_EQ(module.program.pistonBytes, 2);
  EXPECT_EQ(module.program.pistonSize, 4);
  EXPECT_EQ(module.program.pistons, 32);
  EXPECT_EQ(module.program.magTime, 0x23);
}

TEST(StopTabPistons, SizesFollowTheTabCount) {
  struct Case {
    int tabs, pistonBytes, pistonSize;
  };
  for (const Case& test : {Case{8, 1, 2}, Case{9, 2, 4}, Case{17, 3, 8}}) {
    NamedContext named;
    moduleTypes().clear();
    std::vector<std::unique_ptr<ModInputBit>> positions;
    FakeTabs source;
    source.pistons = 3;
    context().stopTabSource = &source;
    NvPbusMod module;
    auto* drivers = new PbusOutRankDriver128;
    drivers->bindName(lookupIdentifier("d"), BindDefinition);
    module.addDevice(drivers);
    ModOutputRank where;
    for (int i = 0; i < test.tabs; ++i) {
      StopTab tab;
      tab.statement = &where;
      tab.on = StopTabMagnet{lookupIdentifier("d"), 2 * i + 1};
      tab.off = StopTabMagnet{lookupIdentifier("d"), 2 * i + 2};
      positions.push_back(std::make_unique<ModInputBit>());
      positions.back()->channel = 0;
      positions.back()->number = i;
      tab.position = positions.back().get();
      source.tabs.push_back(tab);
    }
    EXPECT_EQ(printedBy([&] { module.generate(); }), "");
    EXPECT_EQ(module.program.pistonBytes, test.pistonBytes) << test.tabs;
    EXPECT_EQ(module.program.pistonSize, test.pistonSize) << test.tabs;
    EXPECT_EQ(module.program.pistons, 128 / test.pistonSize) << test.tabs;
  }
}

TEST_F(StopTabDriver, ReportsMissingAndConflictingMagnets) {
  board<PbusOutMq32>("one");
  board<PbusOutMq32>("two");
  addTab("one", 1, nullptr, 0, nullptr);  // no *OFF, no *NAME
  addTab(nullptr, 0, "one", 2, input(0, 61));
  addTab("one", 5, "two", 6, input(0, 62));
  addTab("one", 1, "one", 7, input(0, 63));  // *ON taken by the first tab
  std::string out = generated();
  EXPECT_TRUE(says(out, "*OFF specification missing"));
  EXPECT_TRUE(says(out, "*NAME specification missing"));
  EXPECT_TRUE(says(out, "*ON specification missing"));
  EXPECT_TRUE(says(out, "*ON and *OFF must use the same driver board"));
  EXPECT_TRUE(says(out, "*ON bit already used"));
  // The tab without *OFF translates its off value to 0.
  EXPECT_EQ(module.program.translateTable()[0], 0);
  EXPECT_EQ(module.program.translateTable()[1], 1);
}

TEST_F(StopTabDriver, ReversiblesFollowTheirTab) {
  board<PbusOutMq32>("mags");
  addTab("mags", 1, "mags", 2, input(0, 60));
  addTab("mags", 3, "mags", 4, input(0, 62));
  tabs.tabs[1].reversibles = {input(2, 70), input(3, 5, true)};
  EXPECT_EQ(generated(), "");
  // Second tab: state bit 1 of byte 0 of the tab bits, off 4, on 3.
  EXPECT_EQ(module.program.noteList(2), bytes({SFreversible, 7, 70, 0, 2, 4, 3}));
  EXPECT_EQ(module.program.programList(3), bytes({SFreversible, 7, 5, 0, 2, 4, 3}));
}

TEST_F(StopTabDriver, TooManyTabsIsReportedFromThe65th) {
  board<PbusOutRankDriver128>("big");
  board<PbusOutRankDriver128>("more");
  for (int i = 0; i < 64; ++i) addTab("big", 2 * i + 1, "big", 2 * i + 2, input(0, i));
  addTab("more", 1, "more", 2, input(0, 64));
  std::string out = generated();
  ASSERT_EQ(module.program.translateTable().size(), 144u);  // 130 bytes, padded
  EXPECT_EQ(module.program.translateTable()[128], 16 * 8 + 2);  // the second board's tab
  EXPECT_EQ(module.program.translateTable()[129], 16 * 8 + 1);
  // Reported once, for the 65th tab only.
  std::size_t first = out.find("Too many tabs \n");
  ASSERT_NE(first, std::string::npos) << out;
  EXPECT_EQ(out.find("Too many tabs", first + 1), std::string::npos) << out;
}

}  // namespace
}  // namespace plenum
