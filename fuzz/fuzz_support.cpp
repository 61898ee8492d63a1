#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "plenum/runtime/exits.h"

namespace plenum::fuzz {

Ending runContained(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const ExitRequest&) {
    return Ending::Exited;
  } catch (const TextException&) {
    return Ending::TextException;
  } catch (const ProgramBug&) {
    return Ending::ProgramBug;
  }
  return Ending::Returned;
}

void silenceStandardOutput() {
  static bool done = false;
  if (done || std::getenv("PLENUM_FUZZ_VERBOSE") != nullptr) return;
  done = true;
  std::fflush(stdout);
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
}

namespace {
std::string scratchPath;
void removeScratchFile() { std::remove(scratchPath.c_str()); }
}  // namespace

std::string writeScratchFile(const std::uint8_t* data, std::size_t size) {
  if (scratchPath.empty()) {
    const char* folder = std::getenv("TMPDIR");
    scratchPath = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                  "/plenum-fuzz-" + std::to_string(getpid()) + ".input";
    std::atexit(removeScratchFile);
  }
  std::FILE* file = std::fopen(scratchPath.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return scratchPath;
}

}  // namespace plenum::fuzz
