#include "tirasse/flow/recording_session.h"

#include <gtest/gtest.h>

#include "tirasse/core/test_scratch_folder.h"

namespace tirasse {
namespace {

class RecordingSessionTest : public ::testing::Test {
 protected:
  // An input that tells when it is closed; the handler is what the port's thread would call.
  struct FakeInput : MidiInput {
    explicit FakeInput(bool& open) : open_(open) { open_ = true; }
    ~FakeInput() override { open_ = false; }
    bool& open_;
  };

  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  std::unique_ptr<RecordingSession> makeSession(bool refuse = false) {
    return std::make_unique<RecordingSession>(
        3,
        [this, refuse](int port, MidiInputHandler handler) -> std::unique_ptr<MidiInput> {
          port_ = port;
          if (refuse) throw std::runtime_error("device busy");
          arrive_ = std::move(handler);
          return std::make_unique<FakeInput>(inputOpen_);
        },
        [this](const std::string& message) { messages_.push_back(message); });
  }
  std::vector<Bytes> notesIn(const std::string& file) {
    std::vector<Bytes> notes;
    const MidiFile saved = readMidiFile(file);
    EXPECT_EQ(saved.format, 0);
    for (const MidiTrack& track : saved.tracks) {
      for (const MidiEvent& event : track.events) {
        if (!event.isMeta()) notes.push_back(event.bytes);
      }
    }
    return notes;
  }

  TestScratchFolder dir_;
  int port_ = -1;
  MidiInputHandler arrive_;
  bool inputOpen_ = false;
  std::vector<std::string> messages_;
};

TEST_F(RecordingSessionTest, RecordsUntilSaveAndWritesTheTakeWhereTheUserChose) {
  auto session = makeSession();
  ASSERT_TRUE(session->isReady());
  EXPECT_EQ(port_, 3);
  EXPECT_EQ(session->eventsText(), "0");
  EXPECT_EQ(session->timeText(), "0:00");
  arrive_({0x90, 64, 90});
  arrive_({0xF8});  // a clock tick is not music
  arrive_({0x80, 64, 0});
  EXPECT_EQ(session->eventsText(), "2");

  session->finish();
  EXPECT_FALSE(inputOpen_);
  arrive_({0x90, 65, 90});  // one already on its way from the port's thread
  EXPECT_EQ(session->eventsText(), "2");

  std::string midDir = "/elsewhere";
  EXPECT_FALSE(session->saveTo(dir_.text("Übung/take"), midDir));  // no such folder yet
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].starts_with(dir_.text("Übung/take.mid") + " was not saved: "))
      << messages_[0];
  EXPECT_EQ(midDir, "/elsewhere");

  // The take was kept: the next choice saves it.
  ASSERT_TRUE(session->saveTo(dir_.text("take"), midDir));
  EXPECT_EQ(notesIn(dir_.text("take.mid")), (std::vector<Bytes>{{0x90, 64, 90}, {0x80, 64, 0}}));
  EXPECT_EQ(midDir, dir_.text());
  ASSERT_TRUE(session->saveTo(dir_.text("second.MID"), midDir));  // an extension of its own stays
  EXPECT_EQ(notesIn(dir_.text("second.MID")).size(), 2u);
  EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(RecordingSessionTest, AnInputThatCannotBeOpenedSaysSoAndRecordsNothing) {
  auto session = makeSession(true);
  EXPECT_FALSE(session->isReady());
  EXPECT_EQ(port_, 3);
  EXPECT_EQ(messages_, std::vector<std::string>{"Oops, the MIDI device is already open"});
  EXPECT_EQ(session->eventsText(), "0");
}

TEST_F(RecordingSessionTest, TheInputClosesWithTheSession) {
  auto session = makeSession();
  EXPECT_TRUE(inputOpen_);
  session.reset();
  EXPECT_FALSE(inputOpen_);
}

}  // namespace
}  // namespace tirasse
