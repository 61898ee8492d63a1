// The port holder of the benchmarks. It stands in for the library's holder at link time
// (the archive member is then never pulled in): each port it opens is a counting wrapper
// around a simulated loop on the modules of useLoop (PLENUM_LOOP until it is called), which
// outlive the ports as hardware would.

#include <cstdlib>
#include <memory>

#include "counting_port.h"
#include "plenum/midi/current_port.h"
#include "plenum/midi/simulated_loop.h"

namespace plenum {

namespace bench {

WireCount& wireCount() {
  static WireCount count;
  return count;
}

namespace {

class CountingPort final : public Midi {
 public:
  explicit CountingPort(std::shared_ptr<SimulatedModules> modules) : loop_(std::move(modules)) {}

  int sendSysex(const std::uint8_t* bytes, std::size_t length) override {
    wireCount().sent += length;
    ++wireCount().requests;
    return loop_.sendSysex(bytes, length);
  }
  void sendShort(const std::uint8_t* bytes, std::size_t length) override {
    wireCount().sent += length;
    loop_.sendShort(bytes, length);
  }
  bool pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                 int waitMs) override {
    if (!loop_.pollSysex(buffer, capacity, length, waitMs)) return false;
    wireCount().received += length;
    return true;
  }
  bool pollShort(std::uint32_t& word) override {
    if (!loop_.pollShort(word)) return false;
    // Status byte plus the data bytes its kind carries (running status is not used).
    const std::uint8_t status = word & 0xFF;
    const int kind = status >> 4;
    wireCount().received += status >= 0xF0 ? 1 : (kind == 0xC || kind == 0xD) ? 2 : 3;
    ++wireCount().shortsReceived;
    return true;
  }

 private:
  SimulatedLoop loop_;
};

std::shared_ptr<SimulatedModules>& modules() {
  static std::shared_ptr<SimulatedModules> loop;
  return loop;
}

std::unique_ptr<Midi>& openPort() {
  static std::unique_ptr<Midi> port;
  return port;
}

}  // namespace

void useLoop(const char* loopText) {
  closeCurrentPort();
  modules() = simulatedModulesFrom(loopText);
}

}  // namespace bench

Midi& currentPort() {
  std::unique_ptr<Midi>& port = bench::openPort();
  if (!port) {
    std::shared_ptr<SimulatedModules>& loop = bench::modules();
    if (!loop) {
      const char* text = std::getenv("PLENUM_LOOP");
      loop = simulatedModulesFrom(text != nullptr ? text : "B,B,B,B,wire");
    }
    port = std::make_unique<bench::CountingPort>(loop);
  }
  return *port;
}

bool currentPortIsOpen() { return bench::openPort() != nullptr; }

void closeCurrentPort() { bench::openPort().reset(); }

Midi& replaceCurrentPort() {
  closeCurrentPort();
  return currentPort();
}

void installCurrentPort(std::unique_ptr<Midi> port) { bench::openPort() = std::move(port); }

}  // namespace plenum
