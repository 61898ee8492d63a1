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

#include "tirasse/midi/midi_player.h"
#include "tirasse/midi/system_midi_ports.h"
#include "tirasse/qt/playing_dialog.h"
#include "tirasse/qt/save_file_dialog.h"

namespace tirasse {

namespace {

constexpr std::uint8_t kMidiStart = 0xFA;
constexpr std::uint8_t kMidiContinue = 0xFB;
constexpr std::uint8_t kMidiStop = 0xFC;

// Sends to whichever output is open now; the player keeps one sink for its whole life.
class ForwardingSink : public MidiSink {
 public:
  explicit ForwardingSink(std::unique_ptr<MidiSink>& target) : target_(target) {}
  void send(const Bytes& message) override {
    if (target_) target_->send(message);
  }

 private:
  std::unique_ptr<MidiSink>& target_;
};

}  // namespace

SequencerWindow::SequencerWindow(int inputDevice, int outputDevice, QString midDir,
                                 std::function<void(const QString&)> showMessage, QWidget* parent)
    : QWidget(parent, Qt::Window),
      inputDevice_(inputDevice),
      outputDevice_(outputDevice),
      midDir_(std::move(midDir)),
      showMessage_(std::move(showMessage)),
      events_(new QLabel(QStringLiteral("0"), this)),
      time_(new QLabel(QStringLiteral("0:00"), this)),
      state_label_(new QLabel(this)),
      allowControl_(new QCheckBox(QStringLiteral("Allow MIDI messages to control sequencer"), this)),
      timer_(new QTimer(this)) {
  setWindowTitle(QStringLiteral("Sequencer"));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const std::pair<const char*, void (SequencerWindow::*)()> buttons[] = {
      {"Open", &SequencerWindow::open}, {"Close", &SequencerWindow::closeFile},
      {"Save", &SequencerWindow::save}, {"Stop", &SequencerWindow::stop},
      {"Play", &SequencerWindow::play}, {"Record", &SequencerWindow::record}};
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
    if (!allowed || input_) return;
    try {
      input_ = openSystemInput(inputDevice_, [this](const Bytes& m) { onIncoming(m); });
    } catch (const std::exception&) {
      showMessage_(QStringLiteral("Oops, the MIDI device is already open"));
      allowControl_->setChecked(false);
    }
  });
  connect(timer_, &QTimer::timeout, this, &SequencerWindow::refresh);
  timer_->start(250);
  setState(State::Idle);
}

SequencerWindow::~SequencerWindow() {
  input_.reset();
  player_.reset();
}

QString SequencerWindow::stateText() const { return state_label_->text(); }

void SequencerWindow::setState(State state) {
  state_ = state;
  static const char* const names[] = {"Idle", "Ready", "Playing", "Paused", "Recording"};
  state_label_->setText(QLatin1String(names[static_cast<int>(state)]));
}

bool SequencerWindow::ensureOutput() {
  if (output_) return true;
  try {
    output_ = openSystemOutput(outputDevice_);
    return true;
  } catch (const std::exception& error) {
    showMessage_(QString::fromStdString(error.what()));
    return false;
  }
}

bool SequencerWindow::openFile(const QString& path) {
  MidiFile file;
  try {
    file = readMidiFile(path.toStdString());
  } catch (const MidiFileError&) {
    showMessage_(QStringLiteral("File ") + path + QStringLiteral(" does not appear to be a valid MIDI file"));
    return false;
  }
  if (file.format != 0) {
    showMessage_(QStringLiteral("Sorry, only type 0 MIDI files are allowed. This file is type ") +
                 QString::number(file.format));
    return false;
  }
  if (file.isSmpte()) showMessage_(QStringLiteral("Warning: SMPTE time code is an untested feature"));
  stop();
  file_ = std::move(file);
  hasRecording_ = false;
  std::size_t count = 0;
  for (const MidiEvent& e : file_.tracks[0].events) count += e.isMeta() ? 0 : 1;
  events_->setText(QString::number(count));
  player_.reset();
  setState(State::Ready);
  return true;
}

void SequencerWindow::open() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open MIDI File"), midDir_,
                                                    QStringLiteral("MIDI Files (*.mid)"));
  if (path.isEmpty()) return;
  midDir_ = QFileInfo(path).absolutePath();
  openFile(path);
}

void SequencerWindow::closeFile() {
  stop();
  player_.reset();
  file_ = {};
  hasRecording_ = false;
  events_->setText(QStringLiteral("0"));
  time_->setText(QStringLiteral("0:00"));
  setState(State::Idle);
}

void SequencerWindow::save() {
  if (!hasRecording_) {
    showMessage_(QStringLiteral("So sorry, but you can only save what's recorded"));
    return;
  }
  const QString path = askSaveFileName(this, QStringLiteral("Save MIDI File"), midDir_,
                                       QStringLiteral("MIDI Files (*.mid)"), QStringLiteral("mid"));
  if (path.isEmpty()) return;
  midDir_ = QFileInfo(path).absolutePath();
  try {
    writeMidiFileType0(path.toStdString(), file_);
  } catch (const MidiFileError& error) {
    showMessage_(path + QStringLiteral(" was not saved: ") + QString::fromStdString(error.what()));
  }
}

void SequencerWindow::stop() {
  if (state_ == State::Recording) {
    recorder_.stop();
    if (!allowControl_->isChecked()) input_.reset();
    file_ = recorder_.toMidiFile();
    hasRecording_ = true;
    player_.reset();
    setState(State::Ready);
  } else if (state_ == State::Playing || state_ == State::Paused) {
    player_->seekToStart();
    setState(State::Ready);
  }
}

void SequencerWindow::play() {
  if (state_ == State::Idle || state_ == State::Recording) return;
  if (state_ == State::Playing) {  // Play while playing pauses; pressed again it goes on
    player_->pause();
    setState(State::Paused);
    return;
  }
  if (!ensureOutput()) return;
  if (!player_) {
    auto sink = std::make_unique<ForwardingSink>(output_);
    player_ = std::make_unique<MidiPlayer>(*sink);
    playerSink_ = std::move(sink);
    player_->load(buildTimeline(file_));
  }
  player_->play();
  setState(State::Playing);
}

void SequencerWindow::record() {
  if (state_ == State::Playing || state_ == State::Paused) stop();
  if (!input_) {
    try {
      input_ = openSystemInput(inputDevice_, [this](const Bytes& m) { onIncoming(m); });
    } catch (const std::exception&) {
      showMessage_(QStringLiteral("Oops, the MIDI device is already open"));
      return;
    }
  }
  recorder_.start();
  setState(State::Recording);
}

void SequencerWindow::onIncoming(const Bytes& message) {
  // Driver thread: record at once, hand control messages to the window's thread.
  recorder_.add(message);
  if (message.size() != 1 || !allowControl_->isChecked()) return;
  const std::uint8_t status = message[0];
  if (status != kMidiStart && status != kMidiContinue && status != kMidiStop) return;
  QMetaObject::invokeMethod(this, [this, status] {
    if (status == kMidiStop) {
      stop();
    } else if (state_ != State::Playing) {
      if (status == kMidiStart && player_) player_->seekToStart();
      play();
    }
  });
}

void SequencerWindow::refresh() {
  if (state_ == State::Recording) {
    events_->setText(QString::number(recorder_.eventCount()));
    time_->setText(minutesAndSeconds(static_cast<long long>(recorder_.elapsedSeconds() * 1000)));
  } else if (player_) {
    time_->setText(minutesAndSeconds(static_cast<long long>(player_->positionMicroseconds() / 1000)));
    if (state_ == State::Playing && player_->mode() == PlayerMode::Stopped) {
      player_->seekToStart();
      setState(State::Ready);
    }
  }
}

}  // namespace tirasse
