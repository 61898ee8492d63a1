#include "bench_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include "plenum/runtime/exits.h"

namespace plenum::bench {

StandardOutputTo::StandardOutputTo(const char* path) : saved_(dup(1)) {
  std::fflush(stdout);
  const int target = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (saved_ < 0 || target < 0) throw std::runtime_error("cannot redirect standard output");
  dup2(target, 1);
  close(target);
}

StandardOutputTo::~StandardOutputTo() {
  std::fflush(stdout);
  dup2(saved_, 1);
  close(saved_);
}

double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double wallSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string runOperation(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const ExitRequest& request) {
    return "the run ended with status " + std::to_string(request.status);
  } catch (const TextException& failure) {
    return failure.text + ": exiting";
  } catch (const ProgramBug& bug) {
    return std::string("Program bug: ") + bug.where;
  }
  return {};
}

std::string scratchPath(const std::string& name) {
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/" + name;
}

}  // namespace plenum::bench
