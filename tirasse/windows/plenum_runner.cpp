#include "tirasse/windows/plenum_runner.h"

#include <QDir>
#include <QTimer>

namespace tirasse {

PlenumRunner::PlenumRunner(QString programDir, QObject* parent)
    : QObject(parent), programDir_(std::move(programDir)) {}

bool PlenumRunner::start(const QString& commandLine) {
  if (isBusy()) return false;
  QStringList words = QProcess::splitCommand(commandLine);
  if (words.isEmpty()) return false;
  const QString program = QDir(programDir_).filePath(words.takeFirst());
  process_ = new QProcess(this);
  process_->setWorkingDirectory(programDir_);
  process_->setProcessChannelMode(QProcess::MergedChannels);  // getopt's complaints too
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
  process_->terminate();
  QProcess* process = process_;
  QTimer::singleShot(3000, process, [process] { process->kill(); });
}

void PlenumRunner::readOutput() {
  if (process_) emit output(decoder_.decode(process_->readAllStandardOutput()));
}

void PlenumRunner::ended() {
  readOutput();
  process_->deleteLater();
  process_ = nullptr;
  emit finished();
}

}  // namespace tirasse
