#include "tirasse/qt/playing_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "tirasse/core/time_text.h"
#include "tirasse/midi/sequencer_commands.h"
#include "tirasse/midi/system_midi_ports.h"
#include "tirasse/qt/qt_text.h"

namespace tirasse {

PlayingDialog::PlayingDialog(const QString& file, int outputDevice,
                             std::function<void(const QString&)> showMessage, QWidget* parent)
    : QDialog(parent),
      showMessage_(std::move(showMessage)),
      commands_(std::make_unique<SequencerCommands>(&openSystemOutput)),
      position_(new QLabel(QStringLiteral("0:00"), this)),
      length_(new QLabel(this)),
      speedBox_(new QLineEdit(QStringLiteral("100"), this)),
      pause_(new QPushButton(QStringLiteral("Pause"), this)),
      timer_(new QTimer(this)) {
  setWindowTitle(QStringLiteral("Playing"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("File:"), new QLabel(file, this));
  form->addRow(QStringLiteral("Position:"), position_);
  form->addRow(QStringLiteral("Length:"), length_);
  form->addRow(QStringLiteral("Speed (%):"), speedBox_);
  layout->addLayout(form);
  auto* buttons = new QHBoxLayout;
  auto* stop = new QPushButton(QStringLiteral("Stop"), this);
  auto* faster = new QPushButton(QStringLiteral("Faster"), this);
  auto* slower = new QPushButton(QStringLiteral("Slower"), this);
  auto* normal = new QPushButton(QStringLiteral("Normal"), this);
  auto* finished = new QPushButton(QStringLiteral("Finished"), this);
  for (QPushButton* b : {stop, pause_, faster, slower, normal, finished}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  connect(stop, &QPushButton::clicked, this, [this] {
    send(QStringLiteral("stop midio")) && send(QStringLiteral("seek midio to start"));
  });
  connect(pause_, &QPushButton::clicked, this, [this] {
    if (send(paused_ ? QStringLiteral("play midio") : QStringLiteral("pause midio"))) {
      paused_ = !paused_;
      pause_->setText(paused_ ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    }
  });
  connect(faster, &QPushButton::clicked, this, [this] { setSpeed(speed_ * 1.25); });
  connect(slower, &QPushButton::clicked, this, [this] { setSpeed(speed_ * 0.8); });
  connect(normal, &QPushButton::clicked, this, [this] { setSpeed(100); });
  connect(speedBox_, &QLineEdit::editingFinished, this, [this] {
    bool ok = false;
    const double percent = speedBox_->text().toDouble(&ok);
    setSpeed(ok && percent > 0 ? percent : speed_);
  });
  connect(finished, &QPushButton::clicked, this, &QDialog::accept);
  connect(timer_, &QTimer::timeout, this, &PlayingDialog::poll);

  const QString open =
      QStringLiteral("open \"%1\" type sequencer alias midio").arg(file);
  if (!send(open)) return;
  opened_ = true;
  QString divisionType, length, tempo;
  if (!send(QStringLiteral("set midio port %1").arg(outputDevice)) ||
      !send(QStringLiteral("status midio division type"), &divisionType) ||
      !send(QStringLiteral("status midio length"), &length) ||
      !send(QStringLiteral("status midio tempo"), &tempo)) {
    return;
  }
  tempo_ = tempo.toDouble();
  length_->setText(divisionType == QLatin1String("PPQN") ? qtext(minutesAndSeconds(length.toLongLong()))
                                                         : length);
  if (!send(QStringLiteral("play midio"))) return;
  ready_ = true;
  timer_->start(1000);
}

PlayingDialog::~PlayingDialog() {
  if (opened_) {
    try {
      commands_->send("close midio");
    } catch (const CommandError&) {
    }
  }
}

bool PlayingDialog::send(const QString& command, QString* result) {
  try {
    const std::string answer = commands_->send(command.toStdString());
    if (result) *result = QString::fromStdString(answer);
    return true;
  } catch (const CommandError& error) {
    timer_->stop();
    showMessage_(QString::fromStdString(commandFailedMessage(command.toStdString(), error.what())));
    return false;
  }
}

void PlayingDialog::poll() {
  QString position, mode;
  if (!send(QStringLiteral("status midio position"), &position) ||
      !send(QStringLiteral("status midio mode"), &mode)) {
    return;
  }
  position_->setText(qtext(minutesAndSeconds(position.toLongLong())));
  if (mode == QLatin1String("stopped") && !paused_) send(QStringLiteral("seek midio to start"));
}

void PlayingDialog::setSpeed(double percent) {
  speed_ = std::clamp(percent, 5.0, 1000.0);
  speedBox_->setText(QString::number(std::lround(speed_)));
  const long tempo = static_cast<long>(tempo_ * speed_ / 100);
  send(QStringLiteral("set midio tempo %1").arg(std::max(1L, tempo)));
}

void PlayingDialog::done(int result) {
  timer_->stop();
  QDialog::done(result);
}

}  // namespace tirasse
