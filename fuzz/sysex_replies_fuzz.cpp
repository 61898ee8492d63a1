// Fuzz target: every protocol operation of plenum against module replies that the input
// bends (see reply_port.h). Byte 0 chooses the operation, byte 1 the loop (module count
// and type letters), byte 2 the debug bits (all traces but the parser's), byte 3 the
// start module and -f; the rest steers the replies, request by request.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "plenum/language/compiler_context.h"
#include "plenum/midi/current_port.h"
#include "plenum/protocol/block_programming.h"
#include "plenum/protocol/chain_control.h"
#include "plenum/protocol/chain_inquiry.h"
#include "plenum/protocol/download.h"
#include "plenum/protocol/executive.h"
#include "plenum/protocol/loop_diagnostic.h"
#include "plenum/protocol/sysex_exchange.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"
#include "reply_port.h"

namespace {

using plenum::fuzz::InputBytes;

// The download compiles one of these, matching the loop's module count when it can.
const std::string kOneModule = PLENUM_FUZZ_CONFIGURATIONS "/one_module.ncf";
const std::string kTwoModules = PLENUM_FUZZ_CONFIGURATIONS "/two_modules.ncf";

std::vector<std::uint8_t> pageData(InputBytes& input) {
  std::vector<std::uint8_t> data(input.take() * 2u);
  for (auto& byte : data) byte = input.take();
  return data;
}

void runOperation(int which, InputBytes& input) {
  const int module = plenum::settings().startModule;
  switch (which) {
    case 0: plenum::countModules(false); break;
    case 1: plenum::countModules(true); break;
    case 2: plenum::reportModuleVersions(); break;
    case 3: plenum::learnModuleTypes(module); break;
    case 4: {
      const char typeLetter = "ABC"[input.take() % 3];
      const std::uint32_t address = std::uint32_t{input.take()} << 8;
      plenum::programPages(0, address, pageData(input), (input.take() & 1) != 0, typeLetter);
      break;
    }
    case 5: plenum::verifyExecutive(module, ""); break;
    case 6: plenum::verifyExecutive(module, "nvrelay6.obf"); break;
    case 7: plenum::programExecutive(module, ""); break;
    case 8: plenum::programCodeFile(module, "nvrelayc.obf"); break;
    case 9: plenum::loopDiagnostic(input.take() % 4); break;
    case 10: plenum::waitForReprogramming(0); break;
    case 11: plenum::broadcastCommand(module, "H"); plenum::countModules(false); break;
    default: {
      plenum::CompilerContextScope scope;
      const bool one = plenum::fuzz::replyScript().modules == 1;
      plenum::downloadConfiguration(one ? kOneModule : kTwoModules, module);
    }
  }
}

constexpr int kOperations = 13;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  plenum::fuzz::silenceStandardOutput();
  // The executive and code operations read the standard firmware files from the current
  // directory.
  if (chdir(PLENUM_FIRMWARE_DIR) != 0) std::abort();
  plenum::setExchangeClock(&plenum::fuzz::replyClock);
  // Every port an operation opens or re-opens is a ReplyPort, never a real device.
  plenum::setPortFactory([] { return std::make_unique<plenum::fuzz::ReplyPort>(); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  InputBytes input(data, size);
  const int operation = input.take() % kOperations;
  const std::uint8_t loop = input.take();
  const std::uint8_t debug = input.take();
  const std::uint8_t start = input.take();

  plenum::resetSettings();
  plenum::Settings& settings = plenum::settings();
  settings.debugFlags = debug;  // 0x100, the parser's trace, goes to standard error
  settings.startModule = (start & 7) < 5 ? -1 : (start & 7) - 5;
  settings.forceDownload = (start & 8) != 0;
  plenum::moduleTypes().clear();

  plenum::fuzz::ReplyScript& script = plenum::fuzz::replyScript();
  script.modules = loop & 3;
  script.types.clear();
  for (int i = 0; i < script.modules; ++i) script.types.push_back("ABCB"[(loop >> (2 + 2 * i)) & 3]);
  script.version = (loop & 0x80) != 0 ? 0x01FF : 0x0310;
  script.input = &input;

  plenum::closeCurrentPort();
  plenum::fuzz::runContained([&] { runOperation(operation, input); });
  plenum::closeCurrentPort();
  script.input = nullptr;
  return 0;
}
