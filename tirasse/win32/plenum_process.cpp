#include "tirasse/win32/plenum_process.h"

#include <mutex>
#include <thread>

#include "tirasse/core/utf8_path.h"
#include "tirasse/win32/command_line_quoting.h"
#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

namespace {

enum Notification : WPARAM { OutputArrived = 1, ProcessEnded = 2 };

struct Handle {
  HANDLE value = nullptr;
  Handle() = default;
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

bool endsWith(const std::wstring& text, const wchar_t* ending) {
  const std::size_t length = wcslen(ending);
  return text.size() >= length && _wcsicmp(text.c_str() + text.size() - length, ending) == 0;
}

// Words given to a batch file pass the command interpreter, for which these characters
// mean something outside double quotes.
std::wstring quoteForBatch(const std::wstring& word) {
  std::wstring quoted = quoteArgument(word);
  if (word.find_first_of(L"&|<>^()%!,;=") != std::wstring::npos && quoted.front() != L'"') {
    quoted = L"\"" + quoted + L"\"";
  }
  return quoted;
}

// While tirasse sends the event it shares plenum's console; the event is not for tirasse.
BOOL WINAPI ignoreControlEvents(DWORD) { return TRUE; }

// Ends the process and all it started.
void endByForce(HANDLE job, HANDLE process) {
  if (!job || !TerminateJobObject(job, 1)) TerminateProcess(process, 1);
}

}  // namespace

ProcessCommand processCommand(const std::wstring& program, const std::vector<std::wstring>& arguments,
                              const std::wstring& commandInterpreter) {
  ProcessCommand result;
  if (endsWith(program, L".bat")) {
    // /s: the interpreter takes everything between the outer quotes as it stands.
    std::wstring inner = quoteForBatch(program);
    for (const std::wstring& argument : arguments) inner += L' ' + quoteForBatch(argument);
    result.application = commandInterpreter;
    result.commandLine = quoteArgument(commandInterpreter) + L" /d /s /c \"" + inner + L"\"";
    return result;
  }
  result.application = endsWith(program, L".exe") ? program : program + L".exe";
  std::vector<std::wstring> words{result.application};
  words.insert(words.end(), arguments.begin(), arguments.end());
  result.commandLine = joinCommandLine(words);
  return result;
}

struct PlenumProcess::Child {
  Handle process;
  Handle job;
  Handle input;   // plenum's standard input
  Handle output;  // plenum's standard output and error, read by the reader
  DWORD processId = 0;
  bool killed = false;  // ended by force (window thread only)
  std::thread reader;
  std::thread waiter;

  std::mutex mutex;  // guards the fields below, shared with the threads
  std::string arrived;
  bool outputPosted = false;
  DWORD exitCode = 0;
};

PlenumProcess::PlenumProcess(const std::string& programDir, HWND notify, UINT message,
                             PlenumRun::Listener listener)
    : notify_(notify),
      message_(message),
      run_(*this, pathFromUtf8(programDir), pathFromUtf8(programDir), std::move(listener)) {}

PlenumProcess::~PlenumProcess() {
  for (const auto& timer : timers_) KillTimer(notify_, timer.first);
  if (!child_) return;
  endByForce(child_->job.value, child_->process.value);
  child_->waiter.join();
}

void PlenumProcess::start(const std::filesystem::path& program,
                          const std::vector<std::string>& arguments,
                          const std::filesystem::path& folder) {
  auto child = std::make_unique<Child>();
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  Handle childOut, childIn;
  if (!CreatePipe(&child->output.value, &childOut.value, &inherit, 0) ||
      !CreatePipe(&childIn.value, &child->input.value, &inherit, 0)) {
    run_.processFailedToStart();
    return;
  }
  // Only the child's ends are inherited.
  SetHandleInformation(child->output.value, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(child->input.value, HANDLE_FLAG_INHERIT, 0);

  child->job.value = CreateJobObjectW(nullptr, nullptr);
  if (child->job.value) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(child->job.value, JobObjectExtendedLimitInformation, &limits,
                            sizeof limits);
  }

  std::vector<std::wstring> words;
  for (const std::string& argument : arguments) words.push_back(widen(argument));
  const ProcessCommand command = processCommand(program.wstring(), words, interpreter());
  std::wstring commandLine = command.commandLine;  // CreateProcessW may write into it
  const std::wstring workingDir = folder.wstring();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childIn.value;
  startup.hStdOutput = childOut.value;
  startup.hStdError = childOut.value;
  PROCESS_INFORMATION info{};
  const DWORD flags = CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT |
                      CREATE_SUSPENDED;
  if (!CreateProcessW(command.application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                      flags, nullptr, workingDir.c_str(), &startup, &info)) {
    run_.processFailedToStart();
    return;
  }
  child->process.value = info.hProcess;
  child->processId = info.dwProcessId;
  if (child->job.value) AssignProcessToJobObject(child->job.value, info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  childOut.reset();  // the pipe ends when plenum and its children have gone
  childIn.reset();

  Child* c = child.get();
  const HWND notify = notify_;
  const UINT message = message_;
  c->reader = std::thread([c, notify, message] {
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(c->output.value, buffer, sizeof buffer, &count, nullptr) && count > 0) {
      std::lock_guard<std::mutex> lock(c->mutex);
      c->arrived.append(buffer, count);
      if (!c->outputPosted) {
        c->outputPosted = true;
        PostMessageW(notify, message, OutputArrived, 0);
      }
    }
  });
  c->waiter = std::thread([c, notify, message] {
    WaitForSingleObject(c->process.value, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(c->process.value, &code);
    // Whatever plenum left running would hold the pipe open; it goes with plenum.
    endByForce(c->job.value, c->process.value);
    c->reader.join();
    {
      std::lock_guard<std::mutex> lock(c->mutex);
      c->exitCode = code;
    }
    PostMessageW(notify, message, ProcessEnded, 0);
  });
  child_ = std::move(child);
}

void PlenumProcess::setWorkingDir(const std::string& folder) {
  run_.setWorkingDir(pathFromUtf8(folder));
}

void PlenumProcess::write(const std::string& bytes) {
  if (!child_ || !child_->input.value) return;
  DWORD written = 0;
  WriteFile(child_->input.value, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool PlenumProcess::interrupt() {
  if (!child_) return false;
  FreeConsole();
  if (AttachConsole(child_->processId)) {
    SetConsoleCtrlHandler(ignoreControlEvents, TRUE);
    GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, child_->processId);
    FreeConsole();
  }
  // Delivered or not (Wine refuses a process group), the grace period decides the rest.
  return true;
}

void PlenumProcess::closeInput() {
  if (child_) child_->input.reset();
}

void PlenumProcess::kill() {
  if (!child_) return;
  child_->killed = true;
  endByForce(child_->job.value, child_->process.value);
}

void PlenumProcess::after(int milliseconds, std::function<void()> action) {
  const UINT_PTR id = nextTimer_++;
  timers_[id] = std::move(action);
  SetTimer(notify_, id, static_cast<UINT>(milliseconds), nullptr);
}

bool PlenumProcess::timerFired(UINT_PTR id) {
  const auto timer = timers_.find(id);
  if (timer == timers_.end()) return false;
  KillTimer(notify_, id);
  const std::function<void()> action = std::move(timer->second);
  timers_.erase(timer);
  action();
  return true;
}

void PlenumProcess::notified(WPARAM what) {
  if (!child_) return;
  if (what == OutputArrived) {
    std::string bytes;
    {
      std::lock_guard<std::mutex> lock(child_->mutex);
      bytes.swap(child_->arrived);
      child_->outputPosted = false;
    }
    if (!bytes.empty()) run_.outputArrived(bytes);
    return;
  }
  if (what == ProcessEnded) finish();
}

void PlenumProcess::finish() {
  child_->waiter.join();
  std::string rest;  // read after the last notification was handled
  DWORD code = 0;
  {
    std::lock_guard<std::mutex> lock(child_->mutex);
    rest.swap(child_->arrived);
    code = child_->exitCode;
  }
  const bool killed = child_->killed;
  child_.reset();
  if (!rest.empty()) run_.outputArrived(rest);
  run_.processEnded(static_cast<int>(code), killed);
}

}  // namespace tirasse::win32
