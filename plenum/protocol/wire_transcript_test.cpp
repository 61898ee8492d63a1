// Every frame that a download, an executive reprogramming and a registration store put on
// the wire, compared with transcripts recorded from a known-good build. The modules take
// these bytes as they come, so a refactoring of the block writing must leave each of them
// as it was: letter case of the hex digits included.
//
// After a deliberate change of the traffic, PLENUM_WRITE_TRANSCRIPTS=1 rewrites the files.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "plenum/language/compiler_context.h"
#include "plenum/protocol/download.h"
#include "plenum/protocol/executive.h"
#include "plenum/protocol/registration_options.h"
#include "plenum/protocol/testing/module_loop_fixture.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

using testing::Outcome;
using testing::runCaptured;

const std::string kTranscripts = PLENUM_SOURCE_DIR "/plenum/protocol/wire_transcripts/";

// One line per frame: printable bytes as they are, every other byte (and the backslash)
// as \xHH, so the file shows the traffic and still pins every byte.
std::string transcriptOf(const std::vector<Bytes>& frames) {
  std::string text;
  char escape[8];
  for (const Bytes& frame : frames) {
    for (std::uint8_t byte : frame) {
      if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
        text += static_cast<char>(byte);
      } else {
        std::snprintf(escape, sizeof escape, "\\x%02x", byte);
        text += escape;
      }
    }
    text += '\n';
  }
  return text;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class WireTranscriptTest : public testing::ModuleLoopTest {
 protected:
  void expectTranscript(const std::string& name) {
    const std::string actual = transcriptOf(sent);
    const std::string path = kTranscripts + name;
    if (std::getenv("PLENUM_WRITE_TRANSCRIPTS") != nullptr) {
      std::ofstream(path, std::ios::binary) << actual;
      GTEST_SKIP() << "wrote " << path;
    }
    const std::string expected = readText(path);
    ASSERT_FALSE(expected.empty()) << "no transcript " << path;
    if (actual == expected) return;
    // Name the first frame that differs rather than printing kilobytes of hex.
    std::istringstream a(actual), e(expected);
    std::string lineA, lineE;
    for (int line = 1;; ++line) {
      const bool moreA = static_cast<bool>(std::getline(a, lineA));
      const bool moreE = static_cast<bool>(std::getline(e, lineE));
      if (!moreA && !moreE) break;
      if (lineA != lineE || moreA != moreE) {
        ADD_FAILURE() << name << ": frame " << line << " differs\n  sent:     " << lineA
                      << "\n  recorded: " << lineE;
        return;
      }
    }
  }

  Outcome download(const std::string& example, const std::string& loop) {
    useLoop(loop);
    clearSent();
    writeFile("organ.ncf", readText(PLENUM_SOURCE_DIR "/examples/" + example));
    const CompilerContextScope compiler;
    return runCaptured([] { downloadConfiguration("organ.ncf", -1); });
  }
};

TEST_F(WireTranscriptTest, DownloadsOfTypeAWithCombinationActionAndOfTypesBAndC) {
  // Type A with combination action: the registration area is erased, the relay code with
  // the code letters of type A, the module programs.
  Outcome outcome = download("combination_action.ncf", "A,A");
  EXPECT_EQ(outcome.exitStatus, -1) << outcome.output;
  expectTranscript("download_combination_A_A.txt");

  outcome = download("small_console.ncf", "B,C");
  EXPECT_EQ(outcome.exitStatus, -1) << outcome.output;
  expectTranscript("download_small_B_C.txt");

  // With -u the relay code is compared page by page first and only differences written.
  settings().skipUnchangedCode = true;
  outcome = download("relays_and_ranks.ncf", "B,B");
  EXPECT_EQ(outcome.exitStatus, -1) << outcome.output;
  expectTranscript("download_relays_B_B_unchanged.txt");
}

TEST_F(WireTranscriptTest, ExecutiveReprogrammingOfOldAndNewExecutives) {
  useLoop("A:0x1FF,B:0x2FF,B:0x310");
  clearSent();
  const Outcome outcome = runCaptured([] { EXPECT_EQ(programExecutive(-1, ""), 0); });
  EXPECT_EQ(outcome.exitStatus, -1) << outcome.output;
  expectTranscript("executive_A_B_B.txt");
}

TEST_F(WireTranscriptTest, RegistrationLoadSendsTheFilesDigitsInTheirOwnCase) {
  // Module 0 (type A) writes 64-byte blocks, module 1 (type B) 128-byte blocks.
  useLoop("A,B,combi=0:2:4:16,combi=1:2:4:32");
  std::string a, b;
  const char digits[] = "0123456789abcdefABCDEF";
  for (int i = 0; i < 2 * 2 * 64; ++i) a += digits[(i * 7) % 22];
  for (int i = 0; i < 2 * 2 * 128; ++i) b += digits[(i * 5 + 3) % 22];
  writeFile("mixed.reg", "reg 1\nmod 0 banks 2 pistons 4 size 16\n" + a +
                             "\nmod 1 banks 2 pistons 4 size 32\n" + b + "\n");
  clearSent();
  Outcome outcome = runCaptured([] { EXPECT_EQ(loadRegistrationOption("mixed.reg"), 0); });
  EXPECT_EQ(outcome.exitStatus, -1) << outcome.output;

  // One bank of upper-case digits into banks 1 and 2... of a module with two banks: the
  // second copy is refused after the first was written.
  std::string one = a.substr(0, 128), two = b.substr(0, 256);
  for (char& c : one) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  writeFile("one.reg", "reg 1\nmod 0 banks 1 pistons 4 size 16\n" + one +
                           "\nmod 1 banks 1 pistons 4 size 32\n" + two + "\n");
  settings().startModule = 1;
  settings().bankCount = 2;
  outcome = runCaptured([] { EXPECT_EQ(loadRegistrationOption("one.reg"), 1); });
  EXPECT_NE(outcome.output.find("which has only 2 memory banks"), std::string::npos)
      << outcome.output;
  expectTranscript("registration_load_A_B.txt");
}

}  // namespace
}  // namespace plenum
