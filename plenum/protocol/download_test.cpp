// The download of a compiled configuration and the programming of code files, against
// simulated modules.

#include "plenum/protocol/download.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "plenum/language/compiler_context.h"
#include "plenum/model/configuration.h"
#include "plenum/model/nv_mod.h"
#include "plenum/protocol/firmware_obf.h"
#include "plenum/protocol/testing/module_loop_fixture.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"
#include "tools/firmware_synthetic.h"

namespace plenum {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testing::Outcome;
using testing::runCaptured;

std::string definitionOf(int modules) {
  std::string text;
  for (int i = 0; i < modules; ++i) text += "*NORVO_MODULE\n";
  return text + "*END\n";
}

class DownloadTest : public testing::ModuleLoopTest {
 protected:
  Outcome download(int modules, int startModule = -1) {
    writeFile("organ.ncf", definitionOf(modules));
    const CompilerContextScope compiler;
    return runCaptured([&] { downloadConfiguration("organ.ncf", startModule); });
  }

  // What the compiler makes of definition module k when the modules have `types`.
  Bytes programOf(int modules, int k, const std::string& types) {
    const std::string saved = moduleTypes();
    moduleTypes() = types;
    writeFile("reference.ncf", definitionOf(modules));
    const CompilerContextScope compiler;
    Configuration configuration;
    ::testing::internal::CaptureStdout();
    configuration.load("reference.ncf");
    configuration.generatePrograms();
    ::testing::internal::GetCapturedStdout();
    moduleTypes() = saved;
    const auto& image = configuration.modules.at(static_cast<std::size_t>(k))->program.image();
    return Bytes(image.begin(), image.end());
  }
};

TEST_F(DownloadTest, TheRegistrationAreaOfTypeAIsErasedOnlyWithoutItsMarker) {
  std::ifstream example(PLENUM_SOURCE_DIR
                        "/tests/cli/cases/download_combination_erases_registration/combination_action.ncf");
  ASSERT_TRUE(example);
  std::stringstream text;
  text << example.rdbuf();
  for (bool marked : {false, true}) {
    useLoop("A,A");
    clearSent();
    if (marked) {
      module(1).poke(0xF7D7, 0xF0);
      module(1).poke(0xF7D8, 0x00);
    }
    module(1).poke(0xEF00, 0x5A);  // a stored registration
    writeFile("combination.ncf", text.str());
    settings().debugFlags = DebugProgress;
    const CompilerContextScope compiler;
    const Outcome outcome = runCaptured([] { downloadConfiguration("combination.ncf", -1); });
    EXPECT_EQ(outcome.exitStatus, -1) << outcome.output;
    EXPECT_THAT(outcome.output, HasSubstr("Configuration successfully downloaded\n"));
    // Module 0 has none: it gets the plain relay code.
    EXPECT_THAT(outcome.output, HasSubstr("P0I"));
    std::size_t erased = 0;
    for (const std::string& request : sentCommands('Y')) {
      if (request[0] == 'O' && request.size() == 6 + 128 &&
          request.substr(6) == std::string(128, 'f') && request.substr(2, 1) == "e") {
        ++erased;
      }
    }
    if (marked) {
      EXPECT_THAT(outcome.output, HasSubstr("1C"));
      EXPECT_THAT(outcome.output, Not(HasSubstr("Erasing")));
      EXPECT_EQ(erased, 0u);
      EXPECT_EQ(module(1).peek(0xEF00), 0x5A);
    } else {
      EXPECT_THAT(outcome.output, HasSubstr("1C Erasing registration area\n"));
      EXPECT_EQ(erased, 64u);  // 0xE000 up to 0xF000 in 64-byte pages
      EXPECT_EQ(module(1).peek(0xEF00), 0xFF);
    }
    // The combination-action relay code leaves the marker in place for the next time.
    EXPECT_EQ(memoryOf(1, 0xF7D7, 2), (Bytes{0xF0, 0x00}));
    resetSettings();
  }
}

TEST_F(DownloadTest, ACleanTwoModuleDownloadShowsEveryStage) {
  useLoop("B,B");
  const Outcome outcome = download(2);
  EXPECT_THAT(outcome.output, HasSubstr("\nV01H01X01P0B1BU01E10\nConfiguration successfully downloaded\n"));
  EXPECT_EQ(outcome.exitStatus, -1);
  const Bytes program = programOf(2, 0, "BB");
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(memoryOf(0, 0x1E80, program.size()), program);
  EXPECT_EQ(memoryOf(1, 0x1E80, program.size()), programOf(2, 1, "BB"));
  // The relay code is in, and the modules run again, the one nearest the input first.
  const Bytes relay = standardFirmwareImage("nvrelay6.obf").segments[0].bytes;
  EXPECT_EQ(memoryOf(1, 0x480, relay.size()), relay);
  EXPECT_TRUE(module(0).running());
  const auto starts = sentCommands('E');
  EXPECT_EQ(starts, (std::vector<std::string>{"OE", "NE"}));
}

TEST_F(DownloadTest, StopsWhenTheLoopAndTheDefinitionDisagree) {
  struct Case {
    const char* loop;
    int defined;
    const char* message;
  };
  const Case cases[] = {
      {"B,B", 1, "Your definition indicates 1 module, but 2 were found\n"},
      {"B", 2, "Your definition indicates 2 modules, but 1 was found\n"},
      {"empty", 2, "Your definition indicates 2 modules, but 0 were found\n"},
  };
  for (const Case& c : cases) {
    useLoop(c.loop);
    clearSent();
    const Outcome outcome = download(c.defined);
    EXPECT_THAT(outcome.output, HasSubstr(c.message));
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_TRUE(sentCommands('H').empty()) << c.loop;
  }
}

TEST_F(DownloadTest, AStartModuleSendsLaterDefinitionModulesToTheLoopsTypes) {
  useLoop("A,C");
  const Outcome outcome = download(3, 1);
  EXPECT_THAT(outcome.output,
              HasSubstr("Downloading to 2 modules, starting with module 1 of the definition\n"
                        "V01H01X01P0I1U01E10\nConfiguration successfully downloaded\n"));
  EXPECT_EQ(outcome.exitStatus, -1);
  // Definition module 1 went to the type A module at 0xE000, module 2 to the type C one at 0.
  const Bytes first = programOf(3, 1, "BAC");
  const Bytes second = programOf(3, 2, "BAC");
  EXPECT_EQ(memoryOf(0, 0xE000, first.size()), first);
  EXPECT_EQ(memoryOf(1, 0x0000, second.size()), second);
  // Type C gets neither an executive check nor relay code.
  for (const std::string& request : sentPayloads()) {
    if (request[0] == 'O') {
      EXPECT_THAT(std::string("VHYE"), HasSubstr(request.substr(1, 1))) << request;
    }
  }
}

TEST_F(DownloadTest, AStartModuleTooHighForTheLoopStops) {
  useLoop("B,B");
  const Outcome outcome = download(3, 2);
  EXPECT_THAT(outcome.output,
              HasSubstr("You are trying to download your program starting with\n"
                        "module 2 to a MIDI chain with 2 modules.\n"
                        "Your program only has 3 modules defined, which isn't enough\n"));
  EXPECT_EQ(outcome.exitStatus, 1);
}

TEST_F(DownloadTest, ATypeCModuleGetsItsProgramAtAddressZero) {
  useLoop("C");
  const Outcome outcome = download(1);
  EXPECT_THAT(outcome.output, HasSubstr("\nV0H0X0P0U0E0\nConfiguration successfully downloaded\n"));
  const Bytes program = programOf(1, 0, "C");
  EXPECT_EQ(memoryOf(0, 0, program.size()), program);
}

TEST_F(DownloadTest, AFailedVerifyOfTheRelayCodeStopsWithStatusTwo) {
  // Stage X sends 13 verify requests to each type B module; the 27th is the relay code's
  // first verify in stage P.
  useLoop("B,B,failverify=27");
  const Outcome outcome = download(2);
  EXPECT_THAT(outcome.output, HasSubstr("P0BVerify failed at address 0x480\n"
                                        "\nDownload stopped at module 0 in stage P (relay code)\n"));
  EXPECT_THAT(outcome.output, Not(HasSubstr("successfully")));
  EXPECT_EQ(outcome.exitStatus, 2);
}

TEST_F(DownloadTest, AWrongExecutiveStopsUnlessForced) {
  for (bool force : {false, true}) {
    useLoop("B");
    module(0).poke(0xFA10, static_cast<std::uint8_t>(module(0).peek(0xFA10) ^ 1));
    settings().forceDownload = force;
    const Outcome outcome = download(1);
    EXPECT_THAT(outcome.output,
                HasSubstr("X0Executive verify error at address 0xfa00\n"
                          "One or more modules do not have the appropriate version.\n"));
    if (force) {
      EXPECT_THAT(outcome.output, HasSubstr("Configuration successfully downloaded\n"));
      EXPECT_EQ(outcome.exitStatus, -1);
    } else {
      EXPECT_THAT(outcome.output, HasSubstr("\nDownload stopped at module 0 in stage X (executive check)\n"));
      EXPECT_EQ(outcome.exitStatus, 1);
    }
  }
}

TEST_F(DownloadTest, ATypeTheDefinitionDidNotExpectIsAnError) {
  useLoop("A");
  settings().assumeTypeB = true;
  const Outcome outcome = download(1);
  // The message goes through the diagnostics, which add a line end of their own.
  EXPECT_THAT(outcome.output, HasSubstr("V0organ.ncf:1: \nYour definition file indicates module 0 "
                                        "is module type B\n\n\tThe actual module found is module "
                                        "type A\n"));
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_TRUE(sentCommands('H').empty());
}

TEST_F(DownloadTest, CompileOnlyTalksToTheLoopOnlyForTheTypes) {
  useLoop("B,B");
  settings().stopAfterCompile = true;
  const Outcome outcome = download(2);
  EXPECT_EQ(outcome.exitStatus, 0);
  EXPECT_EQ(sentPayloads(), (std::vector<std::string>{"L", "NV", "OV"}));
}

TEST_F(DownloadTest, AMissingRelayFileStopsTheDownload) {
  useLoop("B");
  settings().forceDownload = true;  // past stage X, which reads the same file
  std::remove("nvrelay6.obf");
  const Outcome outcome = download(1);
  EXPECT_THAT(outcome.output, HasSubstr("Couldn't open input file nvrelay6.obf\n"
                                        "\nDownload stopped at module 0 in stage P (relay code)\n"));
  EXPECT_EQ(outcome.exitStatus, 1);
}

// The requests of one kind sent since the last clear, cut to module byte, letter and address.
std::vector<std::string> blocksOf(const std::vector<std::string>& requests) {
  std::vector<std::string> blocks;
  for (const std::string& request : requests) blocks.push_back(request.substr(0, 6));
  return blocks;
}

TEST_F(DownloadTest, UpdateWritesOnlyTheRelayCodePagesThatDiffer) {
  struct Case {
    const char* what;
    std::uint32_t changed;  // a relay-code byte of module 1 changed after the first download
    std::vector<std::string> written;
  };
  const Case cases[] = {
      {"relay code current", 0, {}},
      {"one page differs", 0x610, {"Op0600"}},
  };
  const Bytes relay = standardFirmwareImage("nvrelay6.obf").segments[0].bytes;
  for (const Case& c : cases) {
    useLoop("B,B");
    ASSERT_EQ(download(2).exitStatus, -1) << c.what;
    if (c.changed != 0) module(1).poke(c.changed, static_cast<std::uint8_t>(module(1).peek(c.changed) ^ 0xFF));
    clearSent();
    moduleTypes().clear();
    settings().skipUnchangedCode = true;
    const Outcome outcome = download(2);
    settings().skipUnchangedCode = false;
    EXPECT_THAT(outcome.output, HasSubstr("\nV01H01X01P0B1BU01E10\nConfiguration successfully downloaded\n")) << c.what;
    EXPECT_EQ(outcome.exitStatus, -1) << c.what;
    EXPECT_EQ(blocksOf(sentCommands('p')), c.written) << c.what;
    // Stage P compared all seven pages of both modules; a written page is compared again.
    std::size_t compared = 0;
    for (const std::string& block : blocksOf(sentCommands('c'))) {
      if (block.substr(2) >= "0500" && block.substr(2) < "0800") ++compared;
    }
    EXPECT_EQ(compared, 2 * 6 + c.written.size()) << c.what;
    const std::vector<std::string> sentBlocks = blocksOf(sentPayloads());
    for (const std::string& page : c.written) {
      const auto writtenAt = std::find(sentBlocks.begin(), sentBlocks.end(), page);
      ASSERT_NE(writtenAt, sentBlocks.end());
      ASSERT_NE(writtenAt + 1, sentBlocks.end());
      EXPECT_EQ(writtenAt[1], "Oc" + page.substr(2)) << "a written page is verified next";
    }
    EXPECT_EQ(memoryOf(1, 0x480, relay.size()), relay) << c.what;
    // The module programs are written as always.
    EXPECT_EQ(sentCommands('Y').size(), 2u) << c.what;
  }
}

TEST_F(DownloadTest, UpdateStopsWithStatusTwoWhenAWrittenPageDoesNotVerify) {
  // A new module holds only the executive's part of the first relay page. Stage X sends
  // 13 verify requests; stage P compares the seven pages (verify requests 14 to 20), writes
  // the six that differ, and the 21st is the verify of the first of them, at 0x500.
  useLoop("B,failverify=21");
  settings().skipUnchangedCode = true;
  const Outcome outcome = download(1);
  EXPECT_THAT(outcome.output, HasSubstr("P0BVerify failed at address 0x500\n"
                                        "\nDownload stopped at module 0 in stage P (relay code)\n"));
  EXPECT_THAT(outcome.output, Not(HasSubstr("successfully")));
  EXPECT_EQ(outcome.exitStatus, 2);
  EXPECT_EQ(sentCommands('p').size(), 6u);
}

// A re-download with -u must leave the modules exactly as a plain one does, also when a
// relay page was damaged and the configuration changed by one statement in between.
TEST_F(DownloadTest, UpdateLeavesTheModulesAsAPlainDownloadDoes) {
  std::ifstream example(PLENUM_SOURCE_DIR
                        "/tests/cli/cases/download_combination_erases_registration/combination_action.ncf");
  ASSERT_TRUE(example);
  std::stringstream text;
  text << example.rdbuf();
  const std::string configuration = text.str();
  std::string changed = configuration;
  const std::string statement = "*DUAL_MAG_TIME = 80";
  ASSERT_NE(changed.find(statement), std::string::npos);
  changed.replace(changed.find(statement), statement.size(), "*DUAL_MAG_TIME = 90");
  writeFile("before.ncf", configuration);
  writeFile("after.ncf", changed);

  auto run = [&](const char* file) {
    moduleTypes().clear();
    const CompilerContextScope compiler;
    return runCaptured([&] { downloadConfiguration(file, -1); });
  };
  // The loop after a first download, a damaged relay byte and a second download.
  auto memoryAfter = [&](const char* loop, std::uint32_t damaged, bool update) {
    useLoop(loop);
    EXPECT_EQ(run("before.ncf").exitStatus, -1);
    module(0).poke(damaged, static_cast<std::uint8_t>(module(0).peek(damaged) ^ 0x5A));
    settings().skipUnchangedCode = update;
    const Outcome second = run("after.ncf");
    settings().skipUnchangedCode = false;
    EXPECT_EQ(second.exitStatus, -1) << second.output;
    std::vector<Bytes> memories;
    for (int k = 0; k < 2; ++k) memories.push_back(memoryOf(k, 0, 0x10000));
    return memories;
  };
  struct Case {
    const char* loop;
    std::uint32_t damaged;
  };
  for (const Case& c : {Case{"A,A", 0xF123}, Case{"B,B", 0x5A0}}) {
    const std::vector<Bytes> plain = memoryAfter(c.loop, c.damaged, false);
    const std::size_t plainWrites = sentCommands('P').size() + sentCommands('p').size();
    clearSent();
    const std::vector<Bytes> updated = memoryAfter(c.loop, c.damaged, true);
    const std::size_t updateWrites = sentCommands('P').size() + sentCommands('p').size();
    EXPECT_TRUE(plain == updated) << c.loop;
    EXPECT_LT(updateWrites, plainWrites) << c.loop;
    EXPECT_GT(updateWrites, 0u) << c.loop << ": the damaged page is written again";
    EXPECT_NE(plain[0], plain[1]) << "the memories say something";
  }
}

class CodeFileTest : public testing::ModuleLoopTest {
 protected:
  void writeImage(const std::string& name, std::vector<ImageSegment> segments) {
    FirmwareImage image;
    image.segments = std::move(segments);
    ASSERT_EQ(writeObf(image, directory + "/" + name), "");
  }
  Outcome program(int module, const std::string& name) {
    return runCaptured([&] { result = programCodeFile(module, name); });
  }
  int result = -1;
};

TEST_F(CodeFileTest, RefusesFilesOfTheWrongShape) {
  useLoop("B");
  struct Case {
    std::uint32_t lowStart;
    std::size_t topSize;
    const char* message;
  };
  const Case cases[] = {
      {0x500, 0x800, "Address of b2 not reasonable\n"},
      {0xE7FF, 0x800, "Address of b2 not reasonable\n"},
      {0xF001, 0x800, "Address of b2 not reasonable\n"},
      {0xE800, 0x7FF, "Size of b not 0x800\n"},
      {0xE800, 0x801, "Size of b not 0x800\n"},
  };
  for (const Case& c : cases) {
    writeImage("code.obf", {syntheticSegment(c.lowStart, 16, 1), syntheticSegment(0xF800, c.topSize, 2)});
    const Outcome outcome = program(-1, "code.obf");
    EXPECT_EQ(outcome.output, c.message) << c.lowStart;
    EXPECT_EQ(outcome.exitStatus, 1) << c.lowStart;
  }
  EXPECT_TRUE(sent.empty());
}

TEST_F(CodeFileTest, ProgramsOnlyThePagesTheFileCoversAndPadsWithFF) {
  useLoop("B,B");
  const ImageSegment code = syntheticSegment(0xF000, 16, 3);
  writeImage("code.obf", {code, syntheticSegment(0xF800, 0x800, 4)});
  settings().debugFlags = DebugProgress;
  const Outcome outcome = program(1, "code.obf");
  EXPECT_EQ(outcome.output, "Module 1...\nUser program verified\n");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(sentCommands('p').size(), 1u);
  EXPECT_EQ(sentCommands('c').size(), 1u);
  Bytes expected = code.bytes;
  expected.resize(128, 0xFF);
  EXPECT_EQ(memoryOf(1, 0xF000, 128), expected);
  EXPECT_EQ(memoryOf(0, 0xF000, 16), Bytes(16, 0));  // the other module untouched
}

TEST_F(CodeFileTest, UsesEachModulesTypeForLettersAndPages) {
  useLoop("A,B");
  const ImageSegment code = syntheticSegment(0xF000, 0x100, 5);
  writeImage("code.obf", {code, syntheticSegment(0xF800, 0x800, 6)});
  EXPECT_EQ(program(-1, "code.obf").output, "");
  EXPECT_EQ(sentCommands('P').size(), 4u);  // 64-byte pages on type A
  EXPECT_EQ(sentCommands('p').size(), 2u);
  EXPECT_EQ(memoryOf(0, 0xF000, 0x100), code.bytes);
  EXPECT_EQ(memoryOf(1, 0xF000, 0x100), code.bytes);
}

TEST_F(CodeFileTest, AFailingVerifyEndsWithStatusTwo) {
  // With -u the two pages are compared first (verify requests 1 and 2), then written; the
  // verify after the writing fails.
  for (const char* loop : {"B,failverify=1", "B,failverify=3"}) {
    useLoop(loop);
    settings().skipUnchangedCode = std::string(loop) == "B,failverify=3";
    writeImage("code.obf", {syntheticSegment(0xE800, 0x100, 5), syntheticSegment(0xF800, 0x800, 6)});
    clearSent();
    const Outcome outcome = program(0, "code.obf");
    EXPECT_EQ(outcome.output, "Verify failed at address 0xe800\n") << loop;
    EXPECT_EQ(outcome.exitStatus, 2) << loop;
    EXPECT_EQ(sentCommands('p').size(), 2u) << loop;
  }
}

TEST_F(CodeFileTest, UpdateComparesEveryPageAndWritesOnlyThoseThatDiffer) {
  useLoop("B");
  const ImageSegment code = syntheticSegment(0xE800, 0x180, 7);  // three pages
  writeImage("code.obf", {code, syntheticSegment(0xF800, 0x800, 8)});
  settings().skipUnchangedCode = true;
  struct Step {
    const char* what;
    std::uint32_t changed;  // a byte changed in the module before the step, or 0
    std::vector<std::string> blocks;
  };
  const Step steps[] = {
      {"new module",
       0,
       {"Nce800", "Nce880", "Nce900", "Npe800", "Npe880", "Npe900", "Nce800", "Nce880", "Nce900"}},
      {"code current", 0, {"Nce800", "Nce880", "Nce900"}},
      {"one byte changed", 0xE8A0, {"Nce800", "Nce880", "Nce900", "Npe880", "Nce880"}},
      {"last byte changed", 0xE97F, {"Nce800", "Nce880", "Nce900", "Npe900", "Nce900"}},
  };
  for (const Step& step : steps) {
    if (step.changed != 0) module(0).poke(step.changed, static_cast<std::uint8_t>(module(0).peek(step.changed) + 1));
    clearSent();
    EXPECT_EQ(program(0, "code.obf").output, "") << step.what;
    EXPECT_EQ(result, 0) << step.what;
    std::vector<std::string> blocks;
    for (const std::string& block : blocksOf(sentPayloads())) {
      if (block[1] == 'p' || block[1] == 'c') blocks.push_back(block);
    }
    EXPECT_EQ(blocks, step.blocks) << step.what;
    EXPECT_EQ(memoryOf(0, 0xE800, code.bytes.size()), code.bytes) << step.what;
  }
}

TEST_F(CodeFileTest, AnUnreadableFileIsReturnedToTheCaller) {
  useLoop("B");
  writeFile("bad.obf", "obfd");
  EXPECT_EQ(program(0, "missing.obf").output, "Couldn't open input file missing.obf\n");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(program(0, "bad.obf").output, "File version not 1 in file bad.obf\n");
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(sent.empty());
}

TEST_F(CodeFileTest, TypeCModulesHaveNoCodeArea) {
  useLoop("C");
  writeImage("code.obf", {syntheticSegment(0xE800, 0x10, 5), syntheticSegment(0xF800, 0x800, 6)});
  bool bug = false;
  try {
    ::testing::internal::CaptureStdout();
    programCodeFile(0, "code.obf");
  } catch (const ProgramBug& failure) {
    bug = std::string(failure.where) == "plenum:279";
  }
  ::testing::internal::GetCapturedStdout();
  EXPECT_TRUE(bug);
}

}  // namespace
}  // namespace plenum
