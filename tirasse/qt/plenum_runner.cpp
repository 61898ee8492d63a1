#include "tirasse/qt/plenum_runner.h"

#include <QTimer>

#include "tirasse/core/utf8_path.h"
#include "tirasse/qt/qt_text.h"

#if !defined(_WIN32)
#include <signal.h>
#include <unistd.h>
#endif

namespace tirasse {

namespace {

std::filesystem::path pathOf(const QString& folder) { return pathFromUtf8(utf8(folder)); }
QString textOf(const std::filesystem::path& path) { return qtext(pathToUtf8(path)); }

}  // namespace

PlenumRunner::PlenumRunner(const QString& programDir, QObject* parent)
    : QObject(parent),
      run_(*this, pathOf(programDir), pathOf(programDir),
           {[this](const std::string& text) { emit output(qtext(text)); },
            [this](const RunOutcome& outcome) { emit finished(outcome); },
            [this] { emit startFailed(); }}) {}

void PlenumRunner::setWorkingDir(const QString& folder) { run_.setWorkingDir(pathOf(folder)); }

bool PlenumRunner::start(const PlenumCommand& command) { return run_.start(command); }

void PlenumRunner::start(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder) {
  process_ = new QProcess(this);
  process_->setWorkingDirectory(textOf(folder));
  process_->setProcessChannelMode(QProcess::MergedChannels);  // getopt's complaints too
#if !defined(_WIN32)
  // A group of its own, so that Stop reaches plenum also when plenum.bat runs it.
  process_->setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
  connect(process_, &QProcess::readyReadStandardOutput, this, &PlenumRunner::readOutput);
  connect(process_, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
    readOutput();
    forget();
    run_.processEnded(exitCode, status == QProcess::CrashExit);
  });
  connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    forget();
    run_.processFailedToStart();
  });
  process_->start(textOf(program), qtextList(arguments));
}

void PlenumRunner::forget() {
  if (!process_) return;
  process_->deleteLater();
  process_ = nullptr;
}

void PlenumRunner::write(const std::string& bytes) {
  if (process_) process_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

bool PlenumRunner::interrupt() {
  if (!process_) return false;
#if defined(_WIN32)
  process_->terminate();
  return true;
#else
  const auto group = static_cast<pid_t>(process_->processId());
  if (group <= 0) return false;
  ::kill(-group, SIGINT);
  return true;
#endif
}

void PlenumRunner::closeInput() {
  if (process_) process_->closeWriteChannel();
}

void PlenumRunner::kill() {
  if (!process_) return;
#if !defined(_WIN32)
  const auto group = static_cast<pid_t>(process_->processId());
  if (group > 0) {
    ::kill(-group, SIGKILL);  // plenum.bat's plenum too
    return;
  }
#endif
  process_->kill();
}

void PlenumRunner::after(int milliseconds, std::function<void()> action) {
  QTimer::singleShot(milliseconds, this, std::move(action));
}

void PlenumRunner::readOutput() {
  if (!process_) return;
  const QByteArray bytes = process_->readAllStandardOutput();
  run_.outputArrived(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace tirasse
