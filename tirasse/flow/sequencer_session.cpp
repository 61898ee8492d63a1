#include "tirasse/flow/sequencer_session.h"

#include "tirasse/core/time_text.h"
#include "tirasse/midi/midi_timeline.h"

namespace tirasse {

namespace {

constexpr std::uint8_t kMidiStart = 0xFA;
constexpr std::uint8_t kMidiContinue = 0xFB;
constexpr std::uint8_t kMidiStop = 0xFC;

// Sends to whichever output is open now; the player keeps one sink for its whole life.
class ForwardingSink : public MidiSink {
 public:
  explicit ForwardingSink(std::unique_ptr<MidiSink>& target) : target_(target) {}
  void send(const Bytes& message) override {
    if (target_) target_->send(message);
  }

 private:
  std::unique_ptr<MidiSink>& target_;
};

}  // namespace

const char* sequencerStateName(SequencerState state) {
  static const char* const names[] = {"Idle", "Ready", "Playing", "Paused", "Recording"};
  return names[static_cast<int>(state)];
}

SequencerSession::SequencerSession(int inputDevice, int outputDevice, SequencerPorts ports,
                                   std::function<void(std::function<void()>)> post,
                                   std::function<void(const std::string&)> showMessage)
    : inputDevice_(inputDevice),
      outputDevice_(outputDevice),
      ports_(std::move(ports)),
      post_(std::move(post)),
      showMessage_(std::move(showMessage)) {}

SequencerSession::~SequencerSession() {
  input_.reset();  // no more calls from the input's thread
  player_.reset();
}

bool SequencerSession::ensureOutput() {
  if (output_) return true;
  try {
    output_ = ports_.openOutput(outputDevice_);
    return true;
  } catch (const std::exception& error) {
    showMessage_(error.what());
    return false;
  }
}

bool SequencerSession::ensureInput() {
  if (input_) return true;
  try {
    input_ = ports_.openInput(inputDevice_, [this](const Bytes& m) { onIncoming(m); });
    return true;
  } catch (const std::exception&) {
    showMessage_("Oops, the MIDI device is already open");
    return false;
  }
}

bool SequencerSession::openFile(const std::string& path) {
  MidiFile file;
  try {
    file = readMidiFile(path);
  } catch (const MidiFileError&) {
    showMessage_("File " + path + " does not appear to be a valid MIDI file");
    return false;
  }
  if (file.format != 0) {
    showMessage_("Sorry, only type 0 MIDI files are allowed. This file is type " +
                 std::to_string(file.format));
    return false;
  }
  if (file.isSmpte()) showMessage_("Warning: SMPTE time code is an untested feature");
  stop();
  file_ = std::move(file);
  hasRecording_ = false;
  std::size_t count = 0;
  for (const MidiEvent& e : file_.tracks[0].events) count += e.isMeta() ? 0 : 1;
  events_ = std::to_string(count);
  player_.reset();
  state_ = SequencerState::Ready;
  return true;
}

void SequencerSession::closeFile() {
  stop();
  player_.reset();
  file_ = {};
  hasRecording_ = false;
  events_ = "0";
  time_ = "0:00";
  state_ = SequencerState::Idle;
}

bool SequencerSession::maySave() const {
  if (hasRecording_) return true;
  showMessage_("So sorry, but you can only save what's recorded");
  return false;
}

void SequencerSession::saveTo(const std::string& path) {
  try {
    writeMidiFileType0(path, file_);
  } catch (const MidiFileError& error) {
    showMessage_(path + " was not saved: " + error.what());
  }
}

void SequencerSession::stop() {
  if (state_ == SequencerState::Recording) {
    recorder_.stop();
    if (!allowControl_) input_.reset();
    file_ = recorder_.toMidiFile();
    hasRecording_ = true;
    player_.reset();
    state_ = SequencerState::Ready;
  } else if (state_ == SequencerState::Playing || state_ == SequencerState::Paused) {
    player_->seekToStart();
    state_ = SequencerState::Ready;
  }
}

void SequencerSession::play() {
  if (state_ == SequencerState::Idle || state_ == SequencerState::Recording) return;
  if (state_ == SequencerState::Playing) {
    player_->pause();
    state_ = SequencerState::Paused;
    return;
  }
  if (!ensureOutput()) return;
  if (!player_) {
    auto sink = std::make_unique<ForwardingSink>(output_);
    player_ = std::make_unique<MidiPlayer>(*sink);
    playerSink_ = std::move(sink);
    player_->load(buildTimeline(file_));
  }
  player_->play();
  state_ = SequencerState::Playing;
}

void SequencerSession::record() {
  if (state_ == SequencerState::Playing || state_ == SequencerState::Paused) stop();
  if (!ensureInput()) return;
  recorder_.start();
  state_ = SequencerState::Recording;
}

bool SequencerSession::setAllowControl(bool allowed) {
  allowControl_ = allowed;
  if (!allowed || ensureInput()) return true;
  allowControl_ = false;
  return false;
}

void SequencerSession::onIncoming(const Bytes& message) {
  // The input's thread: record at once, hand control messages to the window's thread.
  recorder_.add(message);
  if (message.size() != 1 || !allowControl_) return;
  const std::uint8_t status = message[0];
  if (status != kMidiStart && status != kMidiContinue && status != kMidiStop) return;
  post_([this, status, alive = std::weak_ptr<bool>(alive_)] {
    if (!alive.expired()) onControl(status);
  });
}

void SequencerSession::onControl(std::uint8_t status) {
  if (status == kMidiStop) {
    stop();
  } else if (state_ != SequencerState::Playing) {
    if (status == kMidiStart && player_) player_->seekToStart();
    play();
  }
}

void SequencerSession::refresh() {
  if (state_ == SequencerState::Recording) {
    events_ = std::to_string(recorder_.eventCount());
    time_ = minutesAndSeconds(static_cast<long long>(recorder_.elapsedSeconds() * 1000));
  } else if (player_) {
    time_ = minutesAndSeconds(static_cast<long long>(player_->positionMicroseconds() / 1000));
    if (state_ == SequencerState::Playing && player_->mode() == PlayerMode::Stopped) {
      player_->seekToStart();
      state_ = SequencerState::Ready;
    }
  }
}

}  // namespace tirasse
