#include "plenum/model/nv_mod.h"

#include <gtest/gtest.h>

#include <string>

#include "plenum/codegen/codegen_test_support.h"
#include "plenum/codegen/mod_function.h"
#include "plenum/language/compile_in_process.h"
#include "plenum/model/configuration.h"
#include "plenum/model/midi_command.h"
#include "plenum/model/pbus_dev.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

// A board with given chain figures.
class FakeBoard : public PbusDev {
 public:
  FakeBoard(int out, int in, unsigned use, bool combination = false)
      : out_(out), in_(in), use_(use), combination_(combination) {}
  void print() const override {}
  void generate(ModuleProgram&) override { ++generated; }
  int outputByteCount() const override { return out_; }
  int inputByteCount() const override { return in_; }
  unsigned functionUse() const override { return use_; }
  bool usesCombinationAction() const override { return combination_; }
  int generated = 0;

 private:
  int out_, in_;
  unsigned use_;
  bool combination_;
};

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    moduleTypes().clear();
    resetSettings();
    context().setFileName("organ.cfg");
    context().line = 7;
  }
  void TearDown() override {
    moduleTypes().clear();
    resetSettings();
  }
  CompilerContextScope scope;
};

TEST_F(ModuleTest, BoardsTakeOffsetsOnTwoChains) {
  NvPbusMod module;
  module.addDevice(new FakeBoard(2, 2, UseInputs));
  module.addDevice(new FakeBoard(0, 12, UseInputs));
  EXPECT_EQ(module.boards[1]->inputOffset, 2);
  EXPECT_EQ(module.boards[1]->outputOffset, 2);
  EXPECT_EQ(module.chainSize(), 14);
  module.generate();
  EXPECT_EQ(module.program.pbusSize, 14);
  EXPECT_EQ(module.program.pbusInterval, 7);
  EXPECT_EQ(module.program.image().size(), 123u);
  EXPECT_EQ(module.program.image()[120], 14);
  EXPECT_EQ(module.program.image()[121], 7);
  EXPECT_EQ(context().diagnosticCount, 0);
}

TEST_F(ModuleTest, ChainOfSeventeenBytesIsTooMany) {
  for (int bytes : {16, 17}) {
    CompilerContextScope local;
    NvPbusMod module;
    module.addDevice(new FakeBoard(bytes, 0, 0));
    testing::internal::CaptureStdout();
    module.generate();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("There are too many inputs or outputs in this module") !=
                  std::string::npos,
              bytes == 17);
  }
}

TEST_F(ModuleTest, IncompatibleFunctionsReportedOnEveryUpdate) {
  NvPbusMod module;
  testing::internal::CaptureStdout();
  module.addDevice(new FakeBoard(0, 8, UseInputs));
  module.addDevice(new FakeBoard(0, 0, UseOutputs));
  module.markFunctionUse(UseRelays);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "organ.cfg:7: Attempt to use incompatible functions in this module\n"
            "organ.cfg:7: Attempt to use incompatible functions in this module\n");
}

TEST_F(ModuleTest, TruncationChecksBothValues) {
  NvPbusMod module;
  testing::internal::CaptureStdout();
  module.setTruncation(17, 5);
  module.setTruncation(3, 300);
  module.setTruncation(16, 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "organ.cfg:7: Midi channel not in range of 1 to 16\n"
            "organ.cfg:7: Value not between 0 and 255\n");
  EXPECT_EQ(module.program.truncation[2], 300 & 0xFF);
  EXPECT_EQ(module.program.truncation[15], 0);
}

TEST_F(ModuleTest, AllocBytesFirstFitAroundReservedBytes) {
  NvPbusMod module;
  module.addDevice(new FakeBoard(3, 0, 0));
  EXPECT_EQ(module.allocBytes(1, 0), 3);
  for (int i = 0; i < 12; ++i) module.allocBytes(1, 0);
  EXPECT_EQ(module.allocBytes(1, 0), 19);  // 16 to 18 hold a bus image
  EXPECT_EQ(module.allocBytes(14, 0), 65);  // the runs from 20, 35 and 51 are too short
  EXPECT_TRUE(module.isWorkByteUsed(64));
  EXPECT_FALSE(module.isWorkByteUsed(20));
}

TEST_F(ModuleTest, CombinationActionReservesTopBytesAndByte136IsNeverGiven) {
  NvPbusMod module;
  module.addDevice(new FakeBoard(0, 0, 0, true));
  EXPECT_EQ(module.allocBytes(8, 64), 65);  // 65 to 72 are all that is left
  testing::internal::CaptureStdout();
  EXPECT_EQ(module.allocBytes(1, 73), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "organ.cfg:7: Out of Norvo module memory resources\n");

  NvPbusMod plain;
  EXPECT_EQ(plain.allocBytes(1, 135), 135);
  testing::internal::CaptureStdout();
  EXPECT_EQ(plain.allocBytes(1, 136), 0);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Out of Norvo"), std::string::npos);
}

TEST_F(ModuleTest, BitsAndWorkBytePool) {
  NvPbusMod module;
  EXPECT_EQ(module.allocBit(), 0 * 8 + 0);
  EXPECT_EQ(module.allocBit(), 1);
  for (int i = 2; i < 8; ++i) module.allocBit();
  EXPECT_EQ(module.allocBit(), 1 * 8);  // a fresh byte after eight bits
  int scratch = module.getWorkByte();
  EXPECT_EQ(scratch, 2);
  module.releaseWorkByte(scratch);
  EXPECT_EQ(module.getWorkByte(), 2);
  EXPECT_EQ(module.getWorkByte(), 3);
}

TEST_F(ModuleTest, NoteStatesRemoteBitsAndControllers) {
  NvPbusMod module;
  EXPECT_EQ(module.noteStateBytes(module.program, 0, 36, 96), 0);  // 8 bytes
  EXPECT_EQ(module.noteStateBytes(module.program, 0, 36, 60), 0);  // reused
  EXPECT_EQ(module.noteStateBytes(module.program, 1, 36, 60), 8);
  EXPECT_EQ(module.program.noteList(0), (ByteString{2, 5, 36, 96, 0}));

  NvPbusMod other;
  class Item : public ModFunction {
   public:
    void print(bool) const override {}
  } bit;
  bit.module = &other;
  EXPECT_EQ(module.remoteBitAddress(module.program, bit, 2, 60), 12 * 8);
  EXPECT_EQ(module.remoteBitAddress(module.program, bit, 2, 61), 12 * 8 + 1);
  EXPECT_EQ(module.remoteBitAddress(module.program, bit, 2, 60), 12 * 8);
  module.newRemoteBitByte();
  EXPECT_EQ(module.remoteBitAddress(module.program, bit, 2, 70), 13 * 8);
  EXPECT_EQ(module.program.noteList(2), (ByteString{2, 5, 60, 61, 12, 3, 5, 70, 13, 1}));

  EXPECT_EQ(module.remoteControllerAddress(module.program, bit, 3, 7, -1), 14);
  EXPECT_EQ(module.remoteControllerAddress(module.program, bit, 3, 7, -1), 14);
  EXPECT_EQ(module.program.controllerList(3), (ByteString{9, 4, 7, 14}));
  bit.module = &module;
  EXPECT_EQ(module.remoteControllerAddress(module.program, bit, 3, 8, 40), 40);
  EXPECT_EQ(context().diagnosticCount, 0);
}

TEST_F(ModuleTest, ModuleTypeFixesAddressAndPage) {
  moduleTypes() = "ACBX";
  NvPbusMod module;
  const struct {
    int number;
    char letter;
    int load;
    int page;
  } cases[] = {{0, 'A', 0xE000, 64}, {1, 'C', 0, 128}, {2, 'B', 0x1E80, 128}, {9, 'B', 0x1E80, 128}};
  for (const auto& c : cases) {
    module.number = c.number;
    EXPECT_EQ(module.typeLetter(), c.letter);
    EXPECT_EQ(module.loadAddress(), c.load);
    EXPECT_EQ(module.pageSize(), c.page);
  }
  module.number = 3;
  try {
    module.loadAddress();
    FAIL();
  } catch (const ProgramBug& bug) {
    EXPECT_STREQ(bug.where, "data:4798");
  }
}

// A type A module whose image is exactly `length` bytes, with a bank size of 64.
std::string generateSized(int length, int banks, unsigned mask = 0) {
  moduleTypes() = "A";
  NvPbusMod module;
  module.number = 0;
  module.functionUseMask = mask;
  module.program.pistonSize = 4;
  module.program.pistons = 16;
  module.program.memBanks = banks;
  module.program.mainList().assign(static_cast<std::size_t>(length - 123), Snot);
  testing::internal::CaptureStdout();
  module.generate();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(module.program.image().size(), static_cast<std::size_t>(length));
  return out + "banks " + std::to_string(module.program.memBanks);
}

TEST_F(ModuleTest, SizeChecksAndBankLimiting) {
  EXPECT_EQ(generateSized(1000, 16), "banks 16");
  EXPECT_EQ(generateSized(1000, 20),
            "\n*** Insufficient memory for 20 memory banks\n*** Limiting to 16 memory banks\n\n"
            "banks 16");
  EXPECT_EQ(generateSized(2049, 0), "organ.cfg:7: Program is too big for available memory!\n"
                                    "banks 0");
  EXPECT_EQ(generateSized(2049, 0, UseCombinationAction | UseOutputs), "banks 0");
}

TEST_F(ModuleTest, SizeTraceWithDebugBit) {
  settings().debugFlags = DebugPages;
  EXPECT_EQ(generateSized(1000, 10),
            "Checking program size: P length is 1024\nSize of each memory bank is 64\n"
            "Max memory banks = 16\nCurrent memory banks = 10\n\nbanks 10");
}

TEST_F(ModuleTest, TooManyRelayStatementsOnSmallModule) {
  moduleTypes() = "A";
  NvPbusMod module;
  module.number = 0;
  module.hasRelayStatements = true;
  module.allocBytes(72 - 17 - 1, 17);  // fills 17 to 71... and 72 next
  module.allocBytes(1, 72);
  testing::internal::CaptureStdout();
  module.generate();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "organ.cfg:7: There are too many relay-type statements in this module\n"
            "organ.cfg:7: Note: The extended memory version allows more\n");
  // SFpruneRelay closes the relay processing before End.
  const ByteString& image = module.program.image();
  EXPECT_EQ(ByteString(image.begin() + 122, image.end()), (ByteString{SFpruneRelay, 2, 0}));
}

TEST_F(ModuleTest, NoteStateCleanUpAndFlags) {
  NvPbusMod module;
  module.setNoRunningStatus();
  module.setVerbatimEcho();
  module.noteStateBytes(module.program, 0, 36, 40);
  module.generate();
  const ByteString& image = module.program.image();
  ByteString main(image.begin() + 122, image.begin() + 122 + 22);
  EXPECT_EQ(main, (ByteString{Sldb, 0x40, 4, Sbf, 11, SFzeroMem, 4, 0, 1, Sldi, 0, Sstb, 0x40, 4,
                              SFsetFlags, 3, 0x80, SFsetFlags, 3, 0x20, 0, 2}));
  EXPECT_EQ(module.program.controllerList(15), (ByteString{Sctest, 2}));
}

TEST_F(ModuleTest, BindNameModes) {
  IdentifierRecord* swell = lookupIdentifier("Swell");
  FakeBoard first(0, 0, 0), second(0, 0, 0), user(0, 0, 0);
  second.location.line = 9;
  testing::internal::CaptureStdout();
  EXPECT_EQ(first.bindName(swell, BindDefinition), 0);
  second.bindName(swell, BindDefinition);
  user.bindName(lookupIdentifier("Great"), BindReference);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "organ.cfg:9: Trying to redefine 'Swell'\n"
            "organ.cfg:7: \t(location of previous definition)\n"
            "organ.cfg:7: 'Great' not defined\n");
  EXPECT_EQ(swell->element, &first);
  EXPECT_EQ(second.identifier, swell);
  EXPECT_EQ(lookupIdentifier("Great")->element, &user);
  EXPECT_EQ(context().diagnosticCount, 3);
}

TEST_F(ModuleTest, GenerateProgramsEqualisesBanks) {
  Configuration configuration;
  for (int banks : {4, 2, 0}) {
    auto* module = new NvPbusMod;
    module->program.memBanks = banks;
    configuration.addModule(module);
  }
  EXPECT_EQ(configuration.modules[2]->number, 2);
  testing::internal::CaptureStdout();
  configuration.generatePrograms();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Further adjusting to 2 banks\nNumber of modules is 3\n");
  EXPECT_EQ(configuration.modules[0]->program.image()[118], 1);
  EXPECT_EQ(configuration.modules[2]->program.memBanks, 0);
}

TEST_F(ModuleTest, HexDumpWithDebugBit) {
  settings().debugFlags = DebugHexDump;
  Configuration configuration;
  configuration.addModule(new NvPbusMod);
  testing::internal::CaptureStdout();
  configuration.generatePrograms();
  std::string out = testing::internal::GetCapturedStdout();
  std::string ff16 = " ff ff ff ff ff ff ff ff ff ff ff ff ff ff ff ff";
  const std::string head =
      "Number of modules is 1\nModule 0 Program size is 123\n\n1e80 " + ff16 + "\n1e90 ";
  EXPECT_EQ(out.substr(0, head.size()), head);
  EXPECT_NE(out.find("\n1ef0  00 00 00 00 00 00 ff 00 00 00 00\n"), std::string::npos);
}

TEST_F(ModuleTest, LoadOfMissingFileEndsWithStatusOne) {
  Configuration configuration;
  testing::internal::CaptureStdout();
  try {
    configuration.load("/nonexistent/organ.cfg");
    FAIL();
  } catch (const ExitRequest& exit) {
    EXPECT_EQ(exit.status, 1);
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "File /nonexistent/organ.cfg could not be opened for reading\n");
}

// A MIDI command whose condition is a constant.
class ConstantCommand : public MidiCommand {
 public:
  void generateCondition(ByteString& list, NvPbusMod&) override { appendRecord(list, Sldi, {1}); }
};

MidiCommand* command(int count, int channel, int first, int second = 0, int third = 0) {
  auto* made = new ConstantCommand;
  made->location = context().here();
  made->byteCount = count;
  made->channel = channel;
  made->firstByte = first;
  made->secondByte = second;
  made->thirdByte = third;
  return made;
}

TEST_F(ModuleTest, MidiCommandsCheckedAndEmittedFirst) {
  NvPbusMod module;
  testing::internal::CaptureStdout();
  module.addMidiCommand(command(3, 2, 0xB0, 123, 0));
  module.addMidiCommand(command(1, 1, 0xFF));
  module.addMidiCommand(command(3, 17, 127, 128, 200));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "organ.cfg:7: The channel number must be between 1 and 16, inclusive\n"
            "organ.cfg:7: The first byte of the MIDI message must be between 128 and 255, "
            "inclusive\n"
            "organ.cfg:7: The second byte of the MIDI message must be between 0 and 127, "
            "inclusive\n"
            "organ.cfg:7: The third byte of the MIDI message must be between 0 and 127, "
            "inclusive\n");
  EXPECT_THROW(module.addMidiCommand(command(4, 1, 0x90)), ProgramBug);
  module.midiCommands.pop_back();
  module.generate();
  const ByteString& image = module.program.image();
  EXPECT_EQ(ByteString(image.begin() + 122, image.end()),
            (ByteString{Sldi, 1, SFx2midi, 8, 0, 1, 3, 0xB1, 123, 0,  // bit 0 of byte 0
                        Sldi, 1, SFx2midi, 6, 0, 2, 1, 0xFF, 0}));
}

// Local bits and values take their bytes while the module is read, and may stand before
// the boards whose images need those bytes: the locals move, the images keep theirs.
using testing_support::printedBy;

TEST(WorkMemory, LocalsDeclaredBeforeABoardMoveOutOfItsBusImage) {
  const char* orders[] = {"*INPUT_64 *BIT b = (1) *VALUE v = (2)",
                          "*BIT b = (1) *VALUE v = (2) *INPUT_64"};
  for (const char* items : orders) {
    testing_support::InProcessCompile compile(std::string("*NORVO_MODULE\n") + items +
                                              "\n*END\n");
    ASSERT_EQ(compile.load().out, "") << items;
    NvPbusMod& module = *compile.configuration.modules[0];
    // An input board of 8 bytes: images at 0-7, 16-23, 32-39 and 48-55; byte 64 is the
    // system's. First fit then gives the local bit byte 8 and the value byte 9.
    EXPECT_TRUE(module.isWorkByteUsed(0));
    EXPECT_EQ(printedBy([&] { module.functions[0]->print(false); }),
              "    Local Bit: Bit 64 (ofs 8, mask 01)\n") << items;
    EXPECT_EQ(printedBy([&] { module.functions[1]->print(false); }).substr(0, 22),
              "    Local Byte: Byte 9") << items;
  }
}

}  // namespace
}  // namespace plenum
