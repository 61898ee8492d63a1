// The wiring chart of examples/large_console.ncf: the whole of `plenum --chart` (compile,
// map, document) in each form, and the map and documents alone on a compiled file.

#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "plenum/consolemap/chart_writers.h"
#include "plenum/consolemap/cross_reference.h"
#include "plenum/language/compiler_context.h"
#include "plenum/model/configuration.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace {

using namespace plenum::bench;

const std::string kLargeConsole = std::string(PLENUM_EXAMPLES_DIR) + "/large_console.ncf";

enum Form { Text, Csv, Html, CrossReference };

std::string document(const plenum::ConsoleMap& map, Form form) {
  switch (form) {
    case Text: return plenum::chartText(map);
    case Csv: return plenum::chartCsv(map);
    case Html: return plenum::chartHtml(map);
    default:
      return plenum::crossReferenceText(
          plenum::buildCrossReference(map, plenum::context().identifiers));
  }
}

// Compile, map and write one form, as the option does (without the file write).
void BM_ChartLargeConsole(benchmark::State& state) {
  plenum::resetSettings();
  plenum::moduleTypes().clear();
  const Form form = static_cast<Form>(state.range(0));
  std::size_t bytes = 0;
  for (auto _ : state) {
    StandardOutputTo silence;
    plenum::CompilerContextScope scope;
    const std::string failure = runOperation([&] {
      plenum::Configuration configuration;
      configuration.load(kLargeConsole);
      configuration.generatePrograms();
      bytes = document(plenum::buildConsoleMap(configuration), form).size();
    });
    if (!failure.empty()) {
      state.SkipWithError(("does not compile: " + failure).c_str());
      return;
    }
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ChartLargeConsole)
    ->ArgName("form")->Arg(Text)->Arg(Csv)->Arg(Html)->Arg(CrossReference)
    ->Unit(benchmark::kMillisecond);

// The map and the HTML page of a file compiled once: what the chart adds to a compile.
void BM_MapAndPageOnly(benchmark::State& state) {
  plenum::resetSettings();
  plenum::moduleTypes().clear();
  StandardOutputTo silence;
  plenum::CompilerContextScope scope;
  plenum::Configuration configuration;
  const std::string failure = runOperation([&] {
    configuration.load(kLargeConsole);
    configuration.generatePrograms();
  });
  if (!failure.empty()) {
    state.SkipWithError(("does not compile: " + failure).c_str());
    return;
  }
  for (auto _ : state)
    benchmark::DoNotOptimize(plenum::chartHtml(plenum::buildConsoleMap(configuration)));
}
BENCHMARK(BM_MapAndPageOnly)->Unit(benchmark::kMillisecond);

}  // namespace
