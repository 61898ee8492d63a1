#pragma once
// "Playing" without its widgets: plays a MIDI file on the output device through the file
// player's commands, with its position, Stop, Pause, and tempo changes as a percentage of
// the file's tempo. A command that fails is named in the message, and polling ends.

#include <functional>
#include <memory>
#include <string>

#include "tirasse/midi/sequencer_commands.h"

namespace tirasse {

inline constexpr const char* kPlayingTitle = "Playing";

class PlayingSession {
 public:
  // Opens the file and starts playing; isReady() says whether that worked.
  PlayingSession(const std::string& file, int outputDevice, OutputPortOpener openOutput,
                 std::function<void(const std::string&)> showMessage);
  ~PlayingSession();  // closes the file
  PlayingSession(const PlayingSession&) = delete;
  PlayingSession& operator=(const PlayingSession&) = delete;

  bool isReady() const { return ready_; }
  // The window's once-a-second poll should go on: false after a command failed.
  bool isPolling() const { return polling_; }

  const std::string& positionText() const { return position_; }
  const std::string& lengthText() const { return length_; }
  const std::string& speedText() const { return speedText_; }
  std::string pauseCaption() const { return paused_ ? "Resume" : "Pause"; }

  void stop();
  void togglePause();
  void faster();
  void slower();
  void normal();
  // The speed box was left: a positive number is the new percentage, anything else keeps
  // the speed.
  void speedEdited(const std::string& text);
  void poll();

 private:
  // Sends one command; on failure says so, ends polling and returns false.
  bool send(const std::string& command, std::string* result = nullptr);
  void setSpeed(double percent);

  std::function<void(const std::string&)> showMessage_;
  std::unique_ptr<SequencerCommands> commands_;
  bool ready_ = false;
  bool opened_ = false;
  bool polling_ = false;
  bool paused_ = false;
  double tempo_ = 120;
  double speed_ = 100;
  std::string position_ = "0:00";
  std::string length_;
  std::string speedText_ = "100";
};

}  // namespace tirasse
