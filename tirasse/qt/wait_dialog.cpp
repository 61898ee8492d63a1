#include "tirasse/qt/wait_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "tirasse/core/waiting_rules.h"
#include "tirasse/qt/plenum_runner.h"
#include "tirasse/qt/qt_text.h"

namespace tirasse {

WaitDialog::WaitDialog(PlenumRunner& runner, QWidget* parent)
    : QDialog(parent), runner_(runner), output_(new QPlainTextEdit(this)) {
  setWindowTitle(QLatin1String(kWaitingTitle));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  state_ = new QLabel(QLatin1String(kWaitingState), this);
  layout->addWidget(state_);
  output_->setReadOnly(true);
  output_->setFont(QFont(QStringLiteral("Monospace")));
  output_->setFocusPolicy(Qt::NoFocus);  // Enter must reach the dialog, not the text
  output_->setMinimumSize(640, 320);
  layout->addWidget(output_);
  auto* buttons = new QHBoxLayout;
  auto* enter = new QPushButton(QLatin1String(kSendEnterCaption), this);
  enter->setAutoDefault(false);
  stop_ = new QPushButton(QLatin1String(kStopCaption), this);
  stop_->setObjectName(QStringLiteral("stopPlenum"));
  stop_->setAutoDefault(false);
  buttons->addWidget(enter);
  buttons->addStretch();
  buttons->addWidget(stop_);
  layout->addLayout(buttons);
  connect(enter, &QPushButton::clicked, &runner_, &PlenumRunner::sendEnter);
  connect(stop_, &QPushButton::clicked, this, [this] {
    if (buttonAction(runner_.isBusy()) == WaitingAction::StopPlenum) {
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
  state_->setText(QLatin1String(kWaitingState));
  stop_->setText(QLatin1String(kStopCaption));
}

void WaitDialog::ended(const RunOutcome& outcome) {
  const RunEnding ending = endingOf(utf8(output_->toPlainText()), outcome);
  append(qtext(ending.appended));
  state_->setText(qtext(ending.state));
  stop_->setText(qtext(ending.button));
  if (ending.closes) accept();
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
    if (enterKeyAction() == WaitingAction::SendEnter) runner_.sendEnter();
    return;
  }
  if (event->key() == Qt::Key_Escape &&
      escapeKeyAction(runner_.isBusy()) == WaitingAction::Nothing) {
    return;
  }
  QDialog::keyPressEvent(event);
}

void WaitDialog::closeEvent(QCloseEvent* event) {
  if (!mayClose(runner_.isBusy())) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace tirasse
