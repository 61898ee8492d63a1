#include "tirasse/win32/plenum_process.h"

#include <mutex>
#include <thread>
#include <vector>

#include "tirasse/win32/command_line_quoting.h"
#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

namespace {

enum Notification : WPARAM { OutputArrived = 1, ProcessEnded = 2 };

struct Handle {
  HANDLE value = nullptr;
  Handle() = default;
  explicit Handle(HANDLE h) : value(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { reset(); }
  void reset() {
    if (value) CloseHandle(value);
    value = nullptr;
  }
};

std::wstring interpreter() {
  wchar_t path[MAX_PATH];
  const DWORD size = GetEnvironmentVariableW(L"ComSpec", path, MAX_PATH);
  return size > 0 && size < MAX_PATH ? std::wstring(path, size) : L"cmd.exe";
}

bool isBatchFile(const std::wstring& program) {
  return program.size() > 4 && _wcsicmp(program.c_str() + program.size() - 4, L".bat") == 0;
}

// Words given to a batch file pass the command interpreter, for which these characters
// mean something outside double quotes.
std::wstring quoteForBatch(const std::wstring& word) {
  if (word.find_first_of(L"&|<>^()%!,;= \t") == std::wstring::npos && !word.empty()) {
    return quoteArgument(word);
  }
  std::wstring quoted = quoteArgument(word);
  if (quoted.empty() || quoted.front() != L'"') quoted = L"\"" + quoted + L"\"";
  return quoted;
}

// While tirasse sends the event it shares plenum's console; the event is not for tirasse.
BOOL WINAPI ignoreControlEvents(DWORD) { return TRUE; }

// Ends plenum and all it started.
void endByForce(HANDLE job, HANDLE process) {
  if (!job || !TerminateJobObject(job, 1)) TerminateProcess(process, 1);
}

bool sendBreakToGroup(DWORD processId) {
  FreeConsole();
  if (!AttachConsole(processId)) return false;
  SetConsoleCtrlHandler(ignoreControlEvents, TRUE);
  const bool sent = GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, processId) != 0;
  FreeConsole();
  return sent;
}

}  // namespace

ProcessCommand processCommand(const std::wstring& programDir, const PlenumCommand& command,
                              const std::wstring& commandInterpreter) {
  std::wstring folder = programDir;
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  const std::wstring program = folder + widen(command.words.front());
  ProcessCommand result;
  if (isBatchFile(program)) {
    // /s: the interpreter takes everything between the outer quotes as it stands.
    std::wstring inner = quoteForBatch(program);
    for (std::size_t i = 1; i < command.words.size(); ++i) {
      inner += L' ';
      inner += quoteForBatch(widen(command.words[i]));
    }
    result.application = commandInterpreter;
    result.commandLine = quoteArgument(commandInterpreter) + L" /d /s /c \"" + inner + L"\"";
    return result;
  }
  if (program.size() < 4 || _wcsicmp(program.c_str() + program.size() - 4, L".exe") != 0) {
    result.application = program + L".exe";
  } else {
    result.application = program;
  }
  std::vector<std::wstring> words{result.application};
  for (std::size_t i = 1; i < command.words.size(); ++i) words.push_back(widen(command.words[i]));
  result.commandLine = joinCommandLine(words);
  return result;
}

struct PlenumProcess::Run {
  Handle process;
  Handle job;
  Handle input;   // plenum's standard input, written by sendEnter
  Handle output;  // plenum's standard output and error, read by the reader
  Handle stopRequested{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  DWORD processId = 0;
  bool stopping = false;
  std::thread reader;
  std::thread supervisor;

  std::mutex mutex;  // guards the fields below, shared with the threads
  std::string arrived;
  bool outputPosted = false;
  DWORD exitCode = 0;
  bool killed = false;
  Utf8Stream decoder;
};

PlenumProcess::PlenumProcess(std::wstring programDir, HWND notify, UINT message)
    : programDir_(std::move(programDir)), notify_(notify), message_(message) {}

PlenumProcess::~PlenumProcess() {
  if (!run_) return;
  onOutput = nullptr;
  onFinished = nullptr;
  endByForce(run_->job.value, run_->process.value);
  finish();
}

PlenumProcess::Start PlenumProcess::start(const PlenumCommand& command) {
  if (run_) return Start::Busy;
  if (command.words.empty()) return Start::Failed;
  auto run = std::make_unique<Run>();

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, inRead = nullptr, inWrite = nullptr;
  if (!CreatePipe(&outRead, &outWrite, &inherit, 0)) return Start::Failed;
  Handle childOut(outWrite);
  run->output.value = outRead;
  if (!CreatePipe(&inRead, &inWrite, &inherit, 0)) return Start::Failed;
  Handle childIn(inRead);
  run->input.value = inWrite;
  // Only the child's ends are inherited.
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);

  // Everything plenum starts (plenum.bat's plenum.exe) goes into one job, so that ending
  // the run by force leaves nothing behind.
  run->job.value = CreateJobObjectW(nullptr, nullptr);
  if (run->job.value) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(run->job.value, JobObjectExtendedLimitInformation, &limits,
                            sizeof limits);
  }

  const ProcessCommand process = processCommand(programDir_, command, interpreter());
  std::wstring commandLine = process.commandLine;  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childIn.value;
  startup.hStdOutput = childOut.value;
  startup.hStdError = childOut.value;
  PROCESS_INFORMATION info{};
  // A console of its own without a window: plenum is a console program, and Stop needs a
  // console to send its event through. Its own process group, so the event reaches only it.
  const DWORD flags = CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT |
                      CREATE_SUSPENDED;
  if (!CreateProcessW(process.application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                      flags, nullptr, programDir_.c_str(), &startup, &info)) {
    return Start::Failed;
  }
  run->process.value = info.hProcess;
  run->processId = info.dwProcessId;
  if (run->job.value) AssignProcessToJobObject(run->job.value, info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  childOut.reset();  // the pipe ends when plenum and its children have gone
  childIn.reset();

  Run* r = run.get();
  const HWND notify = notify_;
  const UINT message = message_;
  r->reader = std::thread([r, notify, message] {
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(r->output.value, buffer, sizeof buffer, &count, nullptr) && count > 0) {
      std::lock_guard<std::mutex> lock(r->mutex);
      r->arrived.append(buffer, count);
      if (!r->outputPosted) {
        r->outputPosted = true;
        PostMessageW(notify, message, OutputArrived, 0);
      }
    }
  });
  const DWORD grace = graceMilliseconds;
  r->supervisor = std::thread([r, notify, message, grace] {
    HANDLE waits[2] = {r->process.value, r->stopRequested.value};
    bool killed = false;
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1 &&
        WaitForSingleObject(r->process.value, grace) == WAIT_TIMEOUT) {
      endByForce(r->job.value, r->process.value);
      killed = true;
    }
    WaitForSingleObject(r->process.value, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(r->process.value, &code);
    // Whatever plenum left running holds the pipe open; it goes with plenum.
    if (r->job.value) TerminateJobObject(r->job.value, 1);
    r->reader.join();
    {
      std::lock_guard<std::mutex> lock(r->mutex);
      r->exitCode = code;
      r->killed = killed;
    }
    PostMessageW(notify, message, ProcessEnded, 0);
  });
  run_ = std::move(run);
  return Start::Started;
}

void PlenumProcess::sendEnter() {
  if (!run_ || !run_->input.value) return;
  DWORD written = 0;
  WriteFile(run_->input.value, "\r\n", 2, &written, nullptr);
}

void PlenumProcess::stop() {
  if (!run_ || run_->stopping) return;
  run_->stopping = true;
  sendBreakToGroup(run_->processId);
  // With -P plenum then waits for Enter: the end of its input answers that.
  run_->input.reset();
  SetEvent(run_->stopRequested.value);
}

void PlenumProcess::notified(WPARAM what) {
  if (!run_) return;
  if (what == OutputArrived) {
    std::string text;
    {
      std::lock_guard<std::mutex> lock(run_->mutex);
      text.swap(run_->arrived);
      run_->outputPosted = false;
    }
    const std::string shown = narrow(run_->decoder.decode(text));
    if (!shown.empty() && onOutput) onOutput(shown);
    return;
  }
  if (what != ProcessEnded) return;
  finish();
}

void PlenumProcess::finish() {
  run_->supervisor.join();
  // Output read after the last notification was handled.
  std::string rest;
  RunOutcome outcome;
  {
    std::lock_guard<std::mutex> lock(run_->mutex);
    rest.swap(run_->arrived);
    outcome.exitStatus = static_cast<int>(run_->exitCode);
    outcome.crashed = run_->killed;
  }
  outcome.stoppedByUser = run_->stopping;
  const std::string shown = narrow(run_->decoder.decode(rest) + run_->decoder.finish());
  run_.reset();
  if (!shown.empty() && onOutput) onOutput(shown);
  if (onFinished) onFinished(outcome);
}

}  // namespace tirasse::win32
