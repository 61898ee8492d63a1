#include "tirasse/flow/playing_session.h"

#include <gtest/gtest.h>

#include "tirasse/core/test_scratch_folder.h"
#include "tirasse/midi/fake_midi_sink.h"

namespace tirasse {
namespace {

class PlayingSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    MidiFile tune;
    tune.division = 480;
    // Ninety seconds at the default 120 beats per minute.
    tune.tracks = {MidiTrack{{{0, {0x90, 60, 100}}, {480 * 180, {0x80, 60, 0}},
                              {480 * 180, {0xFF, kMetaEndOfTrack}}}}};
    writeMidiFileType0(dir_.text("Übung.mid"), tune);
  }
  std::unique_ptr<PlayingSession> makeSession(const std::string& file, int port = 2) {
    return std::make_unique<PlayingSession>(
        file, port,
        [this](int p) -> std::unique_ptr<MidiSink> {
          ports_.push_back(p);
          if (p == 9) throw std::runtime_error("device busy");
          return std::make_unique<FakeMidiSink>();
        },
        [this](const std::string& m) { messages_.push_back(m); });
  }

  TestScratchFolder dir_;
  std::vector<int> ports_;
  std::vector<std::string> messages_;
};

TEST_F(PlayingSessionTest, PlaysAtOnceAndShowsLengthAndPosition) {
  auto session = makeSession(dir_.text("Übung.mid"));
  ASSERT_TRUE(session->isReady());
  EXPECT_TRUE(session->isPolling());
  EXPECT_EQ(ports_, std::vector<int>{2});
  EXPECT_EQ(session->lengthText(), "1:30");
  session->poll();
  EXPECT_EQ(session->positionText(), "0:00");
  EXPECT_EQ(session->pauseCaption(), "Pause");
  session->togglePause();
  EXPECT_EQ(session->pauseCaption(), "Resume");
  session->togglePause();
  EXPECT_EQ(session->pauseCaption(), "Pause");
  session->stop();
  EXPECT_TRUE(messages_.empty());
}

TEST_F(PlayingSessionTest, SpeedIsAPercentageWithinLimits) {
  auto session = makeSession(dir_.text("Übung.mid"));
  ASSERT_TRUE(session->isReady());
  struct Step {
    const char* what;
    std::function<void(PlayingSession&)> action;
    const char* speed;
  } steps[] = {
      {"faster", [](PlayingSession& s) { s.faster(); }, "125"},
      {"slower", [](PlayingSession& s) { s.slower(); }, "100"},
      {"typed", [](PlayingSession& s) { s.speedEdited(" 250 "); }, "250"},
      {"too fast", [](PlayingSession& s) { s.speedEdited("5000"); }, "1000"},
      {"not a number", [](PlayingSession& s) { s.speedEdited("fast"); }, "1000"},
      {"zero", [](PlayingSession& s) { s.speedEdited("0"); }, "1000"},
      {"a fraction", [](PlayingSession& s) { s.speedEdited("2.5"); }, "5"},
      {"normal", [](PlayingSession& s) { s.normal(); }, "100"},
  };
  for (const Step& step : steps) {
    step.action(*session);
    EXPECT_EQ(session->speedText(), step.speed) << step.what;
  }
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(session->isPolling());
}

TEST_F(PlayingSessionTest, AFailedCommandIsNamedAndEndsPolling) {
  auto missing = makeSession(dir_.text("none.mid"));
  EXPECT_FALSE(missing->isReady());
  EXPECT_FALSE(missing->isPolling());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].starts_with("Command \"open \"" + dir_.text("none.mid") +
                                       "\" type sequencer alias midio\" failed\n"))
      << messages_[0];
  messages_.clear();
  auto busy = makeSession(dir_.text("Übung.mid"), 9);
  EXPECT_FALSE(busy->isReady());
  EXPECT_EQ(messages_, std::vector<std::string>{
                           "Command \"set midio port 9\" failed\n"
                           "The MIDI output device 9 cannot be opened: device busy"});
}

}  // namespace
}  // namespace tirasse
