#include "tirasse/flow/main_flow.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tirasse/core/test_scratch_folder.h"
#include "tirasse/core/utf8_path.h"
#include "tirasse/flow/command_line_table.h"

namespace tirasse {
namespace {

class FakeDevices : public MidiDeviceLists {
 public:
  std::vector<std::string> inputs{"In A"};
  std::vector<std::string> outputs{"Out A"};
  bool simulated = false;
  std::vector<std::string> inputNames() const override { return inputs; }
  std::vector<std::string> outputNames() const override { return outputs; }
  bool simulatedLoop() const override { return simulated; }
};

class MainFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    for (const char* folder : {"program", "settings", "documents", "home"}) {
      std::filesystem::create_directories(root_.path() / folder);
    }
  }
  std::unique_ptr<MainFlow> makeFlow() {
    auto flow = std::make_unique<MainFlow>(
        FrontEndFolders{root_.text("program"), root_.text("settings"), root_.text("documents"),
                        root_.text("home")},
        devices_);
    flow->showMessage = [this](const std::string& text) { messages_.push_back(text); };
    flow->askDevice = [this](bool input, const std::vector<std::string>& names) {
      asked_.push_back((input ? "input: " : "output: ") + std::to_string(names.size()));
      return answer_;
    };
    return flow;
  }
  void writeSettings(const std::string& text) { ASSERT_TRUE(root_.write("settings/tirasse.ini", text)); }

  TestScratchFolder root_;
  FakeDevices devices_;
  std::vector<std::string> messages_;
  std::vector<std::string> asked_;
  int answer_ = 0;
};

TEST_F(MainFlowTest, EveryButtonOfTheSharedTableMakesItsCommandLine) {
  writeSettings(std::string("V3\n0\nIn A\n0\nOut A\n") + kTableConfigFile + "\n\n\n\n");
  auto flow = makeFlow();
  ASSERT_TRUE(flow->start());
  const std::vector<CommandLineCase> cases = readCommandLineTable(TIRASSE_COMMAND_LINE_TABLE);
  ASSERT_GE(cases.size(), 10u);
  for (const CommandLineCase& c : cases) {
    OptionControls controls;
    for (const auto& [name, value] : c.controls) {
      EXPECT_TRUE(setTableControl(controls, name, value)) << c.button << ": " << name;
    }
    const std::optional<PlenumButton> button = tableButton(c.button);
    ASSERT_TRUE(button) << c.button;
    const std::optional<PlenumCommand> command = flow->commandFor(*button, controls);
    ASSERT_TRUE(command) << c.line;
    EXPECT_EQ(command->line, c.line);
    ASSERT_FALSE(command->words.empty());
    EXPECT_EQ(command->words.front(), controls.keepWindowOpen ? "plenum.bat" : "plenum");
    EXPECT_EQ(std::vector<std::string>(command->words.begin() + 1, command->words.end()), c.words)
        << c.line;
  }
  EXPECT_TRUE(messages_.empty());
}

TEST_F(MainFlowTest, StartReadsSettingsAndVersionAndTakesTheOnlyDevices) {
  writeSettings("V3\n4\nOld in\n5\nOld out\n/x/organ.ncf\n/nowhere\n/nowhere\n/nowhere\n");
  ASSERT_TRUE(root_.write("program/version.txt", "  Tirasse Version 9.8 \nsecond\n"));
  auto flow = makeFlow();
  EXPECT_EQ(flow->versionText(), "Tirasse Version ?");
  ASSERT_TRUE(flow->start());
  EXPECT_EQ(flow->versionText(), "Tirasse Version 9.8");
  EXPECT_EQ(flow->settings().midiInDev, 0);
  EXPECT_EQ(flow->settings().midiOutName, "Out A");
  EXPECT_EQ(flow->settings().configFile, "/x/organ.ncf");
  // Folders that do not exist fall back to the platform's.
  EXPECT_EQ(flow->settings().midDir, root_.text("documents"));
  EXPECT_EQ(flow->settings().configDir, root_.text("program"));
  EXPECT_TRUE(asked_.empty());
}

TEST_F(MainFlowTest, NoDevicesEndWithTheirMessage) {
  devices_.outputs.clear();
  auto flow = makeFlow();
  EXPECT_FALSE(flow->start());
  EXPECT_EQ(messages_, std::vector<std::string>{
                           "No MIDI output devices found.  Do you need to install a device "
                           "driver for your sound card?"});
}

TEST_F(MainFlowTest, TheUserChoosesAmongSeveralAndCancelKeepsTheChoiceBefore) {
  devices_.outputs = {"Out A", "Out B"};
  writeSettings("V3\n0\nIn A\n7\nOut Gone\ncfg.ncf\n\n\n\n");
  auto flow = makeFlow();
  answer_ = 1;
  ASSERT_TRUE(flow->start());
  EXPECT_EQ(asked_, std::vector<std::string>{"output: 2"});
  EXPECT_EQ(flow->settings().midiOutDev, 1);
  EXPECT_EQ(flow->settings().midiOutName, "Out B");
  answer_ = -1;
  flow->changeDevice(false);
  EXPECT_EQ(flow->settings().midiOutDev, 1);
  answer_ = 0;
  flow->changeDevice(false);
  EXPECT_EQ(flow->settings().midiOutName, "Out A");
}

TEST_F(MainFlowTest, WhatACommandNeedsFirst) {
  auto flow = makeFlow();
  ASSERT_TRUE(flow->start());
  OptionControls controls;
  EXPECT_FALSE(flow->commandFor(PlenumButton::Download, controls));
  EXPECT_EQ(messages_, std::vector<std::string>{"Please choose a configuration file first."});
  messages_.clear();
  controls.startAtModule = true;
  controls.moduleText = "x";
  for (PlenumButton button : {PlenumButton::Halt, PlenumButton::Run, PlenumButton::ProgramExecutive,
                              PlenumButton::VerifyExecutive}) {
    EXPECT_FALSE(flow->commandFor(button, controls));
  }
  EXPECT_EQ(messages_.size(), 4u);
  EXPECT_EQ(messages_.back(),
            "The module box must hold a module number while \"Start at selected module\" is "
            "ticked.");
  EXPECT_TRUE(flow->commandFor(PlenumButton::Version, controls));  // takes no module
  EXPECT_FALSE(flow->commandFor(PlenumButton::SaveRegistration, controls));  // no file chosen
  messages_.clear();
  EXPECT_TRUE(flow->mayStartCommand(false));
  EXPECT_FALSE(flow->mayStartCommand(true));
  EXPECT_EQ(messages_, std::vector<std::string>{
                           "Please exit the previous command before starting another"});
}

TEST_F(MainFlowTest, CheckConsoleAndWiringChartNeedAConfigurationFile) {
  auto flow = makeFlow();
  ASSERT_TRUE(flow->start());
  OptionControls controls;
  controls.nameMessages = true;
  EXPECT_FALSE(flow->commandFor(PlenumButton::CheckConsole, controls));
  EXPECT_FALSE(flow->commandFor(PlenumButton::WiringChart, controls));
  EXPECT_EQ(messages_.size(), 2u);
  // Without a file the monitor names nothing, and says nothing about it.
  const std::optional<PlenumCommand> monitor = flow->commandFor(PlenumButton::Monitor, controls);
  ASSERT_TRUE(monitor);
  EXPECT_EQ(monitor->words.back(), "-L");
  EXPECT_EQ(monitor->words.size(), 6u);

  flow->configFileChosen(root_.text("home") + "/St. Mary.ncf");
  const std::optional<PlenumCommand> chart = flow->commandFor(PlenumButton::WiringChart, controls);
  ASSERT_TRUE(chart);
  const std::vector<std::string> expected{"plenum", "--chart=html", "--output", flow->wiringChartPath(),
                                          root_.text("home") + "/St. Mary.ncf"};
  EXPECT_EQ(chart->words, expected);
  // In the documents folder, named after the configuration.
  const std::filesystem::path page = pathFromUtf8(flow->wiringChartPath());
  EXPECT_EQ(page.parent_path(), pathFromUtf8(root_.text("documents")));
  EXPECT_EQ(pathToUtf8(page.filename()), "St. Mary-wiring-chart.html");
}

TEST_F(MainFlowTest, TheChartOpensOnlyAfterACleanEndWhenItIsThere) {
  ASSERT_TRUE(root_.write("documents/St. Mary-wiring-chart.html", "<html></html>"));
  const std::string written = root_.text("documents/St. Mary-wiring-chart.html");
  const std::string missing = root_.text("documents") + "/Other-wiring-chart.html";
  const struct {
    const char* what;
    std::string chart;
    RunOutcome outcome;
    bool opens;
  } cases[] = {
      {"clean end", written, {false, false, 0}, true},
      {"no chart asked for", "", {false, false, 0}, false},
      {"plenum failed", written, {false, false, 1}, false},
      {"stopped", written, {true, false, 0}, false},
      {"crashed", written, {false, true, 0}, false},
      {"no file written", missing, {false, false, 0}, false},
      {"a folder of that name", root_.text("documents"), {false, false, 0}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(MainFlow::chartIsReady(c.chart, c.outcome), c.opens) << c.what;
}

TEST_F(MainFlowTest, RegistrationRangeAndFiles) {
  auto flow = makeFlow();
  ASSERT_TRUE(flow->start());
  EXPECT_EQ(flow->registrationStartFolder(), root_.text("documents"));
  const std::string chosen = flow->registrationFileChosen(root_.text("documents/Übung"), true);
  EXPECT_EQ(chosen, root_.text("documents/Übung.reg"));
  EXPECT_EQ(flow->registrationFileName(), "Übung.reg");
  OptionControls controls;
  controls.rangeOnly = true;
  controls.rangeFrom = "10";
  controls.rangeThrough = "5";
  EXPECT_EQ(rangeOf(controls).through, 10);
  const std::optional<PlenumCommand> save =
      flow->commandFor(PlenumButton::SaveRegistration, controls, chosen);
  ASSERT_TRUE(save);
  EXPECT_EQ(save->line, "plenum -i 0 -o 0  -m10 -n 1 -d1 -P -S \"" + chosen + "\"");
  EXPECT_EQ(save->words.back(), chosen);
  const std::optional<PlenumCommand> copy =
      flow->commandFor(PlenumButton::CopyRegistration, controls, {}, 3, MemoryRange{4, 6});
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->line, "plenum -i 0 -o 0  -m4 -n 3 -d1 -P -C3");
}

TEST_F(MainFlowTest, ChoicesAreKeptInTheSettingsFile) {
  auto flow = makeFlow();
  ASSERT_TRUE(flow->start());
  flow->configFileChosen(root_.text("documents/орган.ncf"));
  flow->midiFileChosen(root_.text("home/𝄞.mid"));
  flow->setSkipUnchangedRelayCode(true);
  EXPECT_EQ(flow->configStartFolder(), root_.text("documents"));
  EXPECT_EQ(flow->midiStartFolder(), root_.text("home"));
  ASSERT_TRUE(flow->exitAndSave());
  auto next = makeFlow();
  ASSERT_TRUE(next->start());
  EXPECT_EQ(next->settings().configFile, root_.text("documents/орган.ncf"));
  EXPECT_EQ(next->settings().midDir, root_.text("home"));
  EXPECT_TRUE(next->settings().skipUnchangedRelayCode);

  std::filesystem::remove_all(root_.path() / "settings");
  ASSERT_TRUE(root_.write("settings", "a file where the folder was"));
  EXPECT_FALSE(next->exitAndSave());
  EXPECT_EQ(messages_.back(), "The settings could not be saved in " + root_.text("settings/tirasse.ini"));
}

TEST_F(MainFlowTest, TheFirmwareFolderIsTheUsersMadeWhenMissingAndKept) {
  auto flow = makeFlow();
  ASSERT_TRUE(flow->start());
  const std::string made = root_.text("documents/Norvo Firmware");
  EXPECT_EQ(flow->firmwareFolder(), made);
  EXPECT_TRUE(std::filesystem::is_directory(pathFromUtf8(made)));
  EXPECT_FALSE(flow->firmwareFolderChosen(root_.text("no such folder")));
  EXPECT_EQ(messages_.back(),
            "The folder " + root_.text("no such folder") + " cannot be used for the firmware files");
  EXPECT_EQ(flow->firmwareFolder(), made);
  std::filesystem::create_directories(root_.path() / pathFromUtf8("Kirche é"));
  EXPECT_TRUE(flow->firmwareFolderChosen(root_.text("Kirche é")));
  ASSERT_TRUE(flow->exitAndSave());
  auto next = makeFlow();
  ASSERT_TRUE(next->start());
  EXPECT_EQ(next->firmwareFolder(), root_.text("Kirche é"));
  // version.txt stays in the program folder.
  EXPECT_EQ(next->versionText(), "Tirasse Version ?");
}

TEST_F(MainFlowTest, TheSimulatedLoopCannotPlayOrRecord) {
  auto flow = makeFlow();
  EXPECT_FALSE(flow->refuseSimulatedLoop());
  devices_.simulated = true;
  EXPECT_TRUE(flow->refuseSimulatedLoop());
  EXPECT_EQ(messages_, std::vector<std::string>{
                           "The simulated module loop (PLENUM_LOOP) has no MIDI devices: it "
                           "cannot play or record MIDI files."});
}

}  // namespace
}  // namespace tirasse
