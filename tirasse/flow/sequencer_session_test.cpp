#include "tirasse/flow/sequencer_session.h"

#include <gtest/gtest.h>

#include <thread>

#include "tirasse/core/test_scratch_folder.h"
#include "tirasse/midi/fake_midi_sink.h"

namespace tirasse {
namespace {

// An input whose messages the test sends from a thread of its own, as a driver would.
class FakeInput : public MidiInput {
 public:
  explicit FakeInput(MidiInputHandler handler) : handler_(std::move(handler)) {}
  void arrive(const Bytes& message) {
    std::thread driver([&] { handler_(message); });
    driver.join();
  }

 private:
  MidiInputHandler handler_;
};

class SequencerSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    MidiFile tune;
    tune.tracks = {MidiTrack{{{0, {0x90, 60, 100}}, {480, {0x80, 60, 0}},
                              {480, {0xFF, kMetaEndOfTrack}}}}};
    writeMidiFileType0(dir_.text("tune.mid"), tune);
  }
  std::unique_ptr<SequencerSession> makeSession() {
    SequencerPorts ports;
    ports.openOutput = [this](int port) -> std::unique_ptr<MidiSink> {
      opened_.push_back("output " + std::to_string(port));
      if (outputFails_) throw std::runtime_error("there is no MIDI output device 3");
      auto sink = std::make_unique<FakeMidiSink>();
      sink_ = sink.get();
      return sink;
    };
    ports.openInput = [this](int port, MidiInputHandler handler) -> std::unique_ptr<MidiInput> {
      opened_.push_back("input " + std::to_string(port));
      if (inputFails_) throw std::runtime_error("busy");
      auto input = std::make_unique<FakeInput>(std::move(handler));
      input_ = input.get();
      return input;
    };
    return std::make_unique<SequencerSession>(
        2, 3, ports, [this](std::function<void()> f) { posted_.push_back(std::move(f)); },
        [this](const std::string& m) { messages_.push_back(m); });
  }
  void runPosted() {
    auto due = std::move(posted_);
    posted_.clear();
    for (auto& f : due) f();
  }

  TestScratchFolder dir_;
  std::vector<std::string> opened_;
  std::vector<std::string> messages_;
  std::vector<std::function<void()>> posted_;
  FakeMidiSink* sink_ = nullptr;
  FakeInput* input_ = nullptr;
  bool outputFails_ = false;
  bool inputFails_ = false;
};

TEST_F(SequencerSessionTest, ButtonsFollowTheStateMachine) {
  auto session = makeSession();
  EXPECT_EQ(session->stateText(), "Idle");
  session->play();  // nothing to play
  EXPECT_EQ(session->state(), SequencerState::Idle);
  ASSERT_TRUE(session->openFile(dir_.text("tune.mid")));
  EXPECT_EQ(session->stateText(), "Ready");
  EXPECT_EQ(session->eventsText(), "2");
  session->play();
  EXPECT_EQ(session->stateText(), "Playing");
  EXPECT_EQ(opened_, std::vector<std::string>{"output 3"});
  ASSERT_TRUE(sink_->waitFor(1));
  EXPECT_EQ(sink_->sent().front(), (Bytes{0x90, 60, 100}));
  session->play();
  EXPECT_EQ(session->stateText(), "Paused");
  session->stop();
  EXPECT_EQ(session->stateText(), "Ready");
  EXPECT_FALSE(session->maySave());
  EXPECT_EQ(messages_, std::vector<std::string>{"So sorry, but you can only save what's recorded"});
  session->closeFile();
  EXPECT_EQ(session->stateText(), "Idle");
  EXPECT_EQ(session->eventsText(), "0");
  EXPECT_EQ(session->timeText(), "0:00");
}

TEST_F(SequencerSessionTest, ARecordingCanBeSavedAndOpenedAgain) {
  auto session = makeSession();
  session->record();
  EXPECT_EQ(session->stateText(), "Recording");
  ASSERT_NE(input_, nullptr);
  input_->arrive({0x90, 64, 90});
  input_->arrive({0xF8});  // clock: not music
  session->refresh();
  EXPECT_EQ(session->eventsText(), "1");
  session->stop();
  EXPECT_EQ(session->stateText(), "Ready");
  EXPECT_TRUE(session->maySave());
  session->saveTo(dir_.text("take 𝄞.mid"));
  EXPECT_TRUE(messages_.empty());
  ASSERT_TRUE(session->openFile(dir_.text("take 𝄞.mid")));
  EXPECT_EQ(session->eventsText(), "1");
  session->saveTo(dir_.text("no/such/folder/x.mid"));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], dir_.text("no/such/folder/x.mid") + " was not saved: The file cannot be created");
}

TEST_F(SequencerSessionTest, FilesItCannotPlayAreRefusedInWords) {
  auto session = makeSession();
  ASSERT_TRUE(dir_.write("garbage.mid", "RIFF not a midi file"));
  EXPECT_FALSE(session->openFile(dir_.text("garbage.mid")));
  EXPECT_EQ(messages_.back(), "File " + dir_.text("garbage.mid") + " does not appear to be a valid MIDI file");
  EXPECT_EQ(session->stateText(), "Idle");
  outputFails_ = true;
  ASSERT_TRUE(session->openFile(dir_.text("tune.mid")));
  session->play();
  EXPECT_EQ(messages_.back(), "there is no MIDI output device 3");
  EXPECT_EQ(session->stateText(), "Ready");
  inputFails_ = true;
  session->record();
  EXPECT_EQ(messages_.back(), "Oops, the MIDI device is already open");
  EXPECT_FALSE(session->setAllowControl(true));
}

TEST_F(SequencerSessionTest, StartContinueAndStopFromTheInputOnlyWhileAllowed) {
  auto session = makeSession();
  ASSERT_TRUE(session->openFile(dir_.text("tune.mid")));
  ASSERT_TRUE(session->setAllowControl(true));
  ASSERT_NE(input_, nullptr);
  EXPECT_EQ(opened_, std::vector<std::string>{"input 2"});
  input_->arrive({0xFA});  // Start, from the input's thread
  EXPECT_EQ(session->stateText(), "Ready");  // nothing happens on that thread
  ASSERT_EQ(posted_.size(), 1u);
  runPosted();
  EXPECT_EQ(session->stateText(), "Playing");
  input_->arrive({0xFC});  // Stop
  runPosted();
  EXPECT_EQ(session->stateText(), "Ready");
  input_->arrive({0xFB});  // Continue
  runPosted();
  EXPECT_EQ(session->stateText(), "Playing");
  session->stop();

  ASSERT_TRUE(session->setAllowControl(false));
  input_->arrive({0xFA});
  EXPECT_TRUE(posted_.empty());
  input_->arrive({0xFA, 0x00});  // not a one-byte message: no control
  EXPECT_TRUE(posted_.empty());

  // Posted before the window closed, run after: nothing happens.
  ASSERT_TRUE(session->setAllowControl(true));
  input_->arrive({0xFA});
  session.reset();
  runPosted();
}

}  // namespace
}  // namespace tirasse
