#pragma once
// "Waiting": shows plenum's output live while it runs and passes Enter on to it, so that its
// pause before exiting and the monitor's stop key work as in a terminal. When plenum ends it
// says how; after a clean end it closes, otherwise it stays open to be read.

#include <QDialog>

#include "tirasse/core/run_outcome.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tirasse {

class PlenumRunner;

class WaitDialog : public QDialog {
  Q_OBJECT
 public:
  WaitDialog(PlenumRunner& runner, QWidget* parent = nullptr);
  void clearOutput();
  QString outputText() const;
  QString stateText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void append(const QString& text);
  void ended(const RunOutcome& outcome);

  PlenumRunner& runner_;
  QPlainTextEdit* output_;
  QLabel* state_;
  QPushButton* stop_;
};

}  // namespace tirasse
