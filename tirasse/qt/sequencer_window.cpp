#include "tirasse/qt/sequencer_window.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "tirasse/flow/main_flow.h"
#include "tirasse/flow/sequencer_session.h"
#include "tirasse/qt/qt_text.h"
#include "tirasse/qt/save_file_dialog.h"

namespace tirasse {

SequencerWindow::SequencerWindow(int inputDevice, int outputDevice, QString midDir,
                                 std::function<void(const QString&)> showMessage, QWidget* parent)
    : QWidget(parent, Qt::Window),
      midDir_(std::move(midDir)),
      showMessage_(std::move(showMessage)),
      events_(new QLabel(QStringLiteral("0"), this)),
      time_(new QLabel(QStringLiteral("0:00"), this)),
      state_label_(new QLabel(this)),
      allowControl_(new QCheckBox(QLatin1String(kAllowControlCaption), this)),
      timer_(new QTimer(this)) {
  session_ = std::make_unique<SequencerSession>(
      inputDevice, outputDevice, SequencerPorts{},
      [this](std::function<void()> action) {
        QMetaObject::invokeMethod(this, [this, action = std::move(action)] {
          action();
          refreshLabels();
        });
      },
      [this](const std::string& text) { showMessage_(qtext(text)); });
  setWindowTitle(QLatin1String(kSequencerTitle));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const std::pair<const char*, std::function<void()>> buttons[] = {
      {"Open", [this] { open(); }},
      {"Close", [this] { act(&SequencerSession::closeFile); }},
      {"Save", [this] { save(); }},
      {"Stop", [this] { act(&SequencerSession::stop); }},
      {"Play", [this] { act(&SequencerSession::play); }},
      {"Record", [this] { act(&SequencerSession::record); }}};
  int i = 0;
  for (const auto& [caption, action] : buttons) {
    auto* button = new QPushButton(QLatin1String(caption), this);
    button->setObjectName(QLatin1String(caption));
    connect(button, &QPushButton::clicked, this, action);
    grid->addWidget(button, i / 3, i % 3);
    ++i;
  }
  layout->addLayout(grid);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Events:"), events_);
  form->addRow(QStringLiteral("Time:"), time_);
  form->addRow(QStringLiteral("State:"), state_label_);
  layout->addLayout(form);
  layout->addWidget(allowControl_);
  connect(allowControl_, &QCheckBox::toggled, this, [this](bool allowed) {
    if (!session_->setAllowControl(allowed)) allowControl_->setChecked(false);
  });
  connect(timer_, &QTimer::timeout, this, [this] { act(&SequencerSession::refresh); });
  timer_->start(250);
  refreshLabels();
}

SequencerWindow::~SequencerWindow() = default;

QString SequencerWindow::stateText() const { return state_label_->text(); }

void SequencerWindow::refreshLabels() {
  state_label_->setText(qtext(session_->stateText()));
  events_->setText(qtext(session_->eventsText()));
  time_->setText(qtext(session_->timeText()));
}

void SequencerWindow::act(const std::function<void(SequencerSession&)>& action) {
  action(*session_);
  refreshLabels();
}

bool SequencerWindow::openFile(const QString& path) {
  const bool opened = session_->openFile(utf8(path));
  refreshLabels();
  return opened;
}

void SequencerWindow::open() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open MIDI File"), midDir_,
                                                    QLatin1String(kMidiFilter));
  if (path.isEmpty()) return;
  midDir_ = QFileInfo(path).absolutePath();
  openFile(path);
}

void SequencerWindow::save() {
  if (!session_->maySave()) return;
  const QString path = askSaveFileName(this, QStringLiteral("Save MIDI File"), midDir_,
                                       QLatin1String(kMidiFilter), QStringLiteral("mid"));
  if (path.isEmpty()) return;
  midDir_ = QFileInfo(path).absolutePath();
  session_->saveTo(utf8(path));
}

}  // namespace tirasse
