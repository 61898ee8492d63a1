#pragma once
// Runs one plenum command at a time as a child process (QProcess) and passes its output on
// as it arrives; the rules of a run (program, folder, Enter, Stop, outcome) are the core's.

#include <QObject>
#include <QProcess>

#include "tirasse/core/command_builder.h"
#include "tirasse/core/plenum_run.h"
#include "tirasse/core/run_outcome.h"

namespace tirasse {

class PlenumRunner : public QObject, private ProcessControl {
  Q_OBJECT
 public:
  // plenum runs in its program folder until setWorkingDir says otherwise.
  explicit PlenumRunner(const QString& programDir, QObject* parent = nullptr);

  bool isBusy() const { return run_.isBusy(); }
  void setWorkingDir(const QString& folder);
  // Starts the command (its program word is looked up in programDir) with its words as
  // the argument list. False when a command is still running.
  bool start(const PlenumCommand& command);
  void sendEnter() { run_.sendEnter(); }
  // Ends the run as Ctrl-C does in a terminal; a run that does not end within the grace
  // period is killed.
  void stop() { run_.stop(); }

 signals:
  void output(const QString& text);
  void finished(const tirasse::RunOutcome& outcome);
  void startFailed();

 private:
  void start(const std::filesystem::path& program, const std::vector<std::string>& arguments,
             const std::filesystem::path& folder) override;
  void write(const std::string& bytes) override;
  bool interrupt() override;
  void closeInput() override;
  void kill() override;
  void after(int milliseconds, std::function<void()> action) override;

  void readOutput();
  void forget();  // the process object is done with

  QProcess* process_ = nullptr;
  PlenumRun run_;
};

}  // namespace tirasse
