#include "plenum/simulator/loop_port.h"

#include <cstdlib>
#include <memory>

#include "plenum/midi/current_port.h"
#include "plenum/simulator/simulated_loop.h"

namespace plenum {

void useSimulatedLoopWhenSet() {
  setPortSource([]() -> std::unique_ptr<Midi> {
    const char* loop = std::getenv("PLENUM_LOOP");
    if (!loop) return nullptr;
    // The simulated modules live for the whole run, like hardware, whatever happens to the
    // port; never destroyed, as the exit handlers may close the port after static destructors.
    static auto* modules = new std::shared_ptr<SimulatedModules>();
    if (!*modules) *modules = simulatedModulesFrom(loop);
    return std::make_unique<SimulatedLoop>(*modules);
  });
}

}  // namespace plenum
