#include "plenum/driver/command_line.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "plenum/midi/current_port.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

// Runs the option walk on the words after "plenum" with fresh settings.
class CommandLine : public testing::Test {
 protected:
  void SetUp() override { resetSettings(); }
  void TearDown() override { resetSettings(); }

  int run(std::vector<std::string> words) {
    words.insert(words.begin(), "plenum");
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int status = runCommandLine(static_cast<int>(words.size()), argv.data());
    out = testing::internal::GetCapturedStdout();
    err = testing::internal::GetCapturedStderr();
    return status;
  }

  std::string out;
  std::string err;
};

TEST_F(CommandLine, SettingOptionsSetTheirSettings) {
  EXPECT_FALSE(settings().skipUnchangedCode);
  EXPECT_EQ(run({"-m", "2", "-n", "3", "-f", "-t", "-x", "-u", "-i", "4", "-o", "5"}), 0);
  const Settings& s = settings();
  EXPECT_EQ(s.startModule, 2);
  EXPECT_EQ(s.bankCount, 3);
  EXPECT_TRUE(s.forceDownload);
  EXPECT_TRUE(s.stopAfterCompile);
  EXPECT_TRUE(s.assumeTypeB);
  EXPECT_TRUE(s.skipUnchangedCode);
  EXPECT_EQ(s.inputDevice, 4);
  EXPECT_EQ(s.outputDevice, 5);
  EXPECT_EQ(out, "");
}

TEST_F(CommandLine, DebugIsHexadecimalAndCarriesTheParserTraceBit) {
  struct Case {
    const char* text;
    std::uint32_t flags;
    int trace;
  };
  for (const Case& c : {Case{"100", 0x100, 0x100}, Case{"1ff", 0x1ff, 0x100},
                        Case{"0x20", 0x20, 0}, Case{"FFFFFFFF", 0xffffffffu, 0x100},
                        Case{"-1", 0xffffffffu, 0x100}, Case{" 7", 7, 0}}) {
    EXPECT_EQ(run({"-d", c.text}), 0);
    EXPECT_EQ(settings().debugFlags, c.flags) << c.text;
    EXPECT_EQ(settings().parserTrace, c.trace) << c.text;
    EXPECT_EQ(out, "debug is 0x" + (std::stringstream() << std::hex << c.flags).str() + "\n");
  }
}

TEST_F(CommandLine, NumbersThatAreNotNumbersAreRefusedBeforeAnythingActs) {
  struct Case {
    std::vector<std::string> words;
    const char* complaint;
  };
  for (const Case& c : {
           Case{{"-m", "two"}, "plenum: option -m wants a decimal number, not \"two\"\n"},
           Case{{"-m", "1", "-n", "7x"}, "plenum: option -n wants a decimal number, not \"7x\"\n"},
           Case{{"-m", "-H"}, "plenum: option -m wants a decimal number, not \"-H\"\n"},
           Case{{"-m", "1", "-C", "x"}, "plenum: option -C wants a decimal number, not \"x\"\n"},
           Case{{"-m", "1", "-D", ""}, "plenum: option -D wants a decimal number, not \"\"\n"},
           Case{{"-m", "1", "-i", "1.5"}, "plenum: option -i wants a decimal number, not \"1.5\"\n"},
           Case{{"-m", "1", "-o", "99999999999"},
                "plenum: option -o wants a decimal number, not \"99999999999\"\n"},
           Case{{"-m", "1", "-d", "junk"}, "plenum: option -d wants a hexadecimal number, not \"junk\"\n"},
           Case{{"-m", "1", "-n", "5", "-d", "1g"},
                "plenum: option -d wants a hexadecimal number, not \"1g\"\n"}}) {
    resetSettings();
    EXPECT_EQ(run(c.words), 3);
    EXPECT_EQ(err, c.complaint);
    EXPECT_EQ(out, "");
    EXPECT_EQ(settings().startModule, Settings{}.startModule) << "no option may act before the check";
    EXPECT_EQ(settings().bankCount, Settings{}.bankCount);
  }
}

TEST_F(CommandLine, NumbersThatParseKeepTheirValues) {
  EXPECT_EQ(run({"-m", "+4", "-n", "-1", "-i", " 2", "-o", "0"}), 0);
  EXPECT_EQ(settings().startModule, 4);
  EXPECT_EQ(settings().bankCount, -1);
  EXPECT_EQ(settings().inputDevice, 2);
  EXPECT_EQ(settings().outputDevice, 0);
}

TEST_F(CommandLine, TheNumberCheckStopsWhereTheWalkStops) {
  // After an unknown option or at the configuration file nothing is read as an option.
  EXPECT_EQ(run({"-m", "1", "-q", "-m", "x"}), 3);
  EXPECT_EQ(err, "plenum: invalid option -- q\n");
  EXPECT_EQ(settings().startModule, 1);
}

TEST_F(CommandLine, LaterOptionsOverrideEarlierOnes) {
  EXPECT_EQ(run({"-m", "1", "-m", "6"}), 0);
  EXPECT_EQ(settings().startModule, 6);
}

TEST_F(CommandLine, BadOptionsStopTheWalkWithStatusThree) {
  struct Case {
    std::vector<std::string> words;
    const char* complaint;
  };
  for (const Case& c : {Case{{"-m", "1", "-q", "-m", "2"}, "plenum: invalid option -- q\n"},
                        Case{{"-m", "1", "-n"}, "plenum: option requires an argument -- n\n"},
                        Case{{"-m", "1", "-:"}, "plenum: invalid option -- :\n"}}) {
    resetSettings();
    EXPECT_EQ(run(c.words), 3);
    EXPECT_EQ(err, c.complaint);
    EXPECT_EQ(out, "getopt returned 63 (?)\n");
    EXPECT_EQ(settings().startModule, 1) << "options after the bad one must not run";
  }
}

TEST_F(CommandLine, HelpNamesEveryOptionAndActsOnNothing) {
  EXPECT_EQ(run({"--help", "-m", "3"}), 0);
  EXPECT_EQ(err, "ignored after --help: -m 3\n");
  for (const char* letter = OptionLetters; *letter != '\0'; ++letter) {
    if (*letter == ':') continue;
    EXPECT_NE(out.find(std::string(" -") + *letter), std::string::npos) << *letter;
  }
  EXPECT_NE(out.find("Exit statuses:"), std::string::npos);
  EXPECT_NE(out.find("man plenum"), std::string::npos);
  EXPECT_EQ(settings().startModule, Settings{}.startModule);
}

TEST_F(CommandLine, LongOptionsAnywhereButFirstAreRefusedAsBeforeAndSaySo) {
  struct Case {
    std::vector<std::string> words;
    const char* said;  // after getopt's own complaint
  };
  for (const Case& c : {
           Case{{"--helpme"}, "there is no option --helpme; plenum --help lists the options\n"},
           Case{{"-m", "1", "--help"}, "--help counts only as the first word: plenum --help\n"},
           Case{{"-m", "1", "--devices", "-m", "2"},
                "--devices counts only as the first word: plenum --devices\n"},
           Case{{"-m", "1", "--version=2"},
                "there is no option --version=2; plenum --help lists the options\n"}}) {
    resetSettings();
    EXPECT_EQ(run(c.words), 3);
    EXPECT_EQ(out, "getopt returned 63 (?)\n");
    EXPECT_EQ(err, std::string("plenum: invalid option -- -\n") + c.said);
    if (c.words.size() > 1) {
      EXPECT_EQ(settings().startModule, 1);
    }
  }
}

// Takes what is sent and answers nothing: enough for -R.
class SilentPort final : public Midi {
 public:
  int sendSysex(const std::uint8_t*, std::size_t) override { return 0; }
  void sendShort(const std::uint8_t*, std::size_t) override {}
  bool pollSysex(std::uint8_t*, std::size_t, std::size_t&, int) override { return false; }
  bool pollShort(std::uint32_t&) override { return false; }
};

TEST_F(CommandLine, SettingsThatNothingAfterThemReadsAreNamedOnStderr) {
  struct Case {
    std::vector<std::string> words;
    const char* said;
  };
  for (const Case& c : {
           Case{{"-m", "2"}, "no option after these uses them: -m 2\n"},
           Case{{"-t", "-x"}, "without a configuration file these do nothing: -t -x\n"},
           Case{{"-f", "-n", "3", "-u"},
                "without a configuration file these do nothing: -f\n"
                "no option after these uses them: -n 3 -u\n"},
           Case{{"-m", "2", "-R"}, ""},  // -R acts after -m: nothing left unread
           Case{{"-x", "-R", "-m", "1"},
                "without a configuration file these do nothing: -x\n"
                "no option after these uses them: -m 1\n"},
           Case{{"-d", "1"}, ""},
           Case{{"-R", "-i", "1"},
                "-i 1 comes after the MIDI devices were opened: they stay as they are until an "
                "operation opens them again\nno option after these uses them: -i 1\n"},
       }) {
    resetSettings();
    installCurrentPort(std::make_unique<SilentPort>());  // -R's devices; the run closes them
    EXPECT_EQ(run(c.words), 0);
    EXPECT_EQ(err, c.said) << c.words.front();
    EXPECT_EQ(out.find("comes after"), std::string::npos) << "standard output stays as it was";
    closeCurrentPort();
  }
}

TEST_F(CommandLine, ARunCanBeRepeatedInOneProcess) {
  EXPECT_EQ(run({"-q"}), 3);
  EXPECT_EQ(run({"-m", "3"}), 0);
  EXPECT_EQ(settings().startModule, 3);
}

TEST_F(CommandLine, LongOptionsStandAmongTheLettersAndActInTheirPlace) {
  EXPECT_EQ(run({"-m", "2", "--check", "-n", "4"}), 3);
  EXPECT_TRUE(settings().checkConsole);
  EXPECT_EQ(settings().startModule, 2);
  EXPECT_EQ(settings().bankCount, 4);
  EXPECT_NE(err.find("plenum: --check wants a configuration file\n"), std::string::npos) << err;
  EXPECT_EQ(out, "");
}

TEST_F(CommandLine, TheNumberCheckWalksPastLongOptions) {
  EXPECT_EQ(run({"--check", "-m", "x"}), 3);
  EXPECT_EQ(err, "plenum: option -m wants a decimal number, not \"x\"\n");
  EXPECT_FALSE(settings().checkConsole) << "nothing acts before the check";
}

TEST_F(CommandLine, LongOptionsThatAreNotKnownAsWrittenAreRefused) {
  struct Case {
    std::vector<std::string> words;
  };
  for (const Case& c : {Case{{"--check=yes"}}, Case{{"--checks"}}, Case{{"-m", "1", "--chec"}}}) {
    resetSettings();
    EXPECT_EQ(run(c.words), 3) << c.words.back();
    EXPECT_EQ(err, "plenum: invalid option -- -\nthere is no option " + c.words.back() +
                       "; plenum --help lists the options\n");
    EXPECT_EQ(out, "getopt returned 63 (?)\n");
    EXPECT_FALSE(settings().checkConsole);
  }
}

TEST_F(CommandLine, AWalkAfterOneThatStoppedInsideAWordStartsAfresh) {
  // The first walk stops on 'q' with "m" of the same word still unread.
  EXPECT_EQ(run({"-qm", "5"}), 3);
  EXPECT_EQ(run({"--check", "-m", "3"}), 3);
  EXPECT_EQ(settings().startModule, 3);
  EXPECT_TRUE(settings().checkConsole);
}

}  // namespace
}  // namespace plenum
