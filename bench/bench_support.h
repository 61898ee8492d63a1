#pragma once
// Small helpers shared by the benchmarks.

#include <cstdio>
#include <ctime>
#include <functional>
#include <string>

namespace plenum::bench {

// Sends standard output (file descriptor 1) to a file, or to the null device, while it
// lives; the benchmark's own report is written after it ends.
class StandardOutputTo {
 public:
  explicit StandardOutputTo(const char* path = "/dev/null");
  ~StandardOutputTo();
  StandardOutputTo(const StandardOutputTo&) = delete;
  StandardOutputTo& operator=(const StandardOutputTo&) = delete;

 private:
  int saved_;
};

// CPU time of the calling thread, in seconds: plenum's own work, not the simulated
// modules' thread.
double threadCpuSeconds();
double wallSeconds();

// A path for `name` in the temporary folder ($TMPDIR, else /tmp).
std::string scratchPath(const std::string& name);

// Runs a plenum operation; returns an empty string, or how the run would have ended.
std::string runOperation(const std::function<void()>& operation);

}  // namespace plenum::bench
