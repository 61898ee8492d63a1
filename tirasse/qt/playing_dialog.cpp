#include "tirasse/qt/playing_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "tirasse/flow/playing_session.h"
#include "tirasse/midi/system_midi_ports.h"
#include "tirasse/qt/qt_text.h"

namespace tirasse {

PlayingDialog::PlayingDialog(const QString& file, int outputDevice,
                             std::function<void(const QString&)> showMessage, QWidget* parent)
    : QDialog(parent),
      showMessage_(std::move(showMessage)),
      position_(new QLabel(QStringLiteral("0:00"), this)),
      length_(new QLabel(this)),
      speedBox_(new QLineEdit(QStringLiteral("100"), this)),
      pause_(new QPushButton(QStringLiteral("Pause"), this)),
      timer_(new QTimer(this)) {
  setWindowTitle(QLatin1String(kPlayingTitle));
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
  connect(stop, &QPushButton::clicked, this, [this] { act(&PlayingSession::stop); });
  connect(pause_, &QPushButton::clicked, this, [this] { act(&PlayingSession::togglePause); });
  connect(faster, &QPushButton::clicked, this, [this] { act(&PlayingSession::faster, true); });
  connect(slower, &QPushButton::clicked, this, [this] { act(&PlayingSession::slower, true); });
  connect(normal, &QPushButton::clicked, this, [this] { act(&PlayingSession::normal, true); });
  connect(speedBox_, &QLineEdit::editingFinished, this, [this] {
    const std::string text = utf8(speedBox_->text());
    act([&text](PlayingSession& session) { session.speedEdited(text); }, true);
  });
  connect(finished, &QPushButton::clicked, this, &QDialog::accept);
  connect(timer_, &QTimer::timeout, this, [this] { act(&PlayingSession::poll); });

  session_ = std::make_unique<PlayingSession>(
      utf8(file), outputDevice, &openSystemOutput,
      [this](const std::string& text) { showMessage_(qtext(text)); });
  length_->setText(qtext(session_->lengthText()));
  if (session_->isReady()) timer_->start(1000);
}

PlayingDialog::~PlayingDialog() = default;

bool PlayingDialog::isReady() const { return session_->isReady(); }

void PlayingDialog::act(const std::function<void(PlayingSession&)>& action, bool speed) {
  action(*session_);
  if (!session_->isPolling()) timer_->stop();
  position_->setText(qtext(session_->positionText()));
  // Only a speed change rewrites the box: the poll must not overwrite what is being typed.
  if (speed) speedBox_->setText(qtext(session_->speedText()));
  pause_->setText(qtext(session_->pauseCaption()));
}

void PlayingDialog::done(int result) {
  timer_->stop();
  QDialog::done(result);
}

}  // namespace tirasse
