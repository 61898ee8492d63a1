// Playing and Recording, opened from the main window with stand-in MIDI ports: the files
// dialogs' requests, the dialogs' texts and buttons, what reaches the output, and the file a
// recording is saved to.

#include <gtest/gtest.h>

#include <mutex>
#include <stdexcept>

#include "tirasse/core/utf8_path.h"
#include "tirasse/midi/midi_file.h"
#include "tirasse/win32/main_window.h"
#include "tirasse/win32/message_loop.h"
#include "tirasse/win32/playing_dialog.h"
#include "tirasse/win32/recording_dialog.h"
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

TEST(MinutesAndSeconds, ShowsMinutesAndTwoDigitSeconds) {
  EXPECT_EQ(minutesAndSeconds(0), "0:00");
  EXPECT_EQ(minutesAndSeconds(187000), "3:07");
  EXPECT_EQ(minutesAndSeconds(-5), "0:00");
}

}  // namespace
}  // namespace tirasse::win32
