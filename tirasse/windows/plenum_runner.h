#pragma once
// Runs one plenum command line at a time as a child process, from the folder that holds
// plenum, and passes its output on as it arrives.

#include <QObject>
#include <QProcess>
#include <QStringDecoder>

namespace tirasse {

class PlenumRunner : public QObject {
  Q_OBJECT
 public:
  explicit PlenumRunner(QString programDir, QObject* parent = nullptr);

  bool isBusy() const { return process_ != nullptr; }
  // Starts the command line (the program word is looked up in programDir). False when a
  // command is still running.
  bool start(const QString& commandLine);
  void sendEnter();
  void stop();

 signals:
  void output(const QString& text);
  void finished();
  void startFailed();

 private:
  void readOutput();
  void ended();

  QString programDir_;
  QProcess* process_ = nullptr;
  QStringDecoder decoder_{QStringDecoder::Utf8};
};

}  // namespace tirasse
