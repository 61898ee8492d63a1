#include "plenum/simulator/loop_port.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "plenum/midi/current_port.h"
#include "plenum/runtime/settings.h"
#include "plenum/simulator/simulated_loop.h"

namespace plenum {

namespace {

// The simulated modules live for the whole run, like hardware, whatever happens to the
// port; never destroyed, as the exit handlers may close the port after static destructors.
// Null while PLENUM_LOOP is not set.
std::shared_ptr<SimulatedModules> loopModules() {
  const char* loop = std::getenv("PLENUM_LOOP");
  if (!loop) return nullptr;
  static auto* modules = new std::shared_ptr<SimulatedModules>();
  if (!*modules) *modules = simulatedModulesFrom(loop);
  return *modules;
}

}  // namespace

void useSimulatedLoopWhenSet() {
  setPortSource([]() -> std::unique_ptr<Midi> {
    std::shared_ptr<SimulatedModules> modules = loopModules();
    if (!modules) return nullptr;
    // Device numbers (-i, -o, or the configuration's) would seem to choose something.
    static bool told = false;
    if (!told && (settings().inputDevice >= 0 || settings().outputDevice >= 0)) {
      told = true;
      std::fprintf(stderr, "PLENUM_LOOP is set: the simulated loop stands in for the MIDI devices, "
                           "and the device numbers given are not used\n");
    }
    return std::make_unique<SimulatedLoop>(modules);
  });
  setPortSourceDescription([]() -> std::string {
    std::shared_ptr<SimulatedModules> modules = loopModules();
    if (!modules) return {};
    const int count = modules->chain.moduleCount();
    return "the simulated loop of " + std::to_string(count) + (count == 1 ? " module" : " modules") +
           " (PLENUM_LOOP=" + std::getenv("PLENUM_LOOP") + ")";
  });
}

}  // namespace plenum
