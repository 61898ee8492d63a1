#include "tirasse/qt/recording_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "tirasse/core/time_text.h"
#include "tirasse/midi/system_midi_ports.h"
#include "tirasse/qt/qt_text.h"
#include "tirasse/qt/save_file_dialog.h"

namespace tirasse {

RecordingDialog::RecordingDialog(int inputDevice, QString& midDir,
                                 std::function<void(const QString&)> showMessage, QWidget* parent)
    : QDialog(parent),
      midDir_(midDir),
      showMessage_(std::move(showMessage)),
      events_(new QLabel(QStringLiteral("0"), this)),
      elapsed_(new QLabel(QStringLiteral("0:00"), this)),
      timer_(new QTimer(this)) {
  setWindowTitle(QStringLiteral("Recording"));
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

  recorder_.start();
  try {
    input_ = openSystemInput(inputDevice, [this](const Bytes& message) { recorder_.add(message); });
  } catch (const std::exception&) {
    recorder_.stop();
    showMessage_(QStringLiteral("Oops, the MIDI device is already open"));
    return;
  }
  timer_->start(250);
}

RecordingDialog::~RecordingDialog() { input_.reset(); }

void RecordingDialog::refresh() {
  events_->setText(QString::number(recorder_.eventCount()));
  elapsed_->setText(
      qtext(minutesAndSeconds(static_cast<long long>(recorder_.elapsedSeconds() * 1000))));
}

void RecordingDialog::save() {
  recorder_.stop();
  input_.reset();
  timer_->stop();
  refresh();
  const QString file = askSaveFileName(this, QStringLiteral("Save MIDI File"), midDir_,
                                       QStringLiteral("MIDI Files (*.mid)"), QStringLiteral("mid"));
  if (file.isEmpty()) return;  // the take stays here; Save can be pressed again
  try {
    writeMidiFileType0(file.toStdString(), recorder_.toMidiFile());
    midDir_ = QFileInfo(file).absolutePath();
    accept();
  } catch (const MidiFileError& error) {
    showMessage_(QStringLiteral("%1 was not saved: %2").arg(file, QString::fromStdString(error.what())));
  }
}

}  // namespace tirasse
