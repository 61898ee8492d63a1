// Takes the documentation screenshots: the main window, and the waiting window while plenum
// (against the simulated module loop) waits for Enter. Run under a display, e.g. xvfb-run.
//   tirasse_screenshots <output folder>

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "tirasse/midi/system_midi_ports.h"
#include "tirasse/qt/main_window.h"
#include "tirasse/qt/plenum_runner.h"
#include "tirasse/qt/wait_dialog.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  qputenv("PLENUM_LOOP", "B,B");
  const tirasse::SystemMidiDeviceLists devices;
  QTemporaryDir settings;
  tirasse::StartupEnvironment environment;
  environment.programDir = QCoreApplication::applicationDirPath();
  environment.settingsDir = settings.path();
  // The firmware folder shown is the one a user gets: Norvo Firmware in the documents.
  environment.documentsDir = QDir(settings.path()).filePath(QStringLiteral("Documents"));
  QDir().mkpath(environment.documentsDir);
  environment.devices = &devices;
  environment.askForConfigFile = false;
  tirasse::MainWindow window(environment);
  if (!window.start()) return 1;
  window.resize(760, 560);
  window.show();

  QTimer::singleShot(500, [&] {
    window.grab().save(QDir(out).filePath("main-window.png"));
    window.findChild<QTabWidget*>()->setCurrentIndex(1);
    QTimer::singleShot(300, [&] {
      window.grab().save(QDir(out).filePath("main-window-advanced.png"));
      window.findChild<QTabWidget*>()->setCurrentIndex(0);
      window.button(QStringLiteral("cmdVersion"))->click();
    });
  });
  QObject::connect(&window.runner(), &tirasse::PlenumRunner::output, [&] {
    if (!window.waitDialog().outputText().contains(QStringLiteral("Please press <Enter>"))) return;
    QTimer::singleShot(300, [&] {
      window.waitDialog().grab().save(QDir(out).filePath("waiting-window.png"));
      window.runner().sendEnter();
    });
  });
  QObject::connect(&window.runner(), &tirasse::PlenumRunner::finished, [&] {
    QTimer::singleShot(300, [&] {
      window.grab().save(QDir(out).filePath("main-window-after-command.png"));
      app.quit();
    });
  });
  QTimer::singleShot(30000, &app, [&] { app.exit(1); });
  return app.exec();
}
