#include "plenum/codegen/module_program.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "plenum/model/nv_mod.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/module_types.h"

namespace plenum {
namespace {

// Each test starts with no module types learnt and restores that afterwards.
class ModuleProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { moduleTypes().clear(); }
  void TearDown() override { moduleTypes().clear(); }
  CompilerContextScope scope;
  NvPbusMod module;
  ModuleProgram& program = module.program;
};

ByteString expectedHeader(std::uint8_t memBanksByte = 0xFF) {
  ByteString header(112, 0xFF);
  header.push_back(0);
  header.push_back(0);
  ByteString values = {0, 0, 0, 0, memBanksByte, 0, 0, 0};
  header.insert(header.end(), values.begin(), values.end());
  return header;
}

TEST_F(ModuleProgramTest, EmptyModuleIsHeaderAndEnd) {
  program.mainList().push_back(SEnd);
  program.buildImage();
  ByteString expected = expectedHeader();
  expected.push_back(0);
  EXPECT_EQ(program.image(), expected);
}

TEST_F(ModuleProgramTest, HeaderValuesAndBanksMinusOne) {
  program.pistonSize = 4;
  program.pistonBytes = 2;
  program.magTime = 30;
  program.pistons = 16;
  program.memBanks = 2;
  program.bankByte = 0x41;
  program.pbusSize = 14;
  program.pbusInterval = 7;
  program.truncation[2] = 0x10;
  program.mainList().push_back(SEnd);
  program.buildImage();
  const ByteString& image = program.image();
  ASSERT_EQ(image.size(), 123u);
  EXPECT_EQ(image[96 + 2], 0x10);
  EXPECT_EQ(ByteString(image.begin() + 114, image.begin() + 122),
            (ByteString{4, 2, 30, 16, 1, 0x41, 14, 7}));
}

TEST_F(ModuleProgramTest, TypeCAddressesAreLowByteFirst) {
  moduleTypes() = "C";
  module.number = 0;
  program.mainList().push_back(SEnd);
  program.noteList(1) = {SFmn2bit, 5, 60, 3, 1};
  program.buildImage();
  const ByteString& image = program.image();
  ASSERT_EQ(image.size(), 129u);
  // The list follows the End at offset 122; load address 0.
  EXPECT_EQ(image[2], 0x7B);
  EXPECT_EQ(image[3], 0x00);
  EXPECT_EQ(ByteString(image.begin() + 123, image.end()), (ByteString{3, 5, 60, 3, 1, 0}));
  EXPECT_EQ(program.noteDispatchAddress(1), 0x007B);
  EXPECT_EQ(program.noteDispatchAddress(0), NoDispatchList);
}

TEST_F(ModuleProgramTest, DispatchListsOnSeveralChannelsInTableOrder) {
  program.mainList().push_back(SEnd);
  program.noteList(0) = {SFmn2bit, 5, 60, 3, 1};
  program.noteList(3) = {SFmn2bit, 5, 61, 4, 2};
  program.controllerList(0) = {SFmc2byte, 4, 7, 20};
  program.programList(15) = {Sldi, 5};
  program.buildImage();
  const ByteString& image = program.image();
  ASSERT_EQ(image.size(), 143u);
  // Type B: load address 0x1E80, high byte first.
  EXPECT_EQ(image[0], 0x1E);
  EXPECT_EQ(image[1], 0xFB);  // 0x1E80 + 123
  EXPECT_EQ(image[6], 0x1F);
  EXPECT_EQ(image[7], 0x01);  // + 129
  EXPECT_EQ(image[32], 0x1F);
  EXPECT_EQ(image[33], 0x07);  // + 135
  EXPECT_EQ(image[64 + 30], 0x1F);
  EXPECT_EQ(image[64 + 31], 0x0C);  // + 140
  EXPECT_EQ(image[2], 0xFF);
  EXPECT_EQ(image[35], 0xFF);
  EXPECT_EQ(image[128], 0);
  EXPECT_EQ(image[134], 0);
  EXPECT_EQ(image[139], 0);
  EXPECT_EQ(ByteString(image.begin() + 140, image.end()), (ByteString{21, 5, 0}));
}

TEST_F(ModuleProgramTest, TranslateTablePaddedToSixteen) {
  struct Case {
    int pairs;
    std::size_t imageSize;
  } cases[] = {{3, 123 + 16}, {8, 123 + 16}, {9, 123 + 32}};
  for (const Case& c : cases) {
    CompilerContextScope local;
    NvPbusMod fresh;
    fresh.program.mainList().push_back(SEnd);
    for (int i = 0; i < c.pairs; ++i) fresh.program.addTranslatePair(i + 1, 0x80 | i);
    fresh.program.buildImage();
    const ByteString& image = fresh.program.image();
    ASSERT_EQ(image.size(), c.imageSize) << c.pairs;
    EXPECT_EQ(image[112], 0x1E);
    EXPECT_EQ(image[113], 0xFB);
    EXPECT_EQ(image[123], 1);
    EXPECT_EQ(image[124], 0x80);
    EXPECT_EQ(image.back(), c.pairs % 8 == 0 ? 0x87 : 0);
  }
}

TEST_F(ModuleProgramTest, EmptyTranslateTableLeavesPointerZero) {
  program.mainList().push_back(SEnd);
  program.buildImage();
  EXPECT_EQ(program.image()[112], 0);
  EXPECT_EQ(program.image()[113], 0);
}

TEST(ForwardBranch, ShortOverTwoHundredFiftyOneBytes) {
  ByteString list = {Sldi};
  list.push_back(1);
  int p = ModuleProgram::emitForwardBranch(list, Sbf, Sjf);
  EXPECT_EQ(p, 3);
  list.insert(list.end(), 251, Snot);
  EXPECT_FALSE(ModuleProgram::patchForwardBranch(list, p));
  EXPECT_EQ(list[2], Sbf);
  EXPECT_EQ(list[3], 253);
  EXPECT_EQ(list.size(), 2u + 2u + 251u);
}

TEST(ForwardBranch, LongOverTwoHundredFiftyTwoBytes) {
  ByteString list;
  int p = ModuleProgram::emitForwardBranch(list, Sbt, Sjt);
  list.insert(list.end(), 252, Snot);
  list.push_back(Sadd);
  list.pop_back();
  EXPECT_TRUE(ModuleProgram::patchForwardBranch(list, p));
  ASSERT_EQ(list.size(), 3u + 252u);
  EXPECT_EQ(list[0], Sjt);
  EXPECT_EQ(list[1], 0);
  EXPECT_EQ(list[2], 255);  // 0 + 255 = the new end
  EXPECT_EQ(list[3], Snot);
}

TEST_F(ModuleProgramTest, RememberNoteInBitMergesRuns) {
  // Notes 60, 61, 62 in bits 0, 1, 2 of byte 70: one SFmn2bits record.
  program.rememberNoteInBit(0, 60, 70, 0);
  EXPECT_EQ(program.noteList(0), (ByteString{3, 5, 60, 70, 1}));
  program.rememberNoteInBit(0, 61, 70, 1);
  EXPECT_EQ(program.noteList(0), (ByteString{2, 5, 60, 61, 70}));
  program.rememberNoteInBit(0, 62, 70, 2);
  EXPECT_EQ(program.noteList(0), (ByteString{2, 5, 60, 62, 70}));
  // Across a byte boundary the run goes on: note 68 is bit 0 of byte 71.
  for (int note = 63; note <= 68; ++note)
    program.rememberNoteInBit(0, note, 70 + (note - 60) / 8, (note - 60) % 8);
  EXPECT_EQ(program.noteList(0), (ByteString{2, 5, 60, 68, 70}));
  // A note that does not continue the run gets its own record.
  program.rememberNoteInBit(0, 40, 72, 3);
  EXPECT_EQ(program.noteList(0), (ByteString{2, 5, 60, 68, 70, 3, 5, 40, 72, 8}));
  // An SFmn2bit merges only with bit 1 after mask 1 in the same byte.
  program.rememberNoteInBit(1, 50, 80, 0);
  program.rememberNoteInBit(1, 51, 81, 1);
  EXPECT_EQ(program.noteList(1), (ByteString{3, 5, 50, 80, 1, 3, 5, 51, 81, 2}));
}

TEST(RecordEmitters, LengthByteAndCheckedLength) {
  ByteString list;
  appendRecord(list, SFmn2bits, {36, 96, 0x41});
  appendRecord(list, Sldb, {0x40, 4});
  appendRecord(list, Sadd, {});
  appendRecord(list, SFpizzReit, {36, 61, 0x20, 0, -6, 300});
  EXPECT_EQ(list, (ByteString{2, 5, 36, 96, 0x41, 15, 0x40, 4, 28, 67, 8, 36, 61, 0x20, 0, 0xFA,
                              0x2C}));
  EXPECT_THROW(appendRecord(list, SFmn2bits, {1, 2}), ProgramBug);
  EXPECT_THROW(appendRecord(list, Sldi, {}), ProgramBug);
  EXPECT_THROW(appendRecord(list, SEnd, {}), ProgramBug);
}

}  // namespace
}  // namespace plenum
