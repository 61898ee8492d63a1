#pragma once
// Plays a timeline on a MIDI output from its own thread, so the window stays responsive and
// the timing does not depend on the event loop. Pausing or stopping silences every note the
// player started: a stopped player must not leave pipes sounding.

#include <bitset>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tirasse/midi/midi_timeline.h"

namespace tirasse {

class MidiSink {
 public:
  virtual ~MidiSink() = default;
  virtual void send(const Bytes& message) = 0;
};

enum class PlayerMode { NotReady, Stopped, Playing, Paused };

class MidiPlayer {
 public:
  explicit MidiPlayer(MidiSink& sink);
  ~MidiPlayer();
  MidiPlayer(const MidiPlayer&) = delete;
  MidiPlayer& operator=(const MidiPlayer&) = delete;

  void load(Timeline timeline);  // stops and rewinds
  void play();
  void pause();
  void stop();  // keeps the position
  void seekToStart();
  // 1.0 plays at the file's own tempo, 2.0 twice as fast.
  void setSpeed(double factor);

  PlayerMode mode() const;
  double positionMicroseconds() const;
  double lengthMicroseconds() const;
  double speed() const;

 private:
  using Clock = std::chrono::steady_clock;

  void run();
  double positionLocked(Clock::time_point now) const;
  void holdAt(double position);  // leaves Playing, keeping the position; lock held
  void silence();
  void sendTracked(const Bytes& message);

  MidiSink& sink_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  Timeline timeline_;
  PlayerMode mode_ = PlayerMode::NotReady;
  double speed_ = 1.0;
  std::size_t next_ = 0;
  double heldPosition_ = 0;           // when not playing
  Clock::time_point anchorTime_;      // when playing: this moment...
  double anchorPosition_ = 0;         // ...was this position
  bool quit_ = false;

  std::mutex sendMutex_;  // one sender at a time: the thread, or a caller silencing notes
  std::bitset<16 * 128> soundingNotes_;

  std::thread thread_;
};

}  // namespace tirasse
