#pragma once
// Runs one plenum command at a time as a child process, from the folder that holds plenum,
// and passes its output on as it arrives.

#include <QObject>
#include <QProcess>
#include <QStringDecoder>

#include "tirasse/core/command_builder.h"
#include "tirasse/core/run_outcome.h"

namespace tirasse {

class PlenumRunner : public QObject {
  Q_OBJECT
 public:
  explicit PlenumRunner(QString programDir, QObject* parent = nullptr);

  bool isBusy() const { return process_ != nullptr; }
  // Starts the command (its program word is looked up in programDir) with its words as
  // the argument list. False when a command is still running.
  bool start(const PlenumCommand& command);
  void sendEnter();
  // Ends the run as Ctrl-C does in a terminal (plenum closes its port and ends with status
  // 0); a run that does not end within 3 seconds is killed.
  void stop();

 signals:
  void output(const QString& text);
  void finished(const tirasse::RunOutcome& outcome);
  void startFailed();

 private:
  void readOutput();
  void ended(int exitCode, QProcess::ExitStatus exitStatus);

  QString programDir_;
  QProcess* process_ = nullptr;
  bool stopping_ = false;
  QStringDecoder decoder_{QStringDecoder::Utf8};
};

}  // namespace tirasse
