// tirasse: the desktop front end of plenum.

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include "tirasse/midi/system_midi_ports.h"
#include "tirasse/qt/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tirasse"));
  const tirasse::SystemMidiDeviceLists devices;
  tirasse::StartupEnvironment environment;
  // plenum, plenum.bat and version.txt are installed beside tirasse.
  environment.programDir = QCoreApplication::applicationDirPath();
  environment.settingsDir =
      QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
          .filePath(QStringLiteral("Norvo"));
  environment.documentsDir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  environment.devices = &devices;
  tirasse::MainWindow window(environment);
  if (!window.start()) return 1;
  window.show();
  return app.exec();
}
