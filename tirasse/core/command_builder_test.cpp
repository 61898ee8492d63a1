#include "tirasse/core/command_builder.h"
#include "tirasse/core/utf8_path.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

namespace tirasse {
namespace {

CommandOptions devices(int in, int out) {
  CommandOptions options;
  options.midiInDev = in;
  options.midiOutDev = out;
  return options;
}

std::string text(const std::string& s) { return s; }
std::string text(const PlenumCommand& command) { return command.line; }

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : "|") + word;
  return text;
}

TEST(CommandBuilder, PlainCommandsOfEveryButton) {
  const CommandBuilder builder(devices(1, 3));
  const MemoryRange targets{1, 127};
  struct Case {
    const char* button;
    PlenumCommand line;
    const char* expected;
  } cases[] = {
      {"Download", builder.download("/home/o/console.ncf"),
       "plenum -i 1 -o 3   -P \"/home/o/console.ncf\""},
      {"Version", builder.version(), "plenum -i 1 -o 3 -P -V"},
      {"Reset", builder.reset(), "plenum -i 1 -o 3 -R"},
      {"Monitor", builder.monitor(), "plenum -i 1 -o 3 -L"},
      {"Halt", builder.halt(), "plenum -i 1 -o 3   -H"},
      {"Run", builder.run(), "plenum -i 1 -o 3   -E"},
      {"Program Executive", builder.programExecutive(), "plenum -i 1 -o 3   -P -%"},
      {"Verify Executive", builder.verifyExecutive(), "plenum -i 1 -o 3   -d1 -P -v"},
      {"Data Diagnostic", builder.dataDiagnostic(false, "5"), "plenum -i 1 -o 3  -P -D5"},
      {"Data Diagnostic shown", builder.dataDiagnostic(true, "-1"),
       "plenum -i 1 -o 3  -d80 -P -D-1"},
      {"Save Registration", builder.saveRegistration(nullptr, "a b.reg"),
       "plenum -i 1 -o 3  -d1 -P -S \"a b.reg\""},
      {"Load Registration", builder.loadRegistration(nullptr, "x.reg"),
       "plenum -i 1 -o 3  -d1 -P -U \"x.reg\""},
      {"Copy Registration", builder.copyRegistration(0, targets),
       "plenum -i 1 -o 3  -m1 -n 127 -d1 -P -C0"},
  };
  for (const Case& c : cases) EXPECT_EQ(text(c.line), c.expected) << c.button;
}

TEST(CommandBuilder, HaltOnSelectedModuleWithOtherOptions) {
  CommandOptions options = devices(0, 2);
  options.startAtModule = true;
  options.moduleText = "2";
  options.otherOptions = "-x";
  const CommandBuilder builder(options);
  EXPECT_EQ(text(builder.halt()), "plenum -i 0 -o 2  -m2 -x -H");
  EXPECT_EQ(text(builder.run()), "plenum -i 0 -o 2  -m2 -x -E");
  EXPECT_EQ(text(builder.download("c.ncf")), "plenum -i 0 -o 2  -m2 -x -P \"c.ncf\"");
  // Only the module commands take the module; version and reset never do.
  EXPECT_EQ(text(builder.version()), "plenum -i 0 -o 2 -P -V");
  EXPECT_EQ(text(builder.dataDiagnostic(false, "3")), "plenum -i 0 -o 2  -P -D3");
}

TEST(CommandBuilder, SkipUnchangedRelayCodeAddsUpdateToTheDownloadOnly) {
  CommandOptions options = devices(1, 3);
  options.skipUnchangedRelayCode = true;
  EXPECT_EQ(text(CommandBuilder(options).download("c.ncf")), "plenum -i 1 -o 3   -u -P \"c.ncf\"");
  options.debugBoxes = 1;
  options.startAtModule = true;
  options.moduleText = "1";
  const CommandBuilder builder(options);
  EXPECT_EQ(text(builder.download("c.ncf")), "plenum -i 1 -o 3  -m1  -d1 -u -P \"c.ncf\"");
  EXPECT_EQ(text(builder.halt()), "plenum -i 1 -o 3  -m1  -d1 -H");
  EXPECT_EQ(text(builder.programExecutive()), "plenum -i 1 -o 3  -m1  -d1 -P -%");
}

TEST(CommandBuilder, HaltWithModuleTwoAndNoOtherOptions) {
  CommandOptions options = devices(4, 5);
  options.startAtModule = true;
  options.moduleText = "2";
  EXPECT_EQ(text(CommandBuilder(options).halt()), "plenum -i 4 -o 5  -m2  -H");
}

TEST(CommandBuilder, DebugValueIsUpperCaseHexOfTheTickedBoxes) {
  struct Case {
    unsigned boxes;
    const char* halt;
    const char* verify;
  } cases[] = {
      {0x0, "plenum -i 0 -o 0   -H", "plenum -i 0 -o 0   -d1 -P -v"},
      {0x101, "plenum -i 0 -o 0   -d101 -H", "plenum -i 0 -o 0   -d101 -P -v"},
      {0x2A, "plenum -i 0 -o 0   -d2A -H", "plenum -i 0 -o 0   -d2B -P -v"},
      {0x1FF, "plenum -i 0 -o 0   -d1FF -H", "plenum -i 0 -o 0   -d1FF -P -v"},
  };
  for (const Case& c : cases) {
    CommandOptions options = devices(0, 0);
    options.debugBoxes = c.boxes;
    const CommandBuilder builder(options);
    EXPECT_EQ(text(builder.halt()), c.halt) << c.boxes;
    EXPECT_EQ(text(builder.verifyExecutive()), c.verify) << c.boxes;
  }
  CommandOptions options = devices(0, 0);
  options.debugBoxes = 0x80;
  EXPECT_EQ(text(CommandBuilder(options).dataDiagnostic(true, "2")),
            "plenum -i 0 -o 0  -d80 -P -D2");
}

TEST(CommandBuilder, RegistrationRangeGivesFirstMemoryAndCount) {
  CommandOptions options = devices(1, 1);
  options.otherOptions = "-x";
  options.startAtModule = true;  // the registration commands use -m for the memory instead
  options.moduleText = "3";
  const CommandBuilder builder(options);
  const MemoryRange range{10, 10};
  EXPECT_EQ(text(builder.saveRegistration(&range, "r.reg")),
            "plenum -i 1 -o 1 -x -m10 -n 1 -d1 -P -S \"r.reg\"");
  const MemoryRange wide{5, 20};
  EXPECT_EQ(text(builder.loadRegistration(&wide, "r.reg")),
            "plenum -i 1 -o 1 -x -m5 -n 16 -d1 -P -U \"r.reg\"");
  EXPECT_EQ(text(builder.copyRegistration(7, wide)), "plenum -i 1 -o 1 -x -m5 -n 16 -d1 -P -C7");
}

TEST(CommandBuilder, BatchBoxRunsTheBatchFile) {
  CommandOptions options = devices(-1, -1);
  options.keepWindowOpen = true;
  EXPECT_EQ(text(CommandBuilder(options).reset()), "plenum.bat -i -1 -o -1 -R");
}

TEST(CommandBuilder, NetworkPathRuleAppliesToDownloadOnly) {
  EXPECT_EQ(text(applyNetworkPathRule("\\\\server\\organ\\a.ncf")),
            "\\\\\\\\server\\organ\\a.ncf");
  EXPECT_EQ(text(applyNetworkPathRule("\\single\\a.ncf")), "\\single\\a.ncf");
  EXPECT_EQ(text(applyNetworkPathRule("C:\\a.ncf")), "C:\\a.ncf");
  const CommandBuilder builder(devices(0, 1));
  EXPECT_EQ(text(builder.download("\\\\srv\\a.ncf")), "plenum -i 0 -o 1   -P \"\\\\\\\\srv\\a.ncf\"");
  EXPECT_EQ(text(builder.saveRegistration(nullptr, "\\\\srv\\a.reg")),
            "plenum -i 0 -o 1  -d1 -P -S \"\\\\srv\\a.reg\"");
}

TEST(CommandBuilder, PlenumGetsItsWordsAsAListWhateverTheFileNameHolds) {
  CommandOptions options = devices(0, 1);
  options.otherOptions = "-x  -y";
  options.startAtModule = true;
  options.moduleText = "2";
  const CommandBuilder builder(options);
  const std::string quoted = "/home/o/my \"big\" organ.ncf";
  struct Case {
    const char* what;
    PlenumCommand command;
    const char* line;
    std::vector<std::string> words;
  } cases[] = {
      {"download",
       builder.download(quoted),
       "plenum -i 0 -o 1  -m2 -x  -y -P \"/home/o/my \"big\" organ.ncf\"",
       {"plenum", "-i", "0", "-o", "1", "-m2", "-x", "-y", "-P", quoted}},
      {"network path",
       builder.download("\\\\srv\\a b.ncf"),
       "plenum -i 0 -o 1  -m2 -x  -y -P \"\\\\\\\\srv\\a b.ncf\"",
       {"plenum", "-i", "0", "-o", "1", "-m2", "-x", "-y", "-P", "\\\\srv\\a b.ncf"}},
      {"save",
       builder.saveRegistration(nullptr, "it's \"x\".reg"),
       "plenum -i 0 -o 1 -x  -y -d1 -P -S \"it's \"x\".reg\"",
       {"plenum", "-i", "0", "-o", "1", "-x", "-y", "-d1", "-P", "-S", "it's \"x\".reg"}},
      {"load",
       builder.loadRegistration(nullptr, "a\"b"),
       "plenum -i 0 -o 1 -x  -y -d1 -P -U \"a\"b\"",
       {"plenum", "-i", "0", "-o", "1", "-x", "-y", "-d1", "-P", "-U", "a\"b"}},
      {"diagnostic",
       builder.dataDiagnostic(false, "-1"),
       "plenum -i 0 -o 1  -P -D-1",
       {"plenum", "-i", "0", "-o", "1", "-P", "-D-1"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text(c.command), c.line) << c.what;
    EXPECT_EQ(c.command.words, c.words)
        << c.what << ": " << joined(c.command.words);
  }
}

TEST(CommandBuilder, ModuleBoxMustHoldOneDecimalNumberWhenTicked) {
  struct Case {
    const char* box;
    bool accepted;
  } cases[] = {
      {"", false},          {"   ", false},       {"x", false},   {"2x", false},
      {"0x2", false},       {"+", false},         {"-", false},   {"1 2", false},
      {"2.5", false},       {"-H", false},        {"\"3\"", false},
      {"99999999999", false},  // beyond int: plenum refuses it too
      {"2", true},          {"0", true},          {"+3", true},   {"-1", true},
      {" 4", true},         {"5 ", true},         {"007", true},  {"2147483647", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isModuleNumber(c.box), c.accepted) << '"' << c.box << '"';
    CommandOptions options = devices(0, 0);
    options.moduleText = c.box;
    options.startAtModule = true;
    EXPECT_EQ(CommandBuilder(options).moduleBoxAccepted(), c.accepted) << '"' << c.box << '"';
    // Without the tick the box is not used, so nothing in it can stop a command.
    options.startAtModule = false;
    EXPECT_TRUE(CommandBuilder(options).moduleBoxAccepted()) << '"' << c.box << '"';
  }
}

TEST(CommandBuilder, CheckConsoleNamedMonitorAndWiringChart) {
  CommandOptions options = devices(1, 3);
  options.startAtModule = true;
  options.moduleText = "1";
  options.debugBoxes = 1u << 2;
  options.keepWindowOpen = true;
  const CommandBuilder builder(options);
  struct Case {
    PlenumCommand command;
    const char* line;
    const char* words;
  } cases[] = {
      // The module and debug options go before --check, which acts where it stands.
      {builder.checkConsole("/o/my organ.ncf"), "plenum.bat -i 1 -o 3  -m1  -d4 --check -P \"/o/my organ.ncf\"",
       "plenum.bat|-i|1|-o|3|-m1|-d4|--check|-P|/o/my organ.ncf"},
      {builder.monitor("/o/organ.ncf"), "plenum.bat -i 1 -o 3 --names \"/o/organ.ncf\" -L",
       "plenum.bat|-i|1|-o|3|--names|/o/organ.ncf|-L"},
      {builder.monitor(""), "plenum.bat -i 1 -o 3 -L", "plenum.bat|-i|1|-o|3|-L"},
      // The chart stands first, takes no devices, and is written by plain plenum.
      {builder.wiringChart("/o/organ.ncf", "/d/organ-wiring-chart.html"),
       "plenum --chart=html --output \"/d/organ-wiring-chart.html\" \"/o/organ.ncf\"",
       "plenum|--chart=html|--output|/d/organ-wiring-chart.html|/o/organ.ncf"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.command.line, c.line);
    EXPECT_EQ(joined(c.command.words), c.words);
  }
  // A network path keeps its two backslashes as one word, and gets two more in the line.
  const PlenumCommand network = builder.checkConsole("\\\\organ\\c\\o.ncf");
  EXPECT_EQ(network.words.back(), "\\\\organ\\c\\o.ncf");
}

TEST(WiringChartFile, NamedAfterTheConfigurationInTheFolder) {
  struct Case {
    const char* config;
    const char* name;
  } cases[] = {{"/o/St. Mary.ncf", "St. Mary-wiring-chart.html"},
               {"/o/Orgel-\u00c4.ncf", "Orgel-\u00c4-wiring-chart.html"},
               {"", "console-wiring-chart.html"}};
  for (const Case& c : cases) {
    const std::filesystem::path chart = pathFromUtf8(wiringChartFile(c.config, "/d"));
    EXPECT_EQ(pathToUtf8(chart.filename()), c.name);
    EXPECT_EQ(chart.parent_path(), pathFromUtf8("/d"));
  }
}

}  // namespace
}  // namespace tirasse
