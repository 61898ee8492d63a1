#pragma once
// "Playing": plays a MIDI file on the output device through the file-player commands, with
// its position, stop, pause, and tempo changes as a percentage of the file's tempo.

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tirasse {

class SequencerCommands;

class PlayingDialog : public QDialog {
  Q_OBJECT
 public:
  PlayingDialog(const QString& file, int outputDevice,
                std::function<void(const QString&)> showMessage, QWidget* parent = nullptr);
  ~PlayingDialog() override;
  bool isReady() const { return ready_; }

 private:
  // Sends one command; on failure shows the message and returns false.
  bool send(const QString& command, QString* result = nullptr);
  void poll();
  void setSpeed(double percent);
  void done(int result) override;

  std::function<void(const QString&)> showMessage_;
  std::unique_ptr<SequencerCommands> commands_;
  bool ready_ = false;
  bool opened_ = false;
  bool paused_ = false;
  double tempo_ = 120;
  double speed_ = 100;
  QLabel* position_;
  QLabel* length_;
  QLineEdit* speedBox_;
  QPushButton* pause_;
  QTimer* timer_;
};

}  // namespace tirasse
