#pragma once
// The rules of running plenum, one command at a time, for every front end: where the
// program and its folder are, how Enter and Stop reach it, and how the run ended. The front
// end's process layer (QProcess, CreateProcess) does the work behind ProcessControl and
// reports back through the *Arrived / *Ended calls, on the window's thread.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tirasse/core/command_builder.h"
#include "tirasse/core/run_outcome.h"
#include "tirasse/core/utf8_stream.h"

namespace tirasse {

// How long plenum has after Stop to end by itself before it is ended by force.
inline constexpr int kStopGraceMilliseconds = 3000;

inline constexpr const char* kStartFailedMessage =
    "Shell failed. Is the current directory set to the location of this executable?";

class ProcessControl {
 public:
  virtual ~ProcessControl() = default;
  // Starts `program` with `arguments` in `folder`, its output and errors merged. A start
  // that fails is reported by PlenumRun::startFailed, now or later.
  virtual void start(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments,
                     const std::filesystem::path& folder) = 0;
  virtual void write(const std::string& bytes) = 0;
  // Ctrl-C to the process and its children (its own group); false when there is nothing
  // to interrupt yet.
  virtual bool interrupt() = 0;
  virtual void closeInput() = 0;
  virtual void kill() = 0;
  // Calls `action` once, on the window's thread, after `milliseconds`; never once this
  // process layer is gone.
  virtual void after(int milliseconds, std::function<void()> action) = 0;
};

class PlenumRun {
 public:
  struct Listener {
    std::function<void(const std::string& text)> output;  // whole UTF-8 characters
    std::function<void(const RunOutcome& outcome)> finished;
    std::function<void()> startFailed;
  };

  // `programDir` holds plenum and plenum.bat; plenum runs in `workingDir`.
  PlenumRun(ProcessControl& process, std::filesystem::path programDir,
            std::filesystem::path workingDir, Listener listener);

  bool isBusy() const { return busy_; }
  void setWorkingDir(std::filesystem::path folder) { workingDir_ = std::move(folder); }
  const std::filesystem::path& workingDir() const { return workingDir_; }

  // Starts the command: its first word is the program, looked up in the program folder;
  // the rest are its arguments, passed as a list. False while a command still runs.
  bool start(const PlenumCommand& command);
  void sendEnter();
  // Ends the run as Ctrl-C does in a terminal (plenum closes its port and ends with status
  // 0; with -P the end of its input answers the wait for Enter); a run that does not end
  // within the grace period is ended by force.
  void stop();

  // From the process layer.
  void outputArrived(const std::string& bytes);
  void processEnded(int exitStatus, bool crashed);
  void processFailedToStart();

 private:
  ProcessControl& process_;
  std::filesystem::path programDir_;
  std::filesystem::path workingDir_;
  Listener listener_;
  bool busy_ = false;
  bool stopping_ = false;
  unsigned runNumber_ = 0;  // tells a late grace timer that its run is over
  Utf8Stream decoder_;
};

}  // namespace tirasse
