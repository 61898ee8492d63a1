#include "tirasse/midi/midi_player.h"

#include <algorithm>

namespace tirasse {

namespace {

constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kControlChange = 0xB0;
constexpr std::uint8_t kAllNotesOff = 123;

}  // namespace

MidiPlayer::MidiPlayer(MidiSink& sink) : sink_(sink), thread_([this] { run(); }) {}

MidiPlayer::~MidiPlayer() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  thread_.join();
  silence();
}

void MidiPlayer::load(Timeline timeline) {
  stop();
  std::lock_guard lock(mutex_);
  timeline_ = std::move(timeline);
  mode_ = PlayerMode::Stopped;
  next_ = 0;
  heldPosition_ = 0;
}

void MidiPlayer::play() {
  {
    std::lock_guard lock(mutex_);
    if (mode_ == PlayerMode::NotReady || mode_ == PlayerMode::Playing) return;
    if (heldPosition_ >= timeline_.lengthMicroseconds) heldPosition_ = 0;
    const double from = heldPosition_;
    next_ = static_cast<std::size_t>(
        std::lower_bound(timeline_.messages.begin(), timeline_.messages.end(), from,
                         [](const TimedMessage& m, double t) { return m.microseconds < t; }) -
        timeline_.messages.begin());
    anchorTime_ = Clock::now();
    anchorPosition_ = from;
    mode_ = PlayerMode::Playing;
  }
  wake_.notify_all();
}

void MidiPlayer::holdAt(double position) {
  heldPosition_ = position;
  anchorPosition_ = position;
}

void MidiPlayer::pause() {
  {
    std::lock_guard lock(mutex_);
    if (mode_ != PlayerMode::Playing) return;
    holdAt(positionLocked(Clock::now()));
    mode_ = PlayerMode::Paused;
  }
  wake_.notify_all();
  silence();
}

void MidiPlayer::stop() {
  {
    std::lock_guard lock(mutex_);
    if (mode_ == PlayerMode::NotReady) return;
    if (mode_ == PlayerMode::Playing) holdAt(positionLocked(Clock::now()));
    mode_ = PlayerMode::Stopped;
  }
  wake_.notify_all();
  silence();
}

void MidiPlayer::seekToStart() {
  stop();
  std::lock_guard lock(mutex_);
  holdAt(0);
  next_ = 0;
}

void MidiPlayer::setSpeed(double factor) {
  if (!(factor > 0)) return;
  {
    std::lock_guard lock(mutex_);
    if (mode_ == PlayerMode::Playing) {
      const Clock::time_point now = Clock::now();
      anchorPosition_ = positionLocked(now);
      anchorTime_ = now;
    }
    speed_ = factor;
  }
  wake_.notify_all();
}

PlayerMode MidiPlayer::mode() const {
  std::lock_guard lock(mutex_);
  return mode_;
}

double MidiPlayer::positionMicroseconds() const {
  std::lock_guard lock(mutex_);
  return mode_ == PlayerMode::Playing ? positionLocked(Clock::now()) : heldPosition_;
}

double MidiPlayer::lengthMicroseconds() const {
  std::lock_guard lock(mutex_);
  return timeline_.lengthMicroseconds;
}

double MidiPlayer::speed() const {
  std::lock_guard lock(mutex_);
  return speed_;
}

double MidiPlayer::positionLocked(Clock::time_point now) const {
  const double elapsed = std::chrono::duration<double, std::micro>(now - anchorTime_).count();
  return std::min(anchorPosition_ + elapsed * speed_, timeline_.lengthMicroseconds);
}

void MidiPlayer::run() {
  std::unique_lock lock(mutex_);
  while (!quit_) {
    if (mode_ != PlayerMode::Playing) {
      wake_.wait(lock);
      continue;
    }
    const Clock::time_point now = Clock::now();
    if (next_ >= timeline_.messages.size()) {
      // Past the last message the file still runs to its end-of-track time.
      const double left = timeline_.lengthMicroseconds - positionLocked(now);
      if (left > 0) {
        wake_.wait_for(lock, std::chrono::duration<double, std::micro>(left / speed_));
        continue;
      }
      holdAt(timeline_.lengthMicroseconds);
      mode_ = PlayerMode::Stopped;
      continue;
    }
    const TimedMessage& message = timeline_.messages[next_];
    const double wait = (message.microseconds - positionLocked(now)) / speed_;
    if (wait > 0) {
      wake_.wait_for(lock, std::chrono::duration<double, std::micro>(wait));
      continue;  // the state may have changed while waiting
    }
    const Bytes bytes = message.bytes;
    ++next_;
    lock.unlock();
    sendTracked(bytes);
    lock.lock();
  }
}

void MidiPlayer::sendTracked(const Bytes& message) {
  std::lock_guard lock(sendMutex_);
  {
    // A pause or stop that came in meanwhile has already silenced the notes; a note sent
    // now would hang.
    std::lock_guard state(mutex_);
    if (mode_ != PlayerMode::Playing) return;
  }
  const std::uint8_t kind = message[0] & 0xF0;
  if ((kind == kNoteOn || kind == kNoteOff) && message.size() >= 3) {
    const std::size_t note = (message[0] & 0x0F) * 128u + (message[1] & 0x7F);
    soundingNotes_[note] = kind == kNoteOn && message[2] != 0;
  }
  sink_.send(message);
}

void MidiPlayer::silence() {
  std::lock_guard lock(sendMutex_);
  bool channelUsed[16] = {};
  for (std::size_t i = 0; i < soundingNotes_.size(); ++i) {
    if (!soundingNotes_[i]) continue;
    const auto channel = static_cast<std::uint8_t>(i / 128);
    channelUsed[channel] = true;
    sink_.send({static_cast<std::uint8_t>(kNoteOff | channel), static_cast<std::uint8_t>(i % 128),
                0});
  }
  soundingNotes_.reset();
  for (std::uint8_t channel = 0; channel < 16; ++channel) {
    if (channelUsed[channel]) {
      sink_.send({static_cast<std::uint8_t>(kControlChange | channel), kAllNotesOff, 0});
    }
  }
}

}  // namespace tirasse
