// The generated configurations must compile cleanly at every size the benchmarks use:
// a configuration that stops at an error would make the compile figures meaningless.

#include "large_configuration.h"

#include <gtest/gtest.h>

#include "plenum/language/compile_in_process.h"

namespace plenum::bench {
namespace {

using testing_support::InProcessCompile;
using testing_support::RunOutput;

TEST(LargeConfiguration, CompilesWithoutAMessageAtEverySize) {
  for (int sections : {1, 4, kMostSections}) {
    SCOPED_TRACE(sections);
    InProcessCompile compile(largeConfiguration(sections));
    RunOutput run = compile.loadAndGenerate();
    EXPECT_EQ(run.status, -1) << run.out;
    EXPECT_EQ(run.out.find("cfg:"), std::string::npos) << run.out;
    EXPECT_EQ(compile.configuration.modules.size(),
              static_cast<std::size_t>(sections * kModulesPerSection));
  }
}

TEST(LargeConfiguration, StatementsGrowWithTheSections) {
  const int one = statementCount(largeConfiguration(1));
  // Every section after the first adds a coupler to the section before it.
  EXPECT_EQ(statementCount(largeConfiguration(4)), 4 * one + 3);
  EXPECT_EQ(statementCount(largeConfiguration(16)), 16 * one + 15);
  EXPECT_GT(one, 150);
}

TEST(LargeConfiguration, StatementCountSkipsCommentsAndTheEnd) {
  EXPECT_EQ(statementCount("; *NORVO_MODULE\n*NORVO_MODULE\n  *INPUT_96\n\n*END\n"), 2);
  EXPECT_THROW(largeConfiguration(0), std::invalid_argument);
  EXPECT_THROW(largeConfiguration(kMostSections + 1), std::invalid_argument);
}

}  // namespace
}  // namespace plenum::bench
