#include "tirasse/qt/wait_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "tirasse/qt/plenum_runner.h"
#include "tirasse/qt/qt_text.h"

namespace tirasse {

WaitDialog::WaitDialog(PlenumRunner& runner, QWidget* parent)
    : QDialog(parent), runner_(runner), output_(new QPlainTextEdit(this)) {
  setWindowTitle(QStringLiteral("Waiting"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  state_ = new QLabel(QStringLiteral("Waiting for command to complete"), this);
  layout->addWidget(state_);
  output_->setReadOnly(true);
  output_->setFont(QFont(QStringLiteral("Monospace")));
  output_->setFocusPolicy(Qt::NoFocus);  // Enter must reach the dialog, not the text
  output_->setMinimumSize(640, 320);
  layout->addWidget(output_);
  auto* buttons = new QHBoxLayout;
  auto* enter = new QPushButton(QStringLiteral("Send Enter"), this);
  enter->setAutoDefault(false);
  stop_ = new QPushButton(QStringLiteral("Stop plenum"), this);
  stop_->setObjectName(QStringLiteral("stopPlenum"));
  stop_->setAutoDefault(false);
  buttons->addWidget(enter);
  buttons->addStretch();
  buttons->addWidget(stop_);
  layout->addLayout(buttons);
  connect(enter, &QPushButton::clicked, &runner_, &PlenumRunner::sendEnter);
  connect(stop_, &QPushButton::clicked, this, [this] {
    if (runner_.isBusy()) {
      runner_.stop();
    } else {
      accept();
    }
  });
  connect(&runner_, &PlenumRunner::output, this, &WaitDialog::append);
  connect(&runner_, &PlenumRunner::finished, this, &WaitDialog::ended);
}

void WaitDialog::clearOutput() {
  output_->clear();
  state_->setText(QStringLiteral("Waiting for command to complete"));
  stop_->setText(QStringLiteral("Stop plenum"));
}

void WaitDialog::ended(const RunOutcome& outcome) {
  append(qtext(outcomeAfter(utf8(output_->toPlainText()), outcome)));
  // A window left open after plenum has gone must not say it is still waiting.
  state_->setText(outcome.exitStatus == 0 && !outcome.stoppedByUser && !outcome.crashed
                      ? QStringLiteral("Command completed")
                      : QStringLiteral("Command ended"));
  if (!outcome.stoppedByUser && !outcome.crashed && outcome.exitStatus == 0) {
    accept();
    return;
  }
  stop_->setText(QStringLiteral("Close"));
}
QString WaitDialog::outputText() const { return output_->toPlainText(); }
QString WaitDialog::stateText() const { return state_->text(); }

void WaitDialog::append(const QString& text) {
  // plenum prints progress characters without line ends: append exactly what came.
  output_->moveCursor(QTextCursor::End);
  output_->insertPlainText(text);
  output_->verticalScrollBar()->setValue(output_->verticalScrollBar()->maximum());
}

void WaitDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    runner_.sendEnter();
    return;
  }
  if (event->key() == Qt::Key_Escape && runner_.isBusy()) return;  // no closing while it runs
  QDialog::keyPressEvent(event);
}

void WaitDialog::closeEvent(QCloseEvent* event) {
  if (runner_.isBusy()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace tirasse
