// Playing and Recording, opened from the main window with stand-in MIDI ports: the files
// dialogs' requests, the dialogs' texts and buttons, what reaches the output, and the file a
// recording is saved to.

#include <gtest/gtest.h>

#include <mutex>
#include <stdexcept>
#include <thread>

#include "tirasse/core/utf8_path.h"
#include "tirasse/midi/midi_file.h"
#include "tirasse/win32/main_window.h"
#include "tirasse/win32/message_loop.h"
#include "tirasse/win32/playing_dialog.h"
#include "tirasse/win32/recording_dialog.h"
#include "tirasse/win32/sequencer_dialog.h"
#include "tirasse/win32/window_test_support.h"

namespace tirasse::win32 {
namespace {

using testing::click;

using Id = MainWindow::Id;

class OneDevice : public MidiDeviceLists {
 public:
  std::vector<std::string> inputNames() const override { return {"In A"}; }
  std::vector<std::string> outputNames() const override { return {"Out A"}; }
};

class RecordingSink : public MidiSink {
 public:
  explicit RecordingSink(std::vector<Bytes>& sent, std::mutex& mutex) : sent_(sent), mutex_(mutex) {}
  void send(const Bytes& message) override {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.push_back(message);
  }

 private:
  std::vector<Bytes>& sent_;
  std::mutex& mutex_;
};

class FakeInput : public MidiInput {};

class MidiWindowsTest : public ::testing::Test {
 protected:
  std::unique_ptr<MainWindow> makeWindow() {
    StartupEnvironment environment;
    environment.folders = {folder_.text(), folder_.text(), folder_.text(), folder_.text()};
    environment.devices = &devices_;
    environment.askForConfigFile = false;
    auto window = std::make_unique<MainWindow>(environment);
    window->showMessage = [this](const std::string& text) { messages_.push_back(text); };
    window->askForFile = [this](HWND, const FileDialogRequest& request) {
      requests_.push_back(request);
      return chosen_;
    };
    window->openOutput = [this](int port) -> std::unique_ptr<MidiSink> {
      ports_.push_back(port);
      if (refusePort_) throw std::runtime_error("there is no MIDI output device 0");
      return std::make_unique<RecordingSink>(sent_, mutex_);
    };
    window->openInput = [this](int port, MidiInputHandler handler) -> std::unique_ptr<MidiInput> {
      ports_.push_back(port);
      if (refusePort_) throw std::runtime_error("busy");
      input_ = std::move(handler);
      return std::make_unique<FakeInput>();
    };
    window->show(SW_SHOWNOACTIVATE);
    EXPECT_TRUE(window->start());
    return window;
  }
  void TearDown() override { setModalShownHook(nullptr); }

  // One note, a quarter note long at 120 beats per minute.
  std::string writeTune() {
    MidiFile file;
    file.division = 96;
    file.tracks.push_back({{{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}}});
    const std::string path = folder_.text("Präludium.mid");
    writeMidiFileType0(path, file);
    return path;
  }

  // A message from the input, on a thread of its own as the driver delivers it.
  void arrive(const Bytes& message) {
    std::thread driver([&] { input_(message); });
    driver.join();
  }

  TestScratchFolder folder_;
  OneDevice devices_;
  std::vector<std::string> messages_;
  std::vector<FileDialogRequest> requests_;
  std::optional<std::string> chosen_;
  std::vector<int> ports_;
  bool refusePort_ = false;
  std::mutex mutex_;
  std::vector<Bytes> sent_;
  MidiInputHandler input_;
};

TEST_F(MidiWindowsTest, PlayAsksForAFileAndPlaysItOnTheOutputDevice) {
  auto window = makeWindow();
  chosen_ = writeTune();
  std::vector<std::string> shown;
  setModalShownHook([&](HWND dialog) {
    shown = {controlText(dialog), controlText(findControl(dialog, PlayingDialog::FileLabel)),
             controlText(findControl(dialog, PlayingDialog::LengthLabel)),
             controlText(findControl(dialog, PlayingDialog::SpeedBox)),
             controlText(window->control(Id::Play))};
    click(findControl(dialog, PlayingDialog::FasterButton));
    shown.push_back(controlText(findControl(dialog, PlayingDialog::SpeedBox)));
    click(findControl(dialog, PlayingDialog::PauseButton));
    shown.push_back(controlText(findControl(dialog, PlayingDialog::PauseButton)));
    click(findControl(dialog, PlayingDialog::PauseButton));
    click(findControl(dialog, PlayingDialog::NormalButton));
    shown.push_back(controlText(findControl(dialog, PlayingDialog::SpeedBox)));
    testing::waitFor([&] {
      std::lock_guard<std::mutex> lock(mutex_);
      return !sent_.empty();
    }, 5000);
    click(findControl(dialog, PlayingDialog::FinishedButton));
  });
  click(window->control(Id::Play));
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].title, "Play MIDI File");
  EXPECT_EQ(requests_[0].filter, "MIDI Files (*.mid)|*.mid");
  EXPECT_EQ(requests_[0].folder, folder_.text());
  EXPECT_EQ(shown, (std::vector<std::string>{"Playing", *chosen_, "0:00", "100", "Playing", "125",
                                             "Resume", "100"}));
  EXPECT_EQ(ports_, std::vector<int>{0});
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ASSERT_FALSE(sent_.empty());
    EXPECT_EQ(sent_.front(), (Bytes{0x90, 60, 100}));
  }
  EXPECT_EQ(controlText(window->control(Id::Play)), "Play");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(MidiWindowsTest, AnOutputThatCannotBeOpenedIsNamedInTheMessage) {
  auto window = makeWindow();
  chosen_ = writeTune();
  refusePort_ = true;
  bool opened = false;
  setModalShownHook([&](HWND) { opened = true; });
  click(window->control(Id::Play));
  EXPECT_FALSE(opened);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].rfind("Command \"set midio port 0\" failed\n", 0), 0u) << messages_[0];
  EXPECT_EQ(controlText(window->control(Id::Play)), "Play");
}

TEST_F(MidiWindowsTest, RecordSavesWhatArrivedAsATypeZeroFile) {
  auto window = makeWindow();
  chosen_ = folder_.text("take");
  std::vector<std::string> shown;
  setModalShownHook([&](HWND dialog) {
    shown.push_back(controlText(dialog));
    input_({0x90, 64, 90});
    input_({0xF8});  // a clock tick is not music
    input_({0x80, 64, 0});
    testing::waitFor([] { return false; }, 400);  // the counter is shown four times a second
    shown.push_back(controlText(findControl(dialog, RecordingDialog::EventsLabel)));
    click(findControl(dialog, RecordingDialog::SaveButton));
  });
  click(window->control(Id::Record));
  EXPECT_EQ(shown, (std::vector<std::string>{"Recording", "2"}));
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_TRUE(requests_[0].save);
  EXPECT_EQ(requests_[0].title, "Save MIDI File");
  EXPECT_EQ(requests_[0].defaultExtension, "mid");
  const MidiFile saved = readMidiFile(folder_.text("take.mid"));
  EXPECT_EQ(saved.format, 0);
  ASSERT_EQ(saved.tracks.size(), 1u);
  std::vector<Bytes> notes;
  for (const MidiEvent& event : saved.tracks[0].events) {
    if (!event.isMeta()) notes.push_back(event.bytes);
  }
  EXPECT_EQ(notes, (std::vector<Bytes>{{0x90, 64, 90}, {0x80, 64, 0}}));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(MidiWindowsTest, AnInputThatCannotBeOpenedSaysSo) {
  auto window = makeWindow();
  refusePort_ = true;
  click(window->control(Id::Record));
  EXPECT_EQ(messages_, std::vector<std::string>{"Oops, the MIDI device is already open"});
}

using Seq = SequencerDialog::Id;

std::string shownIn(HWND dialog, int id) { return controlText(findControl(dialog, id)); }

// Each button's effect as the window shows it: state, events and the files asked for.
TEST_F(MidiWindowsTest, SequencerPlaysRecordsAndSavesThroughItsButtons) {
  auto window = makeWindow();
  const std::string tune = writeTune();
  std::vector<std::string> captions;
  std::vector<std::string> states;
  setModalShownHook([&](HWND dialog) {
    captions.push_back(controlText(dialog));
    for (int id : {Seq::OpenButton, Seq::CloseButton, Seq::SaveButton, Seq::StopButton,
                   Seq::PlayButton, Seq::RecordButton, Seq::AllowControlBox}) {
      captions.push_back(shownIn(dialog, id));
    }
    const auto note = [&] { states.push_back(shownIn(dialog, Seq::StateLabel) + " " + shownIn(dialog, Seq::EventsLabel)); };
    note();
    chosen_ = tune;
    click(findControl(dialog, Seq::OpenButton));
    note();
    click(findControl(dialog, Seq::PlayButton));
    note();
    testing::waitFor([&] {
      std::lock_guard<std::mutex> lock(mutex_);
      return !sent_.empty();
    }, 5000);
    click(findControl(dialog, Seq::PlayButton));
    note();
    click(findControl(dialog, Seq::StopButton));
    note();
    click(findControl(dialog, Seq::SaveButton));  // nothing recorded: no dialog
    click(findControl(dialog, Seq::RecordButton));
    note();  // the count changes with the next refresh, as in the Qt window
    arrive({0x90, 64, 90});
    arrive({0xF8});  // a clock tick is not music
    testing::waitFor([] { return false; }, 400);  // the counters are shown four times a second
    note();
    click(findControl(dialog, Seq::StopButton));
    chosen_ = folder_.text("Übung");
    click(findControl(dialog, Seq::SaveButton));
    click(findControl(dialog, Seq::CloseButton));
    note();
    states.push_back(shownIn(dialog, Seq::TimeLabel));
    PostMessageW(dialog, WM_KEYDOWN, VK_RETURN, 0);  // Enter does not close it
    testing::waitFor([] { return false; }, 100);
    captions.push_back(IsWindowVisible(dialog) ? "still open" : "closed");
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // Escape
  });
  click(window->control(Id::Sequencer));
  EXPECT_EQ(captions, (std::vector<std::string>{"Sequencer", "Open", "Close", "Save", "Stop", "Play",
                                                "Record", "Allow MIDI messages to control sequencer",
                                                "still open"}));
  EXPECT_EQ(states, (std::vector<std::string>{"Idle 0", "Ready 2", "Playing 2", "Paused 2",
                                              "Ready 2", "Recording 2", "Recording 1", "Idle 0",
                                              "0:00"}));
  EXPECT_EQ(messages_, std::vector<std::string>{"So sorry, but you can only save what's recorded"});
  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_EQ(requests_[0].title, "Open MIDI File");
  EXPECT_EQ(requests_[0].filter, "MIDI Files (*.mid)|*.mid");
  EXPECT_EQ(requests_[0].folder, folder_.text());
  EXPECT_FALSE(requests_[0].save);
  EXPECT_EQ(requests_[1].title, "Save MIDI File");
  EXPECT_TRUE(requests_[1].save);
  EXPECT_EQ(requests_[1].defaultExtension, "mid");
  const MidiFile saved = readMidiFile(folder_.text("Übung.mid"));
  ASSERT_EQ(saved.tracks.size(), 1u);
  std::vector<Bytes> notes;
  for (const MidiEvent& event : saved.tracks[0].events) {
    if (!event.isMeta()) notes.push_back(event.bytes);
  }
  EXPECT_EQ(notes, (std::vector<Bytes>{{0x90, 64, 90}}));
}

// Start, Stop and Continue from the input's thread reach the window's thread, and only while
// the box is ticked.
TEST_F(MidiWindowsTest, SequencerFollowsIncomingStartAndStopOnlyWhileAllowed) {
  auto window = makeWindow();
  chosen_ = writeTune();
  std::vector<std::string> states;
  setModalShownHook([&](HWND dialog) {
    click(findControl(dialog, Seq::OpenButton));
    HWND allow = findControl(dialog, Seq::AllowControlBox);
    click(allow);
    states.push_back(isTicked(allow) ? "ticked" : "clear");
    const auto after = [&](const Bytes& message, const std::string& expected) {
      arrive(message);
      testing::waitFor([&] { return shownIn(dialog, Seq::StateLabel) == expected; }, 3000);
      states.push_back(shownIn(dialog, Seq::StateLabel));
    };
    after({0xFA}, "Playing");
    after({0xFC}, "Ready");
    after({0xFB}, "Playing");
    after({0xFC}, "Ready");
    click(allow);
    after({0xFA}, "Playing");  // cleared: nothing happens
    arrive({0xFA});  // posted just before the window closes
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  click(window->control(Id::Sequencer));
  EXPECT_EQ(states, (std::vector<std::string>{"ticked", "Playing", "Ready", "Playing", "Ready", "Ready"}));
  EXPECT_EQ(ports_, (std::vector<int>{0, 0}));  // the input for the box, the output for playing
  EXPECT_TRUE(messages_.empty());
}

TEST_F(MidiWindowsTest, SequencerClearsTheBoxWhenTheInputCannotBeOpened) {
  auto window = makeWindow();
  refusePort_ = true;
  bool ticked = true;
  setModalShownHook([&](HWND dialog) {
    HWND allow = findControl(dialog, Seq::AllowControlBox);
    click(allow);
    ticked = isTicked(allow);
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  click(window->control(Id::Sequencer));
  EXPECT_FALSE(ticked);
  EXPECT_EQ(messages_, std::vector<std::string>{"Oops, the MIDI device is already open"});
}

}  // namespace
}  // namespace tirasse::win32
