#include "tirasse/qt/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "tirasse/core/dialog_folders.h"
#include "tirasse/core/memory_range.h"
#include "tirasse/core/utf8_path.h"
#include "tirasse/qt/copy_registration_dialog.h"
#include "tirasse/qt/device_dialog.h"
#include "tirasse/qt/playing_dialog.h"
#include "tirasse/qt/plenum_runner.h"
#include "tirasse/qt/qt_text.h"
#include "tirasse/qt/recording_dialog.h"
#include "tirasse/qt/sequencer_window.h"
#include "tirasse/qt/wait_dialog.h"

namespace tirasse {

namespace {

const char* const kDebugCaptions[9] = {
    "Progress",          "Sysex info",   "Size logic",
    "Hex program",       "Config regurgitate", "Disassemble program",
    "Sysex in hex",      "Show pgm/verify in chars", "Parser Details"};

const QString kConfigFilter =
    QStringLiteral("All Files (*.*);;Norvo Configuration Files (*.ncf)");
const QString kRegistrationFilter = QStringLiteral("All Files (*.*);;Registration Files (*.reg)");

}  // namespace

MainWindow::MainWindow(StartupEnvironment environment, QWidget* parent)
    : QWidget(parent), environment_(std::move(environment)) {
  showMessage = [this](const QString& text) {
    QMessageBox::information(this, windowTitle(), text);
  };
  setWindowTitle(QStringLiteral("Norvo Configuration"));
  runner_ = new PlenumRunner(environment_.programDir, this);
  wait_ = new WaitDialog(*runner_, this);

  txtMidiIn_ = new QLineEdit(this);
  txtMidiOut_ = new QLineEdit(this);
  txtConfigFile_ = new QLineEdit(this);
  for (QLineEdit* box : {txtMidiIn_, txtMidiOut_, txtConfigFile_}) box->setReadOnly(true);
  txtModule_ = new QLineEdit(QStringLiteral("0"), this);
  chkModuleOnly_ = new QCheckBox(QStringLiteral("Start at selected module"), this);
  txtOtherOptions_ = new QLineEdit(this);
  chkBat_ = new QCheckBox(QStringLiteral("Keep command window open"), this);
  chkSkipUnchanged_ = new QCheckBox(QStringLiteral("Skip unchanged relay code"), this);
  for (int i = 0; i < 9; ++i) {
    chkDebug_[i] = new QCheckBox(QLatin1String(kDebugCaptions[i]), this);
    chkDebug_[i]->setObjectName(QStringLiteral("chkDebug%1").arg(i));
  }
  lblCommand_ = new QLabel(this);
  lblCommand_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblCommand_->setWordWrap(true);
  chkDispData_ = new QCheckBox(QStringLiteral("Display data comparison"), this);
  txtDiagCount_ = new QLineEdit(QStringLiteral("1"), this);
  chkRegOnly_ = new QCheckBox(QStringLiteral("Only Save/Load"), this);
  txtRegMem_ = new QLineEdit(QStringLiteral("0"), this);
  txtRegThrough_ = new QLineEdit(QStringLiteral("127"), this);
  label10_ = new QLabel(QStringLiteral("Tirasse Version ?"), this);
  lastOutput_ = new QPlainTextEdit(this);
  lastOutput_->setReadOnly(true);
  lastOutput_->setFont(QFont(QStringLiteral("Monospace")));
  lastOutput_->setPlaceholderText(QStringLiteral("The output of the last plenum command shows here."));
  const std::pair<QWidget*, const char*> names[] = {
      {txtMidiIn_, "txtMidiIn"},         {txtMidiOut_, "txtMidiOut"},
      {txtConfigFile_, "txtConfigFile"}, {txtModule_, "txtModule"},
      {chkModuleOnly_, "chkModuleOnly"}, {txtOtherOptions_, "txtOtherOptions"},
      {chkBat_, "chkBat"},               {lblCommand_, "lblCommand"},
      {chkSkipUnchanged_, "chkSkipUnchanged"},
      {chkDispData_, "chkDispData"},     {txtDiagCount_, "txtDiagCount"},
      {chkRegOnly_, "chkRegOnly"},       {txtRegMem_, "txtRegMem"},
      {txtRegThrough_, "txtRegThrough"}, {label10_, "Label10"},
      {lastOutput_, "lastOutput"}};
  for (const auto& [widget, name] : names) widget->setObjectName(QLatin1String(name));

  auto* tabs = new QTabWidget(this);
  tabs->addTab(buildDownloadPage(), QStringLiteral("Download"));
  tabs->addTab(buildAdvancedPage(), QStringLiteral("Advanced"));
  tabs->addTab(buildDiagnosticPage(), QStringLiteral("Diagnostic"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addWidget(lblCommand_);
  layout->addWidget(lastOutput_, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(label10_);
  bottom->addStretch();
  bottom->addWidget(addButton(QStringLiteral("cmdExit"), QStringLiteral("E&xit")));
  layout->addLayout(bottom);
  connectCommands();

  // The range boxes count only while the range is asked for.
  txtRegMem_->setEnabled(false);
  txtRegThrough_->setEnabled(false);
  connect(chkRegOnly_, &QCheckBox::toggled, txtRegMem_, &QWidget::setEnabled);
  connect(chkRegOnly_, &QCheckBox::toggled, txtRegThrough_, &QWidget::setEnabled);
  const auto showRange = [this](const MemoryRange& range) {
    txtRegMem_->setText(QString::number(range.from));
    txtRegThrough_->setText(QString::number(range.through));
  };
  connect(txtRegMem_, &QLineEdit::editingFinished, this, [this, showRange] {
    showRange(afterFromEdited(utf8(txtRegMem_->text()), utf8(txtRegThrough_->text())));
  });
  connect(txtRegThrough_, &QLineEdit::editingFinished, this, [this, showRange] {
    showRange(afterThroughEdited(utf8(txtRegMem_->text()), utf8(txtRegThrough_->text())));
  });

  connect(runner_, &PlenumRunner::output, lastOutput_, [this](const QString& text) {
    lastOutput_->moveCursor(QTextCursor::End);
    lastOutput_->insertPlainText(text);
  });
  connect(runner_, &PlenumRunner::finished, lastOutput_, [this](const RunOutcome& outcome) {
    const QString ending = qtext(outcomeAfter(utf8(lastOutput_->toPlainText()), outcome));
    lastOutput_->moveCursor(QTextCursor::End);
    lastOutput_->insertPlainText(ending);
  });
  connect(runner_, &PlenumRunner::startFailed, this, [this] {
    wait_->accept();
    showMessage(QLatin1String(kStartFailedMessage));
  });
}

MainWindow::~MainWindow() = default;

QPushButton* MainWindow::addButton(const QString& objectName, const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(objectName);
  return button;
}

QPushButton* MainWindow::button(const QString& objectName) const {
  return findChild<QPushButton*>(objectName);
}

QWidget* MainWindow::buildDownloadPage() {
  auto* page = new QWidget(this);
  auto* grid = new QGridLayout(page);
  const std::tuple<const char*, QLineEdit*, const char*> rows[] = {
      {"MIDI Input Device:", txtMidiIn_, "cmdMidiIn"},
      {"MIDI Output Device:", txtMidiOut_, "cmdMidiOut"},
      {"Configuration File:", txtConfigFile_, "cmdConfigFile"}};
  int row = 0;
  for (const auto& [caption, box, buttonName] : rows) {
    grid->addWidget(new QLabel(QLatin1String(caption), page), row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(addButton(QLatin1String(buttonName), QStringLiteral("Change")), row, 2);
    ++row;
  }
  auto* commands = new QHBoxLayout;
  commands->addWidget(addButton(QStringLiteral("cmdDownload"), QStringLiteral("&Download")));
  commands->addWidget(addButton(QStringLiteral("cmdVersion"), QStringLiteral("&Version")));
  commands->addWidget(addButton(QStringLiteral("cmdReset"), QStringLiteral("&Reset")));
  commands->addWidget(addButton(QStringLiteral("cmdMonitor"), QStringLiteral("&Monitor")));
  grid->addLayout(commands, row++, 0, 1, 3);
  grid->addWidget(chkSkipUnchanged_, row++, 0, 1, 3);
  connect(chkSkipUnchanged_, &QCheckBox::toggled, this,
          [this](bool ticked) { settings_.skipUnchangedRelayCode = ticked; });
  auto* midiFiles = new QGroupBox(QStringLiteral("MIDI files"), page);
  auto* files = new QHBoxLayout(midiFiles);
  seqPlay_ = addButton(QStringLiteral("SeqPlay"), QStringLiteral("Play"));
  files->addWidget(seqPlay_);
  files->addWidget(addButton(QStringLiteral("SeqRec"), QStringLiteral("Record")));
  files->addWidget(addButton(QStringLiteral("cmdSequencer"), QStringLiteral("Sequencer")));
  grid->addWidget(midiFiles, row++, 0, 1, 3);
  grid->setRowStretch(row, 1);
  return page;
}

QWidget* MainWindow::buildAdvancedPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  auto* executive = new QHBoxLayout;
  executive->addWidget(addButton(QStringLiteral("cmdProgram"), QStringLiteral("&Program Executive")));
  executive->addWidget(addButton(QStringLiteral("cmdVerify"), QStringLiteral("&Verify Executive")));
  layout->addLayout(executive);
  auto* module = new QHBoxLayout;
  module->addWidget(new QLabel(QStringLiteral("Module:"), page));
  txtModule_->setMaximumWidth(60);
  module->addWidget(txtModule_);
  module->addWidget(chkModuleOnly_);
  module->addWidget(addButton(QStringLiteral("cmdHalt"), QStringLiteral("Halt")));
  module->addWidget(addButton(QStringLiteral("cmdRun"), QStringLiteral("Run")));
  module->addStretch();
  layout->addLayout(module);
  auto* other = new QFormLayout;
  other->addRow(QStringLiteral("Other Options"), txtOtherOptions_);
  layout->addLayout(other);
  layout->addWidget(chkBat_);
  auto* debug = new QGroupBox(QStringLiteral("Debug display"), page);
  auto* debugGrid = new QGridLayout(debug);
  for (int i = 0; i < 9; ++i) debugGrid->addWidget(chkDebug_[i], i % 5, i / 5);
  layout->addWidget(debug);
  layout->addStretch();
  return page;
}

QWidget* MainWindow::buildDiagnosticPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  auto* diagnostic = new QHBoxLayout;
  diagnostic->addWidget(chkDispData_);
  diagnostic->addWidget(new QLabel(QStringLiteral("Repeat count:"), page));
  txtDiagCount_->setMaximumWidth(60);
  diagnostic->addWidget(txtDiagCount_);
  diagnostic->addWidget(addButton(QStringLiteral("cmdDataDiag"), QStringLiteral("Run Data Diagnostic")));
  diagnostic->addStretch();
  layout->addLayout(diagnostic);
  auto* registration = new QGroupBox(QStringLiteral("Registration"), page);
  auto* grid = new QGridLayout(registration);
  grid->addWidget(chkRegOnly_, 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Memories from"), page), 0, 1);
  grid->addWidget(txtRegMem_, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("through"), page), 0, 3);
  grid->addWidget(txtRegThrough_, 0, 4);
  grid->addWidget(addButton(QStringLiteral("cmdSaveReg"), QStringLiteral("Save Registration to File")), 1, 0, 1, 2);
  grid->addWidget(addButton(QStringLiteral("cmdLoadReg"), QStringLiteral("Load Registration from File")), 1, 2, 1, 2);
  grid->addWidget(addButton(QStringLiteral("cmdCopyReg"), QStringLiteral("Copy Registration")), 1, 4);
  layout->addWidget(registration);
  layout->addStretch();
  return page;
}

CommandBuilder MainWindow::commandBuilder() const {
  CommandOptions options;
  options.midiInDev = settings_.midiInDev;
  options.midiOutDev = settings_.midiOutDev;
  options.keepWindowOpen = chkBat_->isChecked();
  options.startAtModule = chkModuleOnly_->isChecked();
  options.moduleText = utf8(txtModule_->text());
  options.otherOptions = utf8(txtOtherOptions_->text());
  options.skipUnchangedRelayCode = chkSkipUnchanged_->isChecked();
  for (int i = 0; i < 9; ++i) {
    if (chkDebug_[i]->isChecked()) options.debugBoxes |= 1u << i;
  }
  return CommandBuilder(options);
}

void MainWindow::connectCommands() {
  const auto on = [this](const char* name, auto action) {
    connect(button(QLatin1String(name)), &QPushButton::clicked, this, action);
  };
  on("cmdDownload", [this] {
    if (settings_.configFile.empty()) {
      showMessage(QStringLiteral("Please choose a configuration file first."));
      return;
    }
    if (moduleBoxAccepted()) sendPlenumCmd(commandBuilder().download(settings_.configFile));
  });
  on("cmdVersion", [this] { sendPlenumCmd(commandBuilder().version()); });
  on("cmdReset", [this] { sendPlenumCmd(commandBuilder().reset()); });
  on("cmdMonitor", [this] { sendPlenumCmd(commandBuilder().monitor()); });
  on("cmdHalt", [this] { if (moduleBoxAccepted()) sendPlenumCmd(commandBuilder().halt()); });
  on("cmdRun", [this] { if (moduleBoxAccepted()) sendPlenumCmd(commandBuilder().run()); });
  on("cmdProgram", [this] {
    if (moduleBoxAccepted()) sendPlenumCmd(commandBuilder().programExecutive());
  });
  on("cmdVerify", [this] {
    if (moduleBoxAccepted()) sendPlenumCmd(commandBuilder().verifyExecutive());
  });
  on("cmdDataDiag", [this] {
    sendPlenumCmd(
        commandBuilder().dataDiagnostic(chkDispData_->isChecked(), utf8(txtDiagCount_->text())));
  });
  on("cmdSaveReg", [this] {
    const QString file = chooseRegistrationFile(true);
    MemoryRange range;
    if (!file.isEmpty()) sendPlenumCmd(commandBuilder().saveRegistration(registrationRange(range), utf8(file)));
  });
  on("cmdLoadReg", [this] {
    const QString file = chooseRegistrationFile(false);
    MemoryRange range;
    if (!file.isEmpty()) sendPlenumCmd(commandBuilder().loadRegistration(registrationRange(range), utf8(file)));
  });
  on("cmdCopyReg", [this] { copyRegistration(); });
  on("cmdMidiIn", [this] {
    chooseDevice(true, true);
    showDevices();
  });
  on("cmdMidiOut", [this] {
    chooseDevice(false, true);
    showDevices();
  });
  on("cmdConfigFile", [this] { chooseConfigFile(); });
  on("cmdExit", [this] { exitAndSave(); });
  on("SeqPlay", [this] { playMidiFile(); });
  on("SeqRec", [this] { recordMidiFile(); });
  on("cmdSequencer", [this] { openSequencer(); });
}

bool MainWindow::moduleBoxAccepted() {
  if (commandBuilder().moduleBoxAccepted()) return true;
  showMessage(QStringLiteral("The module box must hold a module number while \"Start at selected "
                             "module\" is ticked."));
  return false;
}

const MemoryRange* MainWindow::registrationRange(MemoryRange& storage) {
  if (!chkRegOnly_->isChecked()) return nullptr;
  // A box edited and not yet left still counts, limited as leaving it would.
  storage = afterFromEdited(utf8(txtRegMem_->text()), utf8(txtRegThrough_->text()));
  txtRegMem_->setText(QString::number(storage.from));
  txtRegThrough_->setText(QString::number(storage.through));
  return &storage;
}

void MainWindow::sendPlenumCmd(const PlenumCommand& command) {
  if (runner_->isBusy()) {
    showMessage(QStringLiteral("Please exit the previous command before starting another"));
    return;
  }
  lblCommand_->setText(qtext(command.line));
  lastOutput_->clear();
  wait_->clearOutput();
  runner_->start(command);
  if (runner_->isBusy()) wait_->open();
}

QString MainWindow::settingsFilePath() const {
  return QDir(settingsFolder_).filePath(QLatin1String(kSettingsFileName));
}

std::filesystem::path MainWindow::settingsFile() const {
  return pathFromUtf8(utf8(settingsFilePath()));
}

bool MainWindow::start() {
  settings_.settingsDir = utf8(environment_.settingsDir);
  QDir().mkpath(environment_.settingsDir);  // first run: the folder does not exist yet
  settings_.midDir = utf8(environment_.documentsDir);
  settings_.configDir = utf8(environment_.programDir);
  settingsFolder_ = environment_.settingsDir;
  readSettingsFile(settingsFile(), settings_);
  chkSkipUnchanged_->setChecked(settings_.skipUnchangedRelayCode);
  readVersion();
  if (!chooseDevices()) return false;
  if (!settings_.configFile.empty()) {
    txtConfigFile_->setText(qtext(settings_.configFile));
  } else if (environment_.askForConfigFile) {
    chooseConfigFile();
  }
  return true;
}

void MainWindow::readVersion() {
  QFile file(QDir(environment_.programDir).filePath(QStringLiteral("version.txt")));
  if (!file.open(QIODevice::ReadOnly)) return;
  const QString first = QString::fromUtf8(file.readLine(4096)).trimmed();
  if (!first.isEmpty()) label10_->setText(first);
}

bool MainWindow::chooseDevices() {
  if (!chooseDevice(true, false) || !chooseDevice(false, false)) return false;
  showDevices();
  return true;
}

bool MainWindow::chooseDevice(bool input, bool forget) {
  const std::vector<std::string> list =
      input ? environment_.devices->inputNames() : environment_.devices->outputNames();
  int& number = input ? settings_.midiInDev : settings_.midiOutDev;
  std::string& name = input ? settings_.midiInName : settings_.midiOutName;
  const plenum::RememberedDevice previous{number, name};
  const plenum::RememberedChoice choice =
      plenum::chooseRememberedDevice(list, forget ? plenum::RememberedDevice{} : previous);
  if (choice.outcome == plenum::DeviceOutcome::NoDevices) {
    showMessage(input ? QStringLiteral("No MIDI input devices found.  Do you need to install a "
                                       "device driver for your sound card?")
                      : QStringLiteral("No MIDI output devices found.  Do you need to install a "
                                       "device driver for your sound card?"));
    return false;
  }
  plenum::RememberedDevice device = choice.device;
  if (choice.outcome == plenum::DeviceOutcome::AskUser) {
    DeviceDialog dialog(input ? QStringLiteral("Select MIDI Input Device")
                              : QStringLiteral("Select MIDI Output Device"),
                        qtextList(list), this);
    if (dialog.exec() == QDialog::Accepted && dialog.selectedDevice() >= 0) {
      device = {dialog.selectedDevice(), list[dialog.selectedDevice()]};
    } else if (plenum::chooseRememberedDevice(list, previous).outcome ==
               plenum::DeviceOutcome::Chosen) {
      device = previous;  // Cancel keeps the choice made before, while it still holds
    }
  }
  number = device.number;
  name = device.name;
  return true;
}

void MainWindow::showDevices() {
  txtMidiIn_->setText(qtext(settings_.midiInName));
  txtMidiOut_->setText(qtext(settings_.midiOutName));
}

QString MainWindow::startFolder(const std::string& lastUsed) const {
  return qtext(dialogStartFolder(lastUsed, utf8(environment_.documentsDir),
                                 utf8(environment_.programDir), utf8(QDir::homePath())));
}

void MainWindow::chooseConfigFile() {
  QFileDialog dialog(this, QStringLiteral("Configuration File"), startFolder(settings_.configDir));
  dialog.setNameFilter(kConfigFilter);
  dialog.setNameFilters(kConfigFilter.split(QStringLiteral(";;")));
  dialog.selectNameFilter(QStringLiteral("Norvo Configuration Files (*.ncf)"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString file = QDir::toNativeSeparators(dialog.selectedFiles().first());
  settings_.configFile = utf8(file);
  settings_.configDir = utf8(QFileInfo(file).absolutePath());
  txtConfigFile_->setText(file);
}

QString MainWindow::chooseRegistrationFile(bool forSaving) {
  QFileDialog dialog(this, QStringLiteral("Registration File"), startFolder(utf8(regDir_)));
  dialog.setNameFilters(kRegistrationFilter.split(QStringLiteral(";;")));
  dialog.selectNameFilter(QStringLiteral("Registration Files (*.reg)"));
  dialog.selectFile(regFile_);
  dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (forSaving) dialog.setDefaultSuffix(QStringLiteral("reg"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString path = dialog.selectedFiles().first();
  const QFileInfo chosen(forSaving ? qtext(withDefaultExtension(utf8(path), "reg")) : path);
  regDir_ = chosen.absolutePath();
  regFile_ = chosen.fileName();
  return QDir::toNativeSeparators(chosen.absoluteFilePath());
}

void MainWindow::copyRegistration() {
  CopyRegistrationDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  sendPlenumCmd(commandBuilder().copyRegistration(dialog.sourceMemory(), dialog.targets()));
}

void MainWindow::exitAndSave() {
  if (!writeSettingsFile(settingsFile(), settings_)) {
    showMessage(QStringLiteral("The settings could not be saved in %1").arg(settingsFilePath()));
  }
  close();
}

bool MainWindow::refuseSimulatedLoop() {
  if (!environment_.devices->simulatedLoop()) return false;
  showMessage(
      QStringLiteral("The simulated module loop (PLENUM_LOOP) has no MIDI devices: it "
                     "cannot play or record MIDI files."));
  return true;
}

void MainWindow::playMidiFile() {
  if (refuseSimulatedLoop()) return;
  const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Play MIDI File"),
                                                    startFolder(settings_.midDir),
                                                    QStringLiteral("MIDI Files (*.mid)"));
  if (file.isEmpty()) return;
  settings_.midDir = utf8(QFileInfo(file).absolutePath());
  seqPlay_->setText(QStringLiteral("Playing"));
  PlayingDialog dialog(file, settings_.midiOutDev, showMessage, this);
  if (dialog.isReady()) dialog.exec();
  seqPlay_->setText(QStringLiteral("Play"));
}

void MainWindow::recordMidiFile() {
  if (refuseSimulatedLoop()) return;
  QString folder = startFolder(settings_.midDir);
  RecordingDialog dialog(settings_.midiInDev, folder, showMessage, this);
  if (dialog.isReady()) dialog.exec();
  settings_.midDir = utf8(folder);
}

void MainWindow::openSequencer() {
  if (refuseSimulatedLoop()) return;
  auto* window = new SequencerWindow(settings_.midiInDev, settings_.midiOutDev,
                                     startFolder(settings_.midDir), showMessage, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

}  // namespace tirasse
