#pragma once
// "Sequencer": shows the sequencer session (tirasse/flow) and forwards its buttons.

#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QTimer;

namespace tirasse {

class SequencerSession;

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
  void open();
  void save();
  // Runs a button of the session and shows what it changed.
  void act(const std::function<void(SequencerSession&)>& action);
  void refreshLabels();

  QString midDir_;
  std::function<void(const QString&)> showMessage_;
  std::unique_ptr<SequencerSession> session_;
  QLabel* events_;
  QLabel* time_;
  QLabel* state_label_;
  QCheckBox* allowControl_;
  QTimer* timer_;
};

}  // namespace tirasse
