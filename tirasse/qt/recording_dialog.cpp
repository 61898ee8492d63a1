#include "tirasse/qt/recording_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "tirasse/flow/main_flow.h"
#include "tirasse/qt/qt_text.h"
#include "tirasse/qt/save_file_dialog.h"

namespace tirasse {

RecordingDialog::RecordingDialog(int inputDevice, QString& midDir,
                                 std::function<void(const QString&)> showMessage, QWidget* parent)
    : QDialog(parent),
      midDir_(midDir),
      session_(inputDevice, &openSystemInput,
               [showMessage](const std::string& message) { showMessage(qtext(message)); }),
      events_(new QLabel(QStringLiteral("0"), this)),
      elapsed_(new QLabel(QStringLiteral("0:00"), this)),
      timer_(new QTimer(this)) {
  setWindowTitle(QLatin1String(kRecordingTitle));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Events:"), events_);
  form->addRow(QStringLiteral("Time:"), elapsed_);
  layout->addLayout(form);
  auto* buttons = new QHBoxLayout;
  auto* save = new QPushButton(QStringLiteral("Save"), this);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  buttons->addWidget(save);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(save, &QPushButton::clicked, this, &RecordingDialog::save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(timer_, &QTimer::timeout, this, &RecordingDialog::refresh);
  if (session_.isReady()) timer_->start(250);
}

void RecordingDialog::refresh() {
  events_->setText(qtext(session_.eventsText()));
  elapsed_->setText(qtext(session_.timeText()));
}

void RecordingDialog::save() {
  session_.finish();
  timer_->stop();
  refresh();
  const QString file = askSaveFileName(this, QLatin1String(kSaveMidiFileTitle), midDir_,
                                       QLatin1String(kMidiFilter), QStringLiteral("mid"));
  if (file.isEmpty()) return;  // the take stays here; Save can be pressed again
  std::string folder = utf8(midDir_);
  if (!session_.saveTo(utf8(file), folder)) return;
  midDir_ = qtext(folder);
  accept();
}

}  // namespace tirasse
