#include "tirasse/qt/main_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "tirasse/core/plenum_run.h"
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

FrontEndFolders foldersOf(const StartupEnvironment& environment) {
  return {utf8(environment.programDir), utf8(environment.settingsDir),
          utf8(environment.documentsDir), utf8(QDir::homePath())};
}

QStringList filtersOf(const char* filters) {
  return QString::fromUtf8(filters).split(QStringLiteral(";;"));
}

}  // namespace

MainWindow::MainWindow(StartupEnvironment environment, QWidget* parent)
    : QWidget(parent),
      environment_(std::move(environment)),
      flow_(foldersOf(environment_), *environment_.devices) {
  showMessage = [this](const QString& text) {
    QMessageBox::information(this, windowTitle(), text);
  };
  flow_.showMessage = [this](const std::string& text) { showMessage(qtext(text)); };
  flow_.askDevice = [this](bool input, const std::vector<std::string>& names) {
    DeviceDialog dialog(input ? QStringLiteral("Select MIDI Input Device")
                              : QStringLiteral("Select MIDI Output Device"),
                        qtextList(names), this);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedDevice() : -1;
  };
  setWindowTitle(QLatin1String(kMainWindowTitle));
  runner_ = new PlenumRunner(environment_.programDir, this);
  wait_ = new WaitDialog(*runner_, this);

  txtMidiIn_ = new QLineEdit(this);
  txtMidiOut_ = new QLineEdit(this);
  txtConfigFile_ = new QLineEdit(this);
  txtFirmwareDir_ = new QLineEdit(this);
  for (QLineEdit* box : {txtMidiIn_, txtMidiOut_, txtConfigFile_, txtFirmwareDir_}) {
    box->setReadOnly(true);
  }
  txtModule_ = new QLineEdit(QStringLiteral("0"), this);
  chkModuleOnly_ = new QCheckBox(QStringLiteral("Start at selected module"), this);
  txtOtherOptions_ = new QLineEdit(this);
  chkBat_ = new QCheckBox(QStringLiteral("Keep command window open"), this);
  chkSkipUnchanged_ = new QCheckBox(QStringLiteral("Skip unchanged relay code"), this);
  chkNameMessages_ = new QCheckBox(QStringLiteral("Monitor names messages from the configuration"), this);
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
  label10_ = new QLabel(QLatin1String(kUnknownVersion), this);
  lastOutput_ = new QPlainTextEdit(this);
  lastOutput_->setReadOnly(true);
  lastOutput_->setFont(QFont(QStringLiteral("Monospace")));
  lastOutput_->setPlaceholderText(QStringLiteral("The output of the last plenum command shows here."));
  const std::pair<QWidget*, const char*> names[] = {
      {txtMidiIn_, "txtMidiIn"},         {txtMidiOut_, "txtMidiOut"},
      {txtConfigFile_, "txtConfigFile"}, {txtModule_, "txtModule"},
      {txtFirmwareDir_, "txtFirmwareDir"},
      {chkModuleOnly_, "chkModuleOnly"}, {txtOtherOptions_, "txtOtherOptions"},
      {chkBat_, "chkBat"},               {lblCommand_, "lblCommand"},
      {chkSkipUnchanged_, "chkSkipUnchanged"}, {chkNameMessages_, "chkNameMessages"},
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
  connect(txtRegMem_, &QLineEdit::editingFinished, this, &MainWindow::showRange);
  connect(txtRegThrough_, &QLineEdit::editingFinished, this, &MainWindow::showRange);

  connect(runner_, &PlenumRunner::output, lastOutput_, [this](const QString& text) {
    lastOutput_->moveCursor(QTextCursor::End);
    lastOutput_->insertPlainText(text);
  });
  connect(runner_, &PlenumRunner::finished, lastOutput_, [this](const RunOutcome& outcome) {
    const QString ending = qtext(outcomeAfter(utf8(lastOutput_->toPlainText()), outcome));
    lastOutput_->moveCursor(QTextCursor::End);
    lastOutput_->insertPlainText(ending);
    const QString chart = pendingChart_;
    pendingChart_.clear();
    if (MainFlow::chartIsReady(utf8(chart), outcome)) openChart(chart);
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
  // plenum runs in this folder and finds the firmware files there.
  grid->addWidget(new QLabel(QStringLiteral("Firmware Folder:"), page), row, 0);
  grid->addWidget(txtFirmwareDir_, row, 1);
  auto* firmware = new QHBoxLayout;
  firmware->addWidget(addButton(QStringLiteral("cmdOpenFirmwareDir"), QStringLiteral("Open")));
  firmware->addWidget(addButton(QStringLiteral("cmdFirmwareDir"), QStringLiteral("Change")));
  grid->addLayout(firmware, row++, 2);
  auto* commands = new QHBoxLayout;
  commands->addWidget(addButton(QStringLiteral("cmdDownload"), QStringLiteral("&Download")));
  commands->addWidget(addButton(QStringLiteral("cmdVersion"), QStringLiteral("&Version")));
  commands->addWidget(addButton(QStringLiteral("cmdReset"), QStringLiteral("&Reset")));
  commands->addWidget(addButton(QStringLiteral("cmdMonitor"), QStringLiteral("&Monitor")));
  grid->addLayout(commands, row++, 0, 1, 3);
  auto* console = new QHBoxLayout;
  console->addWidget(addButton(QStringLiteral("cmdCheckConsole"), QStringLiteral("Check &Console")));
  console->addWidget(addButton(QStringLiteral("cmdWiringChart"), QStringLiteral("Wiring C&hart")));
  grid->addLayout(console, row++, 0, 1, 3);
  grid->addWidget(chkSkipUnchanged_, row++, 0, 1, 3);
  grid->addWidget(chkNameMessages_, row++, 0, 1, 3);
  connect(chkSkipUnchanged_, &QCheckBox::toggled, this,
          [this](bool ticked) { flow_.setSkipUnchangedRelayCode(ticked); });
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

OptionControls MainWindow::controls() const {
  OptionControls controls;
  controls.keepWindowOpen = chkBat_->isChecked();
  controls.startAtModule = chkModuleOnly_->isChecked();
  controls.moduleText = utf8(txtModule_->text());
  controls.otherOptions = utf8(txtOtherOptions_->text());
  controls.skipUnchangedRelayCode = chkSkipUnchanged_->isChecked();
  controls.nameMessages = chkNameMessages_->isChecked();
  for (int i = 0; i < 9; ++i) {
    if (chkDebug_[i]->isChecked()) controls.debugBoxes |= 1u << i;
  }
  controls.displayComparison = chkDispData_->isChecked();
  controls.repeatCount = utf8(txtDiagCount_->text());
  controls.rangeOnly = chkRegOnly_->isChecked();
  controls.rangeFrom = utf8(txtRegMem_->text());
  controls.rangeThrough = utf8(txtRegThrough_->text());
  return controls;
}

void MainWindow::showRange() {
  const MemoryRange range = rangeOf(controls());
  txtRegMem_->setText(QString::number(range.from));
  txtRegThrough_->setText(QString::number(range.through));
}

void MainWindow::runButton(PlenumButton button, const QString& file, int source,
                           MemoryRange targets) {
  if (button == PlenumButton::SaveRegistration || button == PlenumButton::LoadRegistration) {
    if (file.isEmpty()) return;
    if (chkRegOnly_->isChecked()) showRange();
  }
  const std::optional<PlenumCommand> command =
      flow_.commandFor(button, controls(), utf8(file), source, targets);
  if (command) sendPlenumCmd(*command);
}

void MainWindow::connectCommands() {
  const auto on = [this](const char* name, auto action) {
    connect(button(QLatin1String(name)), &QPushButton::clicked, this, action);
  };
  const std::pair<const char*, PlenumButton> plain[] = {
      {"cmdDownload", PlenumButton::Download},
      {"cmdVersion", PlenumButton::Version},
      {"cmdReset", PlenumButton::Reset},
      {"cmdMonitor", PlenumButton::Monitor},
      {"cmdHalt", PlenumButton::Halt},
      {"cmdRun", PlenumButton::Run},
      {"cmdProgram", PlenumButton::ProgramExecutive},
      {"cmdVerify", PlenumButton::VerifyExecutive},
      {"cmdDataDiag", PlenumButton::DataDiagnostic},
      {"cmdCheckConsole", PlenumButton::CheckConsole}};
  for (const auto& [name, which] : plain) {
    on(name, [this, which = which] { runButton(which); });
  }
  on("cmdSaveReg", [this] {
    runButton(PlenumButton::SaveRegistration, chooseRegistrationFile(true));
  });
  on("cmdLoadReg", [this] {
    runButton(PlenumButton::LoadRegistration, chooseRegistrationFile(false));
  });
  on("cmdCopyReg", [this] { copyRegistration(); });
  on("cmdWiringChart", [this] {
    const std::optional<PlenumCommand> command =
        flow_.commandFor(PlenumButton::WiringChart, controls());
    if (!command || !flow_.mayStartCommand(runner_->isBusy())) return;
    pendingChart_ = qtext(flow_.wiringChartPath());
    sendPlenumCmd(*command);
  });
  on("cmdMidiIn", [this] {
    flow_.changeDevice(true);
    showDevices();
  });
  on("cmdMidiOut", [this] {
    flow_.changeDevice(false);
    showDevices();
  });
  on("cmdConfigFile", [this] { chooseConfigFile(); });
  on("cmdFirmwareDir", [this] { chooseFirmwareFolder(); });
  on("cmdOpenFirmwareDir", [this] {
    QDesktopServices::openUrl(QUrl::fromLocalFile(qtext(flow_.firmwareFolder())));
  });
  on("cmdExit", [this] { exitAndSave(); });
  on("SeqPlay", [this] { playMidiFile(); });
  on("SeqRec", [this] { recordMidiFile(); });
  on("cmdSequencer", [this] { openSequencer(); });
}

void MainWindow::sendPlenumCmd(const PlenumCommand& command) {
  if (!flow_.mayStartCommand(runner_->isBusy())) return;
  lblCommand_->setText(qtext(command.line));
  lastOutput_->clear();
  wait_->clearOutput();
  runner_->start(command);
  if (runner_->isBusy()) wait_->open();
}

bool MainWindow::start() {
  const bool started = flow_.start();
  chkSkipUnchanged_->setChecked(flow_.settings().skipUnchangedRelayCode);
  label10_->setText(qtext(flow_.versionText()));
  showFirmwareFolder();
  if (!started) return false;
  showDevices();
  if (!flow_.settings().configFile.empty()) {
    txtConfigFile_->setText(qtext(flow_.settings().configFile));
  } else if (environment_.askForConfigFile) {
    chooseConfigFile();
  }
  return true;
}

void MainWindow::showDevices() {
  txtMidiIn_->setText(qtext(flow_.settings().midiInName));
  txtMidiOut_->setText(qtext(flow_.settings().midiOutName));
}

void MainWindow::showFirmwareFolder() {
  txtFirmwareDir_->setText(QDir::toNativeSeparators(qtext(flow_.firmwareFolder())));
  runner_->setWorkingDir(qtext(flow_.firmwareFolder()));
}

void MainWindow::chooseFirmwareFolder() {
  QFileDialog dialog(this, QStringLiteral("Firmware Folder"), qtext(flow_.firmwareFolder()));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  if (flow_.firmwareFolderChosen(utf8(dialog.selectedFiles().first()))) showFirmwareFolder();
}

void MainWindow::chooseConfigFile() {
  QFileDialog dialog(this, QStringLiteral("Configuration File"), qtext(flow_.configStartFolder()));
  dialog.setNameFilters(filtersOf(kConfigFilter));
  dialog.selectNameFilter(QLatin1String(kConfigFilterChosen));
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString file = QDir::toNativeSeparators(dialog.selectedFiles().first());
  flow_.configFileChosen(utf8(file));
  txtConfigFile_->setText(file);
}

QString MainWindow::chooseRegistrationFile(bool forSaving) {
  QFileDialog dialog(this, QStringLiteral("Registration File"),
                     qtext(flow_.registrationStartFolder()));
  dialog.setNameFilters(filtersOf(kRegistrationFilter));
  dialog.selectNameFilter(QLatin1String(kRegistrationFilterChosen));
  dialog.selectFile(qtext(flow_.registrationFileName()));
  dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (forSaving) dialog.setDefaultSuffix(QStringLiteral("reg"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return qtext(flow_.registrationFileChosen(utf8(dialog.selectedFiles().first()), forSaving));
}

void MainWindow::copyRegistration() {
  CopyRegistrationDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  runButton(PlenumButton::CopyRegistration, {}, dialog.sourceMemory(), dialog.targets());
}

void MainWindow::exitAndSave() {
  flow_.exitAndSave();
  close();
}

void MainWindow::playMidiFile() {
  if (flow_.refuseSimulatedLoop()) return;
  const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Play MIDI File"),
                                                    qtext(flow_.midiStartFolder()),
                                                    QLatin1String(kMidiFilter));
  if (file.isEmpty()) return;
  flow_.midiFileChosen(utf8(file));
  seqPlay_->setText(QStringLiteral("Playing"));
  PlayingDialog dialog(file, flow_.settings().midiOutDev, showMessage, this);
  if (dialog.isReady()) dialog.exec();
  seqPlay_->setText(QStringLiteral("Play"));
}

void MainWindow::recordMidiFile() {
  if (flow_.refuseSimulatedLoop()) return;
  QString folder = qtext(flow_.midiStartFolder());
  flow_.midiFolderUsed(utf8(folder));
  RecordingDialog dialog(flow_.settings().midiInDev, folder, showMessage, this);
  if (dialog.isReady()) dialog.exec();
  flow_.midiFolderUsed(utf8(folder));
}

void MainWindow::openSequencer() {
  if (flow_.refuseSimulatedLoop()) return;
  auto* window = new SequencerWindow(flow_.settings().midiInDev, flow_.settings().midiOutDev,
                                     qtext(flow_.midiStartFolder()), showMessage, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

}  // namespace tirasse
