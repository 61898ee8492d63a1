// Fuzz target: the text of PLENUM_LOOP through its parser. A text that is accepted must
// describe a loop the simulated modules can be built from.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "plenum/simulator/loop_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const auto layout = plenum::parseLoopLayout(text, error);
  if (!layout) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  if (layout->modules.size() > plenum::kMaxSimulatedModules) std::abort();
  for (const auto& module : layout->modules) {
    if (module.type != 'A' && module.type != 'B' && module.type != 'C') std::abort();
  }
  for (const auto& fault : layout->faults) {
    if (fault.request < 0 || fault.delayMs < 0) std::abort();
  }
  return 0;
}
