#include "tirasse/midi/sequencer_commands.h"

#include <gtest/gtest.h>

#include "tirasse/core/test_scratch_folder.h"
#include "tirasse/midi/fake_midi_sink.h"

namespace tirasse {
namespace {

class SequencerCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    MidiFile midi;
    midi.division = 480;
    // 100 bpm, one note, 90 s long.
    midi.tracks = {MidiTrack{{{0, {0xFF, kMetaTempo, 0x09, 0x27, 0xC0}},
                              {0, {0x90, 60, 100}},
                              {480 * 150, {0xFF, kMetaEndOfTrack}}}}};
    path_ = dir_.text("tune.mid");
    writeMidiFileType0(path_, midi);
  }

  std::string openCommand() const { return "open \"" + path_ + "\" type sequencer alias midio"; }

  SequencerCommands commands_{[this](int port) -> std::unique_ptr<MidiSink> {
    openedPorts_.push_back(port);
    if (port == 9) throw std::runtime_error("device busy");
    auto sink = std::make_unique<FakeMidiSink>();
    lastSink_ = sink.get();
    return sink;
  }};
  std::vector<int> openedPorts_;
  FakeMidiSink* lastSink_ = nullptr;
  TestScratchFolder dir_;
  std::string path_;
};

TEST_F(SequencerCommandsTest, TheFilePlayersCommandSequence) {
  EXPECT_EQ(commands_.send(openCommand()), "");
  EXPECT_EQ(commands_.send("set midio port 2"), "");
  EXPECT_EQ(openedPorts_, std::vector<int>{2});
  EXPECT_EQ(commands_.send("status midio division type"), "PPQN");
  EXPECT_EQ(commands_.send("status midio length"), "90000");
  EXPECT_EQ(commands_.send("status midio tempo"), "100");
  EXPECT_EQ(commands_.send("status midio mode"), "stopped");
  EXPECT_EQ(commands_.send("play midio"), "");
  ASSERT_TRUE(lastSink_->waitFor(1));
  EXPECT_EQ(commands_.send("status midio mode"), "playing");
  EXPECT_EQ(commands_.send("set midio tempo 125"), "");
  EXPECT_EQ(commands_.send("status midio tempo"), "125");
  EXPECT_EQ(commands_.send("pause midio"), "");
  EXPECT_EQ(commands_.send("status midio mode"), "paused");
  EXPECT_EQ(commands_.send("stop midio"), "");
  EXPECT_EQ(commands_.send("seek midio to start"), "");
  EXPECT_EQ(commands_.send("status midio position"), "0");
  EXPECT_EQ(commands_.send("close midio"), "");
  EXPECT_THROW(commands_.send("play midio"), CommandError);
  EXPECT_EQ(commands_.send(openCommand()), "");  // the alias is free again
}

TEST_F(SequencerCommandsTest, FailuresNameTheirReason) {
  struct Case {
    const char* what;
    std::string command;
    const char* reasonPart;
  } cases[] = {
      {"unknown verb", "spin midio", "not recognized"},
      {"not open", "play midio", "No file is open"},
      {"missing file", "open \"/no/such.mid\" type sequencer alias midio", "cannot be opened"},
      {"short open", "open \"x.mid\"", "parameter"},
      {"open quote", "open \"x.mid type sequencer alias midio", "parameter"},
      {"empty", "", "not recognized"},
  };
  for (const Case& c : cases) {
    try {
      commands_.send(c.command);
      ADD_FAILURE() << c.what << " succeeded";
    } catch (const CommandError& error) {
      EXPECT_NE(std::string(error.what()).find(c.reasonPart), std::string::npos)
          << c.what << ": " << error.what();
    }
  }
  commands_.send(openCommand());
  EXPECT_THROW(commands_.send(openCommand()), CommandError);
  EXPECT_THROW(commands_.send("play other"), CommandError);
  EXPECT_THROW(commands_.send("set midio tempo fast"), CommandError);
  EXPECT_THROW(commands_.send("set midio tempo 0"), CommandError);
  EXPECT_THROW(commands_.send("status midio colour"), CommandError);
  try {
    commands_.send("set midio port 9");
    ADD_FAILURE() << "a busy port was opened";
  } catch (const CommandError& error) {
    EXPECT_STREQ(error.what(), "The MIDI output device 9 cannot be opened: device busy");
  }
}

TEST(SequencerCommandMessages, FailureMessageShapes) {
  EXPECT_EQ(commandFailedMessage("play midio", "The device is busy."),
            "Command \"play midio\" failed\nThe device is busy.");
  EXPECT_EQ(commandFailedMessage("play midio", ""), "command \"play midio\" failed");
  EXPECT_EQ(splitCommandWords("open \"/a b/c.mid\" type  sequencer"),
            (std::vector<std::string>{"open", "/a b/c.mid", "type", "sequencer"}));
}

}  // namespace
}  // namespace tirasse
