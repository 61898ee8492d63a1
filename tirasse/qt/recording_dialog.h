#pragma once
// "Recording": records what arrives on the input device and saves it as a format 0 MIDI file.

#include <QDialog>
#include <functional>
#include <memory>

#include "tirasse/midi/midi_recorder.h"

class QLabel;
class QTimer;

namespace tirasse {

class MidiInput;

class RecordingDialog : public QDialog {
  Q_OBJECT
 public:
  RecordingDialog(int inputDevice, QString& midDir, std::function<void(const QString&)> showMessage,
                  QWidget* parent = nullptr);
  ~RecordingDialog() override;
  bool isReady() const { return input_ != nullptr; }

 private:
  void save();
  void refresh();

  QString& midDir_;
  std::function<void(const QString&)> showMessage_;
  MidiRecorder recorder_;
  std::unique_ptr<MidiInput> input_;
  QLabel* events_;
  QLabel* elapsed_;
  QTimer* timer_;
};

}  // namespace tirasse
