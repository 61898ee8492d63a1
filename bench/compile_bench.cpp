// Compile time: the example configurations and generated ones of 1, 4 and 16 console
// sections (1x, 4x and 16x the statements). Growth close to linear shows as a steady
// statements_per_s counter and as a complexity close to O(N).

#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench_support.h"
#include "large_configuration.h"
#include "plenum/language/compiler_context.h"
#include "plenum/model/configuration.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace {

using namespace plenum::bench;

// What the compile of a download does before any MIDI stage.
std::string compileOnce(const std::string& path) {
  StandardOutputTo silence;
  plenum::CompilerContextScope scope;
  return runOperation([&] {
    plenum::Configuration configuration;
    configuration.load(path);
    configuration.generatePrograms();
  });
}

void compileFile(benchmark::State& state, const std::string& path) {
  plenum::resetSettings();
  plenum::moduleTypes().clear();
  const std::string failure = compileOnce(path);
  if (!failure.empty()) {
    state.SkipWithError(("does not compile: " + failure).c_str());
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(compileOnce(path));
}

void BM_CompileExample(benchmark::State& state, const std::string& path) { compileFile(state, path); }

void BM_CompileGenerated(benchmark::State& state) {
  const int sections = static_cast<int>(state.range(0));
  const std::string text = largeConfiguration(sections);
  const std::string path =
      writeConfiguration("plenum-bench-" + std::to_string(sections) + ".ncf", text);
  compileFile(state, path);
  const int statements = statementCount(text);
  state.SetComplexityN(statements);
  state.counters["modules"] = sections * kModulesPerSection;
  state.counters["statements"] = statements;
  state.counters["statements_per_s"] =
      benchmark::Counter(static_cast<double>(statements) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

// 1, 4 and 16 console sections: 4, 16 and 64 modules.
BENCHMARK(BM_CompileGenerated)->Arg(1)->Arg(4)->Arg(16)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// Every example configuration of the repository, by name.
const bool examplesRegistered = [] {
  const std::filesystem::path folder(PLENUM_EXAMPLES_DIR);
  if (!std::filesystem::is_directory(folder)) return false;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".ncf") continue;
    benchmark::RegisterBenchmark(("BM_CompileExample/" + entry.path().stem().string()).c_str(),
                                 BM_CompileExample, entry.path().string())
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
