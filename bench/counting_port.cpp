// The benchmarks' port: a counting wrapper around a simulated loop, handed to the library
// through its port factory. The modules outlive the ports as hardware would, so a port
// reopened between modules sees the same memories.

#include "counting_port.h"

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include "plenum/midi/current_port.h"
#include "plenum/simulator/simulated_loop.h"

namespace plenum::bench {

WireCount& wireCount() {
  static WireCount count;
  return count;
}

std::vector<RecordedRequest>& recordedRequests() {
  static std::vector<RecordedRequest> requests;
  return requests;
}

namespace {

std::string& loopText() {
  static std::string text;
  return text;
}

class CountingPort final : public Midi {
 public:
  explicit CountingPort(std::shared_ptr<SimulatedModules> modules) : loop_(std::move(modules)) {}

  int sendSysex(const std::uint8_t* bytes, std::size_t length) override {
    wireCount().sent += length;
    ++wireCount().requests;
    recordedRequests().push_back({std::vector<std::uint8_t>(bytes, bytes + length), 0});
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
    if (!recordedRequests().empty()) ++recordedRequests().back().replies;
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

}  // namespace

double replayRecordedRequests() {
  SimulatedLoop port(simulatedModulesFrom(loopText()));
  std::vector<std::uint8_t> reply(0x10000);
  const auto start = std::chrono::steady_clock::now();
  for (const RecordedRequest& request : recordedRequests()) {
    port.sendSysex(request.bytes.data(), request.bytes.size());
    std::size_t length = 0;
    for (int i = 0; i < request.replies; ++i) {
      if (!port.pollSysex(reply.data(), reply.size(), length, 2000))
        throw std::runtime_error("the replayed loop did not answer");
    }
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void useLoop(const char* text) {
  closeCurrentPort();
  loopText() = text;
  std::shared_ptr<SimulatedModules> modules = simulatedModulesFrom(text);
  setPortFactory([modules] { return std::make_unique<CountingPort>(modules); });
}

}  // namespace plenum::bench
