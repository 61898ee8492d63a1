// The console check against simulated modules: after a download, after a changed
// statement, with a module missing or of another type, and what it leaves behind.

#include "plenum/protocol/console_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "plenum/language/compiler_context.h"
#include "plenum/model/configuration.h"
#include "plenum/model/nv_mod.h"
#include "plenum/midi/current_port.h"
#include "plenum/protocol/chain_inquiry.h"
#include "plenum/protocol/download.h"
#include "plenum/protocol/sysex_exchange.h"
#include "plenum/protocol/testing/module_loop_fixture.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

using ::testing::HasSubstr;
using testing::Outcome;
using testing::runCaptured;

std::string exampleText(const char* name) {
  std::ifstream file(std::string(PLENUM_SOURCE_DIR "/examples/") + name);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class ConsoleCheckTest : public testing::ModuleLoopTest {
 protected:
  void download(const std::string& text) {
    writeFile("downloaded.ncf", text);
    const CompilerContextScope compiler;
    const Outcome outcome = runCaptured([] { downloadConfiguration("downloaded.ncf", -1); });
    ASSERT_THAT(outcome.output, HasSubstr("Configuration successfully downloaded"));
  }

  // Runs the check and returns its status, or the status that ended the run.
  int check(const std::string& text, int startModule = -1) {
    writeFile("checked.ncf", text);
    const CompilerContextScope compiler;
    int status = -1;
    clearSent();
    outcome = runCaptured([&] { status = checkConsole("checked.ncf", startModule); });
    return outcome.exitStatus >= 0 ? outcome.exitStatus : status;
  }

  // The module program of definition module k compiled for the loop's types.
  Bytes programOf(const std::string& text, int k) {
    writeFile("reference.ncf", text);
    const CompilerContextScope compiler;
    Configuration configuration;
    ::testing::internal::CaptureStdout();
    configuration.load("reference.ncf");
    configuration.generatePrograms();
    ::testing::internal::GetCapturedStdout();
    return configuration.modules.at(static_cast<std::size_t>(k))->program.image();
  }

  // Requests that would change a module: writes, halts, starts.
  std::size_t changingRequests() const {
    std::size_t count = 0;
    for (char command : {'P', 'p', 'Y', 'H', 'E'}) count += sentCommands(command).size();
    return count;
  }

  Outcome outcome;
};

TEST_F(ConsoleCheckTest, AfterADownloadEveryModuleIsTheSameAndNothingIsWritten) {
  useLoop("B,B");
  const std::string text = exampleText("small_console.ncf");
  download(text);
  EXPECT_EQ(check(text), kCheckSame) << outcome.output;
  EXPECT_THAT(outcome.output,
              HasSubstr("Module 0: same\nModule 1: same\nThe console holds this configuration\n"));
  EXPECT_EQ(changingRequests(), 0u);
  // The relay code and the program were compared with the download's verify letters.
  EXPECT_FALSE(sentCommands('c').empty());
  EXPECT_FALSE(sentCommands('Z').empty());
  EXPECT_TRUE(sentCommands('C').empty());
}

TEST_F(ConsoleCheckTest, OneChangedStatementNamesThePagesItChanged) {
  useLoop("B,B,B,B,B,B,B,B,B");
  const std::string text = exampleText("large_console.ncf");
  ASSERT_FALSE(text.empty());
  download(text);
  // The Great keys moved an octave up: one statement changed.
  std::string changed = text;
  const std::size_t at = text.rfind("*MIDI_NOTE = 36");
  ASSERT_NE(at, std::string::npos);
  changed.replace(at, 15, "*MIDI_NOTE = 48");
  // Worked out from the two images: the pages where they differ, module by module.
  std::vector<std::set<std::uint32_t>> expected(9);
  for (int k = 0; k < 9; ++k) {
    const Bytes before = programOf(text, k);
    const Bytes after = programOf(changed, k);
    for (std::size_t i = 0; i < std::max(before.size(), after.size()); ++i) {
      const bool same = i < before.size() && i < after.size() && before[i] == after[i];
      if (!same) expected[k].insert(0x1E80 + static_cast<std::uint32_t>(i / 128 * 128));
    }
  }
  std::size_t changedModules = 0;
  for (const auto& pages : expected) changedModules += pages.empty() ? 0 : 1;
  // The modules that read the Great or act on its notes change, the others do not.
  ASSERT_GT(changedModules, 0u);
  ASSERT_LT(changedModules, 9u);

  EXPECT_EQ(check(changed), kCheckDiffers);
  EXPECT_EQ(changingRequests(), 0u);
  for (int k = 0; k < 9; ++k) {
    const std::string head = "Module " + std::to_string(k) + ": ";
    if (expected[k].empty()) {
      EXPECT_THAT(outcome.output, HasSubstr(head + "same\n"));
      continue;
    }
    EXPECT_THAT(outcome.output, HasSubstr(head + "differs\n  user program: "));
    // Every page it names is one the images differ in, and it names all of them.
    const std::size_t from = outcome.output.find(head);
    const std::string line = outcome.output.substr(from, outcome.output.find('\n', outcome.output.find("user program", from)) - from);
    for (std::uint32_t page : expected[k]) {
      char address[8];
      std::snprintf(address, sizeof address, "0x%04x", page);
      EXPECT_THAT(line, HasSubstr(address));
    }
    EXPECT_THAT(line, HasSubstr(std::to_string(expected[k].size()) + " of "));
  }
  EXPECT_THAT(outcome.output, HasSubstr("The console differs from this configuration\n"));
}

TEST_F(ConsoleCheckTest, ChangedRelayCodeIsNamedApartFromTheProgram) {
  useLoop("B");
  const std::string text = "*NORVO_MODULE\n*END\n";
  download(text);
  module(0).poke(0x0600, static_cast<std::uint8_t>(module(0).peek(0x0600) ^ 0xFF));
  EXPECT_EQ(check(text), kCheckDiffers);
  EXPECT_THAT(outcome.output, HasSubstr("Module 0: differs\n  relay code: 1 of "));
  EXPECT_THAT(outcome.output, HasSubstr("differs: 0x0600\n"));
  EXPECT_THAT(outcome.output, ::testing::Not(HasSubstr("user program")));
}

TEST_F(ConsoleCheckTest, TheModulesAreLeftRunningOrHaltedAsTheyWere) {
  useLoop("B,B");
  const std::string text = exampleText("small_console.ncf");
  download(text);
  currentPort();
  commandAndWait(1, "H", true);
  ASSERT_TRUE(module(0).running());
  ASSERT_FALSE(module(1).running());
  EXPECT_EQ(check(text), kCheckSame);
  EXPECT_TRUE(module(0).running());
  EXPECT_FALSE(module(1).running());
}

TEST_F(ConsoleCheckTest, AModuleMissingOrOneTooManyIsItsOwnStatus) {
  struct Case {
    const char* loop;
    const char* message;
  };
  for (const Case& c : {Case{"B", "Your definition indicates 2 modules, but 1 was found\n"},
                        Case{"B,B,B", "Your definition indicates 2 modules, but 3 were found\n"},
                        Case{"empty", "Your definition indicates 2 modules, but 0 were found\n"}}) {
    useLoop(c.loop);
    EXPECT_EQ(check(exampleText("small_console.ncf")), kCheckModuleCount) << c.loop;
    EXPECT_THAT(outcome.output, HasSubstr(c.message));
    EXPECT_THAT(outcome.output, ::testing::Not(HasSubstr("Module 0:")));
    EXPECT_TRUE(sentCommands('Z').empty());
  }
}

TEST_F(ConsoleCheckTest, AStartModuleComparesTheLaterDefinitionModules) {
  useLoop("B,B");
  const std::string three = "*NORVO_MODULE\n*NORVO_MODULE\n*INPUT_64\n*DIVISION = Swell *BITS = 1, 61 "
                            "*MIDI_CHANNEL = 2 *MIDI_NOTE = 36\n*NORVO_MODULE\n*END\n";
  writeFile("three.ncf", three);
  {
    const CompilerContextScope compiler;
    const Outcome downloaded = runCaptured([] { downloadConfiguration("three.ncf", 1); });
    ASSERT_THAT(downloaded.output, HasSubstr("Configuration successfully downloaded"));
  }
  EXPECT_EQ(check(three, 1), kCheckSame) << outcome.output;
  EXPECT_THAT(outcome.output,
              HasSubstr("Checking 2 modules, starting with module 1 of the definition\n"
                        "Module 0 (module 1 of the definition): same\n"
                        "Module 1 (module 2 of the definition): same\n"));
  EXPECT_EQ(check(three, 2), kCheckModuleCount);
  EXPECT_THAT(outcome.output,
              HasSubstr("The loop has 2 modules, but the definition has only 1 from module 2 on\n"));
  // Compared with the first two definition modules instead, module 0 differs.
  EXPECT_EQ(check(three, 0), kCheckDiffers);
  EXPECT_THAT(outcome.output, HasSubstr("Module 0: differs\n"));
}

TEST_F(ConsoleCheckTest, AModuleOfAnotherTypeIsNotComparedPageByPage) {
  useLoop("A,B");
  settings().assumeTypeB = true;  // the file is compiled for type B modules only
  EXPECT_EQ(check("*NORVO_MODULE\n*NORVO_MODULE\n*END\n"), kCheckDiffers);
  EXPECT_THAT(outcome.output, HasSubstr("Module 0: differs\n  type A, the definition says type B\n"));
  for (const std::string& request : sentCommands('Z')) EXPECT_EQ(request[0], 'O') << request;
}

TEST_F(ConsoleCheckTest, AFreshLoopDiffersEverywhere) {
  useLoop("C");
  EXPECT_EQ(check("*NORVO_MODULE\n*END\n"), kCheckDiffers);
  // Type C takes no relay code; its program lies at address 0.
  EXPECT_THAT(outcome.output, HasSubstr("Module 0: differs\n  user program: 1 of 1 page differs: 0x0000\n"));
  EXPECT_TRUE(sentCommands('C').empty());
}

TEST(ConsoleCheckReport, NamesPagesRunsAndOddAnswers) {
  struct Case {
    std::vector<PageDifference> pages;
    std::size_t compared;
    const char* text;
  };
  const Case cases[] = {
      {{}, 4, "same\n"},
      {{{0x1e80, 128, 'N'}}, 1, "differs\n  user program: 1 of 1 page differs: 0x1e80\n"},
      {{{0x1e80, 128, 'N'}, {0x1f00, 128, 'N'}}, 4,
       "differs\n  user program: 2 of 4 pages differ: 0x1e80, 0x1f00\n"},
      {{{0x1e80, 128, 'N'}, {0x1f00, 128, 'N'}, {0x1f80, 128, 'N'}, {0x2100, 40, 'N'}}, 6,
       "differs\n  user program: 4 of 6 pages differ: 0x1e80 to 0x1f80, 0x2100\n"},
      {{{0xe000, 64, 'N'}, {0xe040, 64, 'E'}, {0xe080, 64, 'N'}}, 3,
       "differs\n  user program: 3 of 3 pages differ: 0xe000, 0xe040 (answer E), 0xe080\n"},
  };
  for (const Case& c : cases) {
    ModuleComparison comparison;
    comparison.program.pages = c.compared;
    comparison.program.differing = c.pages;
    EXPECT_EQ(describeComparison(comparison), c.text);
  }
  ModuleComparison both;
  both.relayCode = {3, {{0x0480, 128, 'N'}}};
  both.program = {2, {{0x1f00, 128, 'X'}}};
  EXPECT_EQ(describeComparison(both),
            "differs\n  relay code: 1 of 3 pages differs: 0x0480\n"
            "  user program: 1 of 2 pages differs: 0x1f00 (answer X)\n");
  ModuleComparison typed;
  typed.reportedType = 'C';
  typed.program = {2, {{0x1f00, 128, 'N'}}};
  EXPECT_EQ(describeComparison(typed), "differs\n  type C, the definition says type B\n");
}

}  // namespace
}  // namespace plenum
