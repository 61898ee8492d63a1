#pragma once
// "Norvo Configuration": the user's devices, configuration file and options, and one button
// per plenum task. Each button builds its command line and runs plenum in the waiting window.

#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>

#include "tirasse/core/command_builder.h"
#include "tirasse/core/settings_file.h"
#include "tirasse/flow/main_flow.h"
#include "tirasse/midi/system_midi_ports.h"

namespace tirasse {

class PlenumRunner;
class WaitDialog;

// Where the program finds its folders and devices; tests substitute their own.
struct StartupEnvironment {
  QString programDir;    // holds plenum, plenum.bat and version.txt
  QString settingsDir;   // the user's application-data folder for tirasse
  QString documentsDir;
  const MidiDeviceLists* devices = nullptr;
  bool askForConfigFile = true;  // open the file dialog at start when none is known
};

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MainWindow(StartupEnvironment environment, QWidget* parent = nullptr);
  ~MainWindow() override;

  // False when a device list is empty: the program cannot work and ends after its message.
  bool start();

  // How messages reach the user; tests collect them instead of showing message boxes.
  std::function<void(const QString&)> showMessage;
  // How a written wiring chart is shown: in the system's browser; tests look instead.
  std::function<void(const QString&)> openChart = [](const QString& page) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(page));
  };

  const TirasseSettings& currentSettings() const { return flow_.settings(); }
  std::filesystem::path settingsFile() const { return flow_.settingsFile(); }
  PlenumRunner& runner() { return *runner_; }
  WaitDialog& waitDialog() { return *wait_; }
  QPushButton* button(const QString& objectName) const;

  // Shows the command line and runs the command.
  void sendPlenumCmd(const PlenumCommand& command);
  // The option controls' state, as the flow reads it.
  OptionControls controls() const;

 private:
  QWidget* buildDownloadPage();
  QWidget* buildAdvancedPage();
  QWidget* buildDiagnosticPage();
  QPushButton* addButton(const QString& objectName, const QString& caption);
  void connectCommands();

  // Runs the button's command, once the flow has what the command needs.
  void runButton(PlenumButton button, const QString& file = {}, int source = 0,
                 MemoryRange targets = {});
  void showDevices();
  void chooseConfigFile();
  void chooseFirmwareFolder();
  void showFirmwareFolder();
  QString chooseRegistrationFile(bool forSaving);
  // A range box edited and not yet left still counts, limited as leaving it would.
  void showRange();
  void copyRegistration();
  void exitAndSave();
  void playMidiFile();
  void recordMidiFile();
  void openSequencer();

  StartupEnvironment environment_;
  MainFlow flow_;

  PlenumRunner* runner_;
  WaitDialog* wait_;

  QLineEdit* txtMidiIn_;
  QLineEdit* txtMidiOut_;
  QLineEdit* txtConfigFile_;
  QLineEdit* txtFirmwareDir_;
  QLineEdit* txtModule_;
  QCheckBox* chkModuleOnly_;
  QLineEdit* txtOtherOptions_;
  QCheckBox* chkBat_;
  QCheckBox* chkSkipUnchanged_;
  QCheckBox* chkNameMessages_;
  QString pendingChart_;  // the chart page plenum is writing, shown when it is done
  std::array<QCheckBox*, 9> chkDebug_{};
  QLabel* lblCommand_;
  QCheckBox* chkDispData_;
  QLineEdit* txtDiagCount_;
  QCheckBox* chkRegOnly_;
  QLineEdit* txtRegMem_;
  QLineEdit* txtRegThrough_;
  QLabel* label10_;
  QPlainTextEdit* lastOutput_;
  QPushButton* seqPlay_ = nullptr;
};

}  // namespace tirasse
