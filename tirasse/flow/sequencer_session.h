#pragma once
// "Sequencer" without its widgets: opens, plays, records and saves format 0 MIDI files;
// incoming MIDI Start, Continue and Stop can drive it while the user allows it. The state
// machine runs on the window's thread; only the recorder and one atomic flag are touched
// from the MIDI input's thread, which hands control messages over through `post`.

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "tirasse/midi/midi_file.h"
#include "tirasse/midi/midi_player.h"
#include "tirasse/midi/midi_recorder.h"
#include "tirasse/midi/system_midi_ports.h"

namespace tirasse {

enum class SequencerState { Idle, Ready, Playing, Paused, Recording };

const char* sequencerStateName(SequencerState state);

inline constexpr const char* kSequencerTitle = "Sequencer";
inline constexpr const char* kAllowControlCaption = "Allow MIDI messages to control sequencer";

// How the session reaches the devices; tests give their own.
struct SequencerPorts {
  std::function<std::unique_ptr<MidiSink>(int port)> openOutput = &openSystemOutput;
  InputPortOpener openInput = &openSystemInput;
};

class SequencerSession {
 public:
  // `post` runs a function on the window's thread later; `showMessage` tells the user.
  SequencerSession(int inputDevice, int outputDevice, SequencerPorts ports,
                   std::function<void(std::function<void()>)> post,
                   std::function<void(const std::string&)> showMessage);
  ~SequencerSession();
  SequencerSession(const SequencerSession&) = delete;
  SequencerSession& operator=(const SequencerSession&) = delete;

  SequencerState state() const { return state_; }
  std::string stateText() const { return sequencerStateName(state_); }
  const std::string& eventsText() const { return events_; }
  const std::string& timeText() const { return time_; }

  // The buttons. openFile loads a file chosen in the Open dialog; false after saying why not.
  bool openFile(const std::string& path);
  void closeFile();
  // Save asks for a file only when there is a recording; false after saying so.
  bool maySave() const;
  void saveTo(const std::string& path);
  void stop();
  void play();  // while playing: pause; pressed again it goes on
  void record();
  // The allow box was ticked or cleared; false when it must be cleared again (the input
  // could not be opened, after the message).
  bool setAllowControl(bool allowed);
  // The window's timer: the counters, and the end of the file.
  void refresh();

 private:
  void onIncoming(const Bytes& message);  // the input's thread
  void onControl(std::uint8_t status);
  bool ensureOutput();
  bool ensureInput();

  int inputDevice_;
  int outputDevice_;
  SequencerPorts ports_;
  std::function<void(std::function<void()>)> post_;
  std::function<void(const std::string&)> showMessage_;
  SequencerState state_ = SequencerState::Idle;
  bool hasRecording_ = false;
  std::string events_ = "0";
  std::string time_ = "0:00";
  std::atomic<bool> allowControl_{false};
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for what was posted
  MidiFile file_;
  MidiRecorder recorder_;
  std::unique_ptr<MidiSink> output_;
  std::unique_ptr<MidiSink> playerSink_;  // forwards to output_; outlives player_
  std::unique_ptr<MidiPlayer> player_;
  std::unique_ptr<MidiInput> input_;
};

}  // namespace tirasse
