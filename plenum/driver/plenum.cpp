// plenum: compiles a console configuration into module programs, downloads them into a
// loop of Norvo modules, and maintains the modules (see the usage text).

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

#include "plenum/driver/command_line.h"
#include "plenum/driver/console_streams.h"
#include "plenum/driver/operations.h"
#include "plenum/driver/usage.h"
#include "plenum/runtime/exit_handlers.h"
#include "plenum/runtime/exits.h"
#include "plenum/simulator/loop_port.h"

namespace {
// After "Program bug": a failure, and one that no documented status stands for.
constexpr int StatusProgramBug = 4;
constexpr int StatusOutOfMemory = 2;
}  // namespace

int main(int argc, char** argv) {
  plenum::prepareConsoleStreams();
  const char* program = argc > 0 ? argv[0] : "plenum";
  plenum::printBanner(program);
  if (argc < 2) {
    plenum::printUsage(program);
    return 0;
  }
  plenum::useSimulatedLoopWhenSet();
  plenum::installPortHandlers(plenum::closeMidiPort);

  // Every way out of an operation ends here; std::exit runs the exit handlers (the -P
  // pause first, then the port).
  try {
    return plenum::runCommandLine(argc, argv);
  } catch (const plenum::ExitRequest& request) {
    std::exit(request.status);
  } catch (const plenum::TextException& failure) {
    std::printf("%s: exiting\n", failure.text.c_str());
    std::exit(1);
  } catch (const plenum::ProgramBug& bug) {
    std::printf("Program bug: %s\n", bug.where);
    std::exit(StatusProgramBug);
  } catch (const std::bad_alloc&) {
    std::printf("Out of memory: exiting\n");
    std::exit(StatusOutOfMemory);
  } catch (const std::exception& unexpected) {
    std::printf("Program bug: %s\n", unexpected.what());
    std::exit(StatusProgramBug);
  }
}
