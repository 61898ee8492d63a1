#pragma once
// Test support: compiles a configuration text in this process, in a fresh compiler
// context, and collects what a run would show on its two streams and the exit status
// it would end with. The file's path is shown as "cfg" in the collected messages.

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <random>
#include <string>

#include "plenum/language/compiler_context.h"
#include "plenum/model/configuration.h"
#include "plenum/runtime/exits.h"

namespace plenum::testing_support {

struct RunOutput {
  std::string out;
  std::string err;
  int status = -1;  // the exit status the step asked for, -1 when it returned
};

class InProcessCompile {
 public:
  explicit InProcessCompile(const std::string& text) : path_(uniquePath()) {
    std::ofstream(path_) << text;
  }
  ~InProcessCompile() { std::remove(path_.c_str()); }

  // The load step: parse and the error-count stop.
  RunOutput load() {
    return run([this] { configuration.load(path_); });
  }
  // The load step, then, when it passed, the generation of every module.
  RunOutput loadAndGenerate() {
    RunOutput loaded = load();
    if (loaded.status != -1) return loaded;
    RunOutput generated = run([this] { configuration.generatePrograms(); });
    generated.out = loaded.out + generated.out;
    generated.err = loaded.err + generated.err;
    return generated;
  }

  // Members in this order: the model goes before the context that its names live in.
  CompilerContextScope scope;
  Configuration configuration;

 private:
  // Tells this test process's files from those of the others that ctest runs beside it.
  static unsigned processTag() {
    static const unsigned tag = std::random_device{}();
    return tag;
  }
  static std::string uniquePath() {
    static std::atomic<int> serial{0};
    return ::testing::TempDir() + "plenum_compile_" + std::to_string(processTag()) + "_" +
           std::to_string(++serial) + ".ncf";
  }

  template <class Step>
  RunOutput run(Step step) {
    RunOutput output;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    try {
      step();
    } catch (const ExitRequest& request) {
      output.status = request.status;
    }
    std::fflush(stdout);
    output.out = shortenPath(::testing::internal::GetCapturedStdout());
    output.err = shortenPath(::testing::internal::GetCapturedStderr());
    return output;
  }

  std::string shortenPath(std::string text) const {
    for (std::size_t at = text.find(path_); at != std::string::npos;
         at = text.find(path_, at + 3))
      text.replace(at, path_.size(), "cfg");
    return text;
  }

  std::string path_;
};

}  // namespace plenum::testing_support
