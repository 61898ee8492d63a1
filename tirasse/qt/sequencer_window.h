#pragma once
// "Sequencer": opens, plays, records and saves format 0 MIDI files; incoming MIDI Start,
// Continue and Stop can drive it when the user allows it.

#include <QWidget>
#include <functional>
#include <memory>

#include "tirasse/midi/midi_file.h"
#include "tirasse/midi/midi_recorder.h"

class QCheckBox;
class QLabel;
class QTimer;

namespace tirasse {

class MidiInput;
class MidiPlayer;
class MidiSink;

class SequencerWindow : public QWidget {
  Q_OBJECT
 public:
  SequencerWindow(int inputDevice, int outputDevice, QString midDir,
                  std::function<void(const QString&)> showMessage, QWidget* parent = nullptr);
  ~SequencerWindow() override;

  QString stateText() const;
  // Loads a file as Open does (without the dialog); false after showing why not.
  bool openFile(const QString& path);

 private:
  enum class State { Idle, Ready, Playing, Paused, Recording };

  void open();
  void closeFile();
  void save();
  void stop();
  void play();
  void record();
  void refresh();
  bool ensureOutput();
  void onIncoming(const Bytes& message);
  void setState(State state);

  int inputDevice_;
  int outputDevice_;
  QString midDir_;
  std::function<void(const QString&)> showMessage_;
  State state_ = State::Idle;
  bool hasRecording_ = false;
  MidiFile file_;
  MidiRecorder recorder_;
  std::unique_ptr<MidiSink> output_;
  std::unique_ptr<MidiSink> playerSink_;  // forwards to output_; outlives player_
  std::unique_ptr<MidiPlayer> player_;
  std::unique_ptr<MidiInput> input_;
  QLabel* events_;
  QLabel* time_;
  QLabel* state_label_;
  QCheckBox* allowControl_;
  QTimer* timer_;
};

}  // namespace tirasse
