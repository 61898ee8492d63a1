// Executive verify and reprogramming against simulated modules whose executives come
// from the synthetic standard firmware files.

#include "plenum/protocol/executive.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "plenum/protocol/firmware_obf.h"
#include "plenum/protocol/testing/module_loop_fixture.h"
#include "plenum/runtime/settings.h"
#include "tools/firmware_synthetic.h"

namespace plenum {
namespace {

using testing::runCaptured;

std::string hexOf(const Bytes& bytes) {
  std::string text;
  char digits[3];
  for (std::uint8_t byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", byte);
    text += digits;
  }
  return text;
}

class ExecutiveTest : public testing::ModuleLoopTest {
 protected:
  int verify(int module, const std::string& file, std::string* output = nullptr) {
    int result = -1;
    const auto outcome = runCaptured([&] { result = verifyExecutive(module, file); });
    if (output != nullptr) *output = outcome.output;
    return result;
  }
};

TEST_F(ExecutiveTest, MatchingExecutivesVerifyAndTypeCIsSkipped) {
  useLoop("A,B,C");
  settings().debugFlags = DebugProgress;
  std::string output;
  EXPECT_EQ(verify(-1, "", &output), ExecutiveVerified);
  EXPECT_EQ(output,
            "Module 0... executive verified\nModule 1... executive verified\nModule 2...");
  // Type B has its low block compared first; nothing is asked of the type C module.
  EXPECT_EQ(sentCommands('c').front().substr(0, 6), "Oc0480");
  for (const std::string& request : sentPayloads()) {
    if (request[0] == 'P') {
      EXPECT_EQ(request, "PV");
    }
  }
}

TEST_F(ExecutiveTest, ADifferenceIsNarrowedToItsFirstByteWithDebugBitOne) {
  struct Case {
    std::uint32_t poked;
    const char* plain;
    const char* narrowed;
  };
  const Case cases[] = {
      {0xF923, "Executive verify error at address 0xf900\n",
       "Executive verify error at address 0xf900\nExecutive verify error at address 0xf923\n"},
      {0xF800, "Executive verify error at address 0xf800\n",
       "Executive verify error at address 0xf800\nExecutive verify error at address 0xf800\n"},
      {0xFDFF, "Executive verify error at address 0xfd80\n",
       "Executive verify error at address 0xfd80\nExecutive verify error at address 0xfdff\n"},
      {0x04A0, "Executive verify error at address 0x480\n",
       "Executive verify error at address 0x480\nExecutive verify error at address 0x4a0\n"},
  };
  for (const Case& c : cases) {
    for (bool narrow : {false, true}) {
      useLoop("B,B");
      module(1).poke(c.poked, static_cast<std::uint8_t>(module(1).peek(c.poked) ^ 0x55));
      settings().debugFlags = narrow ? std::uint32_t{DebugProgress} : 0u;
      std::string output;
      EXPECT_EQ(verify(1, "", &output), ExecutiveDiffers);
      EXPECT_EQ(output, narrow ? std::string("Module 1...") + c.narrowed : std::string(c.plain))
          << c.poked;
    }
  }
}

TEST_F(ExecutiveTest, BytesAboveTheComparedWindowDoNotCount) {
  useLoop("A");
  module(0).poke(0xFE00, 0x12);
  module(0).poke(0xFFFF, 0x34);
  EXPECT_EQ(verify(0, ""), ExecutiveVerified);
}

TEST_F(ExecutiveTest, OneGivenFileServesEveryType) {
  useLoop("B,A");
  std::string output;
  EXPECT_EQ(verify(0, "nvrelay6.obf"), ExecutiveVerified);
  EXPECT_EQ(verify(1, "nvrelay6.obf", &output), ExecutiveDiffers);
  EXPECT_EQ(output, "Executive verify error at address 0xf800\n");
  EXPECT_EQ(verify(1, "nvrelayi.obf"), ExecutiveVerified);
}

TEST_F(ExecutiveTest, AnUnreadableFileGivesTwoBeforeAnyTraffic) {
  useLoop("B");
  std::remove("nvrelayi.obf");
  std::string output;
  EXPECT_EQ(verify(-1, "", &output), ExecutiveFileUnreadable);
  EXPECT_EQ(output, "Couldn't open input file nvrelayi.obf\n");
  EXPECT_TRUE(sent.empty());
}

// A new executive for type B: the standard relay code with another top block.
FirmwareImage newExecutiveB() {
  FirmwareImage image = standardFirmwareImage("nvrelay6.obf");
  image.segments[0] = syntheticSegment(0x0480, 0x380, 0xAB01);
  image.segments[1] = syntheticSegment(0xF800, 0x800, 0xAB02);
  return image;
}

TEST_F(ExecutiveTest, ReprogrammingChoosesLettersAndFlasherByVersion) {
  struct Case {
    const char* loop;
    char templateLetter;
    char codeLetter;
    const char* flasher;
  };
  const Case cases[] = {
      {"B:0x1FF", 'p', 'p', "flashold.obf"},
      {"B:0x2FF", 'Y', 'p', "flashold.obf"},
      {"B:0x300", 'Y', 'p', "flashexec.obf"},
      {"A:0x1FF", 'P', 'P', "flashold.obf"},
      {"A:0x310", 'Y', 'P', "flashexec.obf"},
  };
  ASSERT_EQ(writeObf(newExecutiveB(), directory + "/new.obf"), "");
  for (const Case& c : cases) {
    useLoop(c.loop);
    clearSent();
    const bool typeA = c.loop[0] == 'A';
    const auto outcome =
        runCaptured([&] { EXPECT_EQ(programExecutive(-1, typeA ? "" : "new.obf"), 0); });
    EXPECT_EQ(outcome.output,
              "Getting ready to reprogram the executive in module 0\n"
              "Waiting for programming... PLEASE DO NOT INTERRUPT\n"
              "Programming the executive successfully completed\n")
        << c.loop;
    const auto templates = sentCommands(c.templateLetter);
    ASSERT_FALSE(templates.empty()) << c.loop;
    EXPECT_EQ(templates.front().substr(2, 4), "e800") << c.loop;
    // The snippet goes to 0xE480 on every type but A.
    bool snippetSent = false;
    for (const std::string& request : templates) snippetSent |= request.substr(2, 4) == "e480";
    EXPECT_EQ(snippetSent, !typeA) << c.loop;
    // The flasher's code, written with the code letters, tells which flasher it was.
    const FirmwareImage flasher = standardFirmwareImage(c.flasher);
    const std::string flasherStart = "N" + std::string(1, c.codeLetter) + "f000" +
                                     hexOf(Bytes(flasher.segments[0].bytes.begin(),
                                                 flasher.segments[0].bytes.begin() + 8));
    bool flasherSent = false;
    for (const std::string& request : sentCommands(c.codeLetter)) {
      flasherSent |= request.rfind(flasherStart, 0) == 0;
    }
    EXPECT_TRUE(flasherSent) << c.loop;
    // The flasher installed the new executive.
    const FirmwareImage expected = typeA ? standardFirmwareImage("nvrelayi.obf") : newExecutiveB();
    EXPECT_EQ(memoryOf(0, 0xF800, 0x800), expected.segments[1].bytes) << c.loop;
    if (!typeA) {
      EXPECT_EQ(memoryOf(0, 0x480, 0x80),
                Bytes(expected.segments[0].bytes.begin(), expected.segments[0].bytes.begin() + 0x80));
    }
  }
}

TEST_F(ExecutiveTest, AModuleThatStaysSilentFailsAfterTwentyTries) {
  useLoop("B,flash=30000");
  const auto outcome = runCaptured([] { EXPECT_EQ(programExecutive(0, ""), 1); });
  EXPECT_EQ(outcome.output,
            "Getting ready to reprogram the executive in module 0\n"
            "Waiting for programming... PLEASE DO NOT INTERRUPT\n"
            "The programming of module 0 executive has failed.\n");
  EXPECT_EQ(sentCommands('N').size(), 20u);
  EXPECT_EQ(outcome.exitStatus, -1);
}

TEST_F(ExecutiveTest, AnUnreadableExecutiveFileFailsBeforeTheModuleIsTouched) {
  useLoop("B");
  clearSent();
  const auto outcome = runCaptured([] { EXPECT_EQ(programExecutive(0, "missing.obf"), 1); });
  EXPECT_EQ(outcome.output,
            "Getting ready to reprogram the executive in module 0\n"
            "Couldn't open input file missing.obf\n");
  for (char letter : {'p', 'P', 'Y', 'N'}) EXPECT_TRUE(sentCommands(letter).empty()) << letter;
}

TEST_F(ExecutiveTest, AMissingFlasherGivesUp) {
  useLoop("B");
  std::remove("flashexec.obf");
  const auto outcome = runCaptured([] { programExecutive(0, ""); });
  EXPECT_EQ(outcome.output,
            "Getting ready to reprogram the executive in module 0\n"
            "Couldn't open input file flashexec.obf\nGiving up\n");
  EXPECT_EQ(outcome.exitStatus, 1);
}

TEST_F(ExecutiveTest, AFileWithoutTheLowBlockIsAProgramBugForTypeB) {
  useLoop("B");
  FirmwareImage topOnly;
  topOnly.segments.push_back(syntheticSegment(0xF800, 0x800, 7));
  ASSERT_EQ(writeObf(topOnly, directory + "/top.obf"), "");
  const auto outcome = runCaptured([] { programExecutive(0, "top.obf"); });
  EXPECT_EQ(outcome.exceptionText, "Program bug 2 in programExec");
}

}  // namespace
}  // namespace plenum
