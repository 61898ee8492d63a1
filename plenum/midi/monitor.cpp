#include "plenum/midi/monitor.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "plenum/runtime/exit_handlers.h"

namespace plenum {

namespace {

void printWaitingInput(Midi& port, const MessageNamer& namer) {
  std::uint8_t buffer[kSysexBufferSize];
  std::size_t length = 0;
  while (port.pollSysex(buffer, sizeof buffer, length, 0)) {
    std::printf("Got sysex:");
    for (std::size_t i = 0; i < length; ++i) std::printf(" 0x%02x", buffer[i]);
    std::printf("\n");
  }
  std::uint32_t word = 0;
  while (port.pollShort(word)) {
    std::printf("Got data: %s", Midi::describeShort(word));
    std::printf("%s\n", namer ? namer(word).c_str() : "");
  }
  port.takeError(false);
  std::fflush(stdout);
}

}  // namespace

void monitorMidi(Midi& port, std::FILE* keys, const MessageNamer& namer) {
  std::printf("\nMonitoring for MIDI input... please press <Enter> to exit\n\n");
  // Shared with the key thread, which is left to end by itself: it may outlive this call.
  auto keepMonitoring = std::make_shared<std::atomic<bool>>(true);
  std::thread([keepMonitoring, keys] {
    (void)std::fgetc(keys);  // a key, or the end of the input
    keepMonitoring->store(false, std::memory_order_release);
  }).detach();
  bool more = true;
  while (more) {
    // Read before the pass, so that whatever came before the key is still printed.
    more = keepMonitoring->load(std::memory_order_acquire);
    printWaitingInput(port, namer);
    serviceInterrupt();
    if (more) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace plenum
