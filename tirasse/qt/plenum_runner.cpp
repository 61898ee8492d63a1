#include "tirasse/qt/plenum_runner.h"

#include <QDir>
#include <QTimer>

#include "tirasse/qt/qt_text.h"

#if !defined(_WIN32)
#include <signal.h>
#include <unistd.h>
#endif

namespace tirasse {

PlenumRunner::PlenumRunner(QString programDir, QObject* parent)
    : QObject(parent), programDir_(std::move(programDir)) {}

bool PlenumRunner::start(const PlenumCommand& command) {
  if (isBusy()) return false;
  QStringList words = qtextList(command.words);
  if (words.isEmpty()) return false;
  const QString program = QDir(programDir_).filePath(words.takeFirst());
  process_ = new QProcess(this);
  stopping_ = false;
  process_->setWorkingDirectory(programDir_);
  process_->setProcessChannelMode(QProcess::MergedChannels);  // getopt's complaints too
#if !defined(_WIN32)
  // A group of its own, so that Stop reaches plenum also when plenum.bat runs it.
  process_->setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
  decoder_ = QStringDecoder(QStringDecoder::Utf8);
  connect(process_, &QProcess::readyReadStandardOutput, this, &PlenumRunner::readOutput);
  connect(process_, &QProcess::finished, this, &PlenumRunner::ended);
  connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) {
      process_->deleteLater();
      process_ = nullptr;
      emit startFailed();
    }
  });
  process_->start(program, words);
  return true;
}

void PlenumRunner::sendEnter() {
  if (process_) process_->write("\n");
}

void PlenumRunner::stop() {
  if (!process_) return;
  stopping_ = true;
  QProcess* process = process_;
#if defined(_WIN32)
  process->terminate();
  QTimer::singleShot(3000, process, [process] { process->kill(); });
#else
  const auto group = static_cast<pid_t>(process->processId());
  if (group <= 0) {  // not started yet: nothing to interrupt
    process->kill();
    return;
  }
  ::kill(-group, SIGINT);
  // With -P plenum then waits for Enter: the end of its input answers that.
  process->closeWriteChannel();
  QTimer::singleShot(3000, process, [group] { ::kill(-group, SIGKILL); });
#endif
}

void PlenumRunner::readOutput() {
  if (process_) emit output(decoder_.decode(process_->readAllStandardOutput()));
}

void PlenumRunner::ended(int exitCode, QProcess::ExitStatus exitStatus) {
  readOutput();
  process_->deleteLater();
  process_ = nullptr;
  emit finished({stopping_, exitStatus == QProcess::CrashExit, exitCode});
}

}  // namespace tirasse
