// plenum: compiles a console configuration into module programs, downloads them into a
// loop of Norvo modules, and maintains the modules (see the usage text).

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

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

#ifdef _WIN32
// The narrow arguments are in the ANSI code page and lose every character outside it; take
// the UTF-16 command line and carry it as UTF-8, as the rest of plenum expects.
std::vector<std::string> utf8Arguments() {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 0; i < count; ++i) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, text.data(), size, nullptr, nullptr);
    text.resize(text.size() - 1);
    arguments.push_back(std::move(text));
  }
  LocalFree(wide);
  return arguments;
}
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // Messages are UTF-8 text; a console shows them only with its output code page set so.
  SetConsoleOutputCP(CP_UTF8);
  static std::vector<std::string> arguments = utf8Arguments();
  static std::vector<char*> pointers;
  if (!arguments.empty()) {
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    argc = static_cast<int>(arguments.size());
    argv = pointers.data();
  }
#endif
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
