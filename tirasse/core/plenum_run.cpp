#include "tirasse/core/plenum_run.h"

#include "tirasse/core/utf8_path.h"

namespace tirasse {

PlenumRun::PlenumRun(ProcessControl& process, std::filesystem::path programDir,
                     std::filesystem::path workingDir, Listener listener)
    : process_(process),
      programDir_(std::move(programDir)),
      workingDir_(std::move(workingDir)),
      listener_(std::move(listener)) {}

bool PlenumRun::start(const PlenumCommand& command) {
  if (busy_ || command.words.empty()) return false;
  busy_ = true;
  stopping_ = false;
  ++runNumber_;
  decoder_ = Utf8Stream();
  const std::vector<std::string> arguments(command.words.begin() + 1, command.words.end());
  process_.start(programDir_ / pathFromUtf8(command.words.front()), arguments, workingDir_);
  return true;
}

void PlenumRun::sendEnter() {
  if (busy_) process_.write("\n");
}

void PlenumRun::stop() {
  if (!busy_) return;
  stopping_ = true;
  if (!process_.interrupt()) {  // not started yet: nothing to interrupt
    process_.kill();
    return;
  }
  process_.closeInput();
  process_.after(kStopGraceMilliseconds, [this, run = runNumber_] {
    if (busy_ && run == runNumber_) process_.kill();
  });
}

void PlenumRun::outputArrived(const std::string& bytes) {
  if (!busy_) return;
  const std::string text = decoder_.decode(bytes);
  if (!text.empty() && listener_.output) listener_.output(text);
}

void PlenumRun::processEnded(int exitStatus, bool crashed) {
  if (!busy_) return;
  busy_ = false;
  if (listener_.finished) listener_.finished(RunOutcome{stopping_, crashed, exitStatus});
}

void PlenumRun::processFailedToStart() {
  if (!busy_) return;
  busy_ = false;
  if (listener_.startFailed) listener_.startFailed();
}

}  // namespace tirasse
