#pragma once
// Runs one plenum command at a time as a child process in the program folder, with its
// output read on a thread of its own and handed to the window's thread as it arrives, so
// that the windows stay responsive while plenum works. Stop ends plenum as Ctrl-C in its
// console would (a console control event to its own process group, so that its exit
// handlers close the MIDI port), and only after a grace period by force.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tirasse/core/command_builder.h"
#include "tirasse/core/run_outcome.h"

namespace tirasse::win32 {

class PlenumProcess {
 public:
  // The reading threads post `message` to `notify`; its procedure passes it to notified().
  PlenumProcess(std::wstring programDir, HWND notify, UINT message);
  ~PlenumProcess();
  PlenumProcess(const PlenumProcess&) = delete;
  PlenumProcess& operator=(const PlenumProcess&) = delete;

  enum class Start { Started, Busy, Failed };
  // The first word is the program, looked up in the program folder ("plenum.bat" runs
  // through the command interpreter); the others are passed whole.
  Start start(const PlenumCommand& command);
  bool isBusy() const { return run_ != nullptr; }
  void sendEnter();
  void stop();
  void notified(WPARAM what);

  // Called on the window's thread.
  std::function<void(std::string_view utf8)> onOutput;
  std::function<void(const RunOutcome&)> onFinished;

  // How long plenum has after Stop to end by itself.
  DWORD graceMilliseconds = 3000;

 private:
  struct Run;
  void finish();

  std::wstring programDir_;
  HWND notify_;
  UINT message_;
  std::unique_ptr<Run> run_;
};

// The command line CreateProcessW gets for the words, and the program it starts.
struct ProcessCommand {
  std::wstring application;
  std::wstring commandLine;
};
ProcessCommand processCommand(const std::wstring& programDir, const PlenumCommand& command,
                              const std::wstring& commandInterpreter);

}  // namespace tirasse::win32
