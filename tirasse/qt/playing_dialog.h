#pragma once
// "Playing": shows the playing session (tirasse/flow) and forwards its buttons.

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tirasse {

class PlayingSession;

class PlayingDialog : public QDialog {
  Q_OBJECT
 public:
  PlayingDialog(const QString& file, int outputDevice,
                std::function<void(const QString&)> showMessage, QWidget* parent = nullptr);
  ~PlayingDialog() override;
  bool isReady() const;

 private:
  // Runs a button of the session and shows what it changed; `speed`: the speed box too.
  void act(const std::function<void(PlayingSession&)>& action, bool speed = false);
  void done(int result) override;

  std::function<void(const QString&)> showMessage_;
  std::unique_ptr<PlayingSession> session_;
  QLabel* position_;
  QLabel* length_;
  QLineEdit* speedBox_;
  QPushButton* pause_;
  QTimer* timer_;
};

}  // namespace tirasse
