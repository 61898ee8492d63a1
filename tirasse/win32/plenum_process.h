#pragma once
// The Windows process layer under the core's rules of a plenum run (tirasse/core/plenum_run):
// plenum.exe (or plenum.bat through the command interpreter) started with CreateProcessW in
// a console of its own without a window and in a process group of its own, its output read
// on a thread and handed to the window's thread as it arrives, so that the windows stay
// responsive. Stop's interrupt is Ctrl-Break to that group (Ctrl-C cannot be sent to one
// group only; plenum.exe takes it as Ctrl-C), and the end by force takes everything the run
// started with it (one job object).

#include <windows.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tirasse/core/plenum_run.h"

namespace tirasse::win32 {

class PlenumProcess : public ProcessControl {
 public:
  // The reading thread posts `message` to `notify`, whose procedure passes it and its
  // WM_TIMER messages to notified() and timerFired().
  PlenumProcess(const std::string& programDir, HWND notify, UINT message,
                PlenumRun::Listener listener);
  ~PlenumProcess() override;
  PlenumProcess(const PlenumProcess&) = delete;
  PlenumProcess& operator=(const PlenumProcess&) = delete;

  // The core's rules: start (false while a run goes on), Enter, Stop.
  bool start(const PlenumCommand& command) { return run_.start(command); }
  bool isBusy() const { return run_.isBusy(); }
  void sendEnter() { run_.sendEnter(); }
  void stop() { run_.stop(); }
  // Where plenum runs (the firmware folder), from the next start on.
  void setWorkingDir(const std::string& folder);

  void notified(WPARAM what);
  // True when the timer was one of this layer's.
  bool timerFired(UINT_PTR id);

  // ProcessControl
  void start(const std::filesystem::path& program, const std::vector<std::string>& arguments,
             const std::filesystem::path& folder) override;
  void write(const std::string& bytes) override;
  bool interrupt() override;
  void closeInput() override;
  void kill() override;
  void after(int milliseconds, std::function<void()> action) override;

 private:
  struct Child;
  void finish();

  HWND notify_;
  UINT message_;
  std::unique_ptr<Child> child_;
  std::map<UINT_PTR, std::function<void()>> timers_;
  UINT_PTR nextTimer_ = 0x7100;
  PlenumRun run_;
};

// The application and command line CreateProcessW gets for a program and its arguments.
struct ProcessCommand {
  std::wstring application;
  std::wstring commandLine;
};
ProcessCommand processCommand(const std::wstring& program, const std::vector<std::wstring>& arguments,
                              const std::wstring& commandInterpreter);

}  // namespace tirasse::win32
