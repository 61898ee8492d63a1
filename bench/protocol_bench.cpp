// Protocol operations against a simulated loop of four type B modules paced at MIDI wire
// speed. Each run reports its wall time, the wire time of the bytes that crossed the
// wire in both directions, their ratio (the host's overhead: 1.00 is the wire bound),
// and plenum's CPU time over the wall time (the waiting must not burn a core).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "bench_support.h"
#include "counting_port.h"
#include "large_configuration.h"
#include "plenum/language/compiler_context.h"
#include "plenum/midi/monitor.h"
#include "plenum/midi/received_traffic.h"
#include "plenum/protocol/chain_inquiry.h"
#include "plenum/protocol/download.h"
#include "plenum/protocol/registration_options.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace {

using namespace plenum::bench;

void reportWireFigures(benchmark::State& state, double wall, double cpu, double floor) {
  const double wire = wireCount().wireSeconds();
  // The loop's own floor: the same requests sent by a host that only sends and waits.
  state.counters["floor_s"] = floor;
  state.counters["wall_over_floor"] = floor > 0 ? wall / floor : 0;
  state.counters["wall_s"] = wall;
  state.counters["wire_s"] = wire;
  state.counters["wall_over_wire"] = wire > 0 ? wall / wire : 0;
  state.counters["cpu_over_wall"] = wall > 0 ? cpu / wall : 0;
  state.counters["wire_bytes"] = static_cast<double>(wireCount().sent + wireCount().received);
  // What each request costs beyond the wire: the host's work and the wake-ups of the
  // threads that carry it (plenum's and the simulated loop's).
  const auto requests = static_cast<double>(wireCount().requests);
  state.counters["extra_ms_per_request"] = requests > 0 ? (wall - wire) * 1000 / requests : 0;
}

// One run of `operation` with fresh settings and counts: wall, CPU and wire time, or how
// it failed.
struct Measured {
  double wall = 0;
  double cpu = 0;
  double wire = 0;
  std::string failure;
};

Measured measureOnce(const std::function<void()>& operation) {
  plenum::resetSettings();
  plenum::moduleTypes().clear();
  wireCount() = WireCount{};
  recordedRequests().clear();
  Measured measured;
  const double wallStart = wallSeconds();
  const double cpuStart = threadCpuSeconds();
  {
    StandardOutputTo silence;
    measured.failure = runOperation(operation);
  }
  measured.cpu = threadCpuSeconds() - cpuStart;
  measured.wall = wallSeconds() - wallStart;
  measured.wire = wireCount().wireSeconds();
  return measured;
}

// Runs `operation` once per iteration and reports the figures of the last one.
void measureOnLoop(benchmark::State& state, const std::function<void()>& operation) {
  for (auto _ : state) {
    const Measured measured = measureOnce(operation);
    state.SetIterationTime(measured.wall);
    if (!measured.failure.empty()) {
      state.SkipWithError(measured.failure.c_str());
      return;
    }
    reportWireFigures(state, measured.wall, measured.cpu, replayRecordedRequests());
  }
}

constexpr const char* kPlainLoop = "B,B,B,B,wire";
// Every module with a combination action of 2 banks of 40 pistons of 16 bytes.
constexpr const char* kRegistrationLoop =
    "B,B,B,B,wire,combi=0:2:40:16,combi=1:2:40:16,combi=2:2:40:16,combi=3:2:40:16";

// One generated console section fills the four modules: every board full.
void BM_DownloadLargeToFourModules(benchmark::State& state) {
  useLoop(kPlainLoop);
  const std::string path = writeConfiguration("plenum-bench-download.ncf", largeConfiguration(1));
  measureOnLoop(state, [&] {
    plenum::CompilerContextScope scope;
    plenum::downloadConfiguration(path, -1);
  });
}
BENCHMARK(BM_DownloadLargeToFourModules)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The technician's afternoon: a first download, then the same configuration again with -u,
// then with one statement changed, all on the same modules. The re-downloads leave the
// relay code that is already current unwritten; their wall time over the first's is the
// figure (target at most 0.80).
void BM_RedownloadWithUpdate(benchmark::State& state) {
  const std::string text = largeConfiguration(1);
  const std::string statement = "*COUPLER ( Stop0_33 ) Man0 TO Man0 *OFFSET = 12";
  std::string changed = text;
  const std::size_t at = changed.find(statement);
  if (at == std::string::npos) {
    state.SkipWithError("the statement to change is not in the configuration");
    return;
  }
  changed.replace(at, statement.size(), "*COUPLER ( Stop0_33 ) Man0 TO Man0 *OFFSET = 24");
  const std::string same = writeConfiguration("plenum-bench-redownload.ncf", text);
  const std::string other = writeConfiguration("plenum-bench-redownload-changed.ncf", changed);
  auto download = [](const std::string& path, bool update) {
    return [path, update] {
      plenum::settings().skipUnchangedCode = update;
      plenum::CompilerContextScope scope;
      plenum::downloadConfiguration(path, -1);
    };
  };
  for (auto _ : state) {
    useLoop(kPlainLoop);  // fresh modules: the first download writes everything
    const Measured first = measureOnce(download(same, false));
    const Measured again = measureOnce(download(same, true));
    const Measured edited = measureOnce(download(other, true));
    state.SetIterationTime(first.wall + again.wall + edited.wall);
    for (const Measured* run : {&first, &again, &edited}) {
      if (!run->failure.empty()) {
        state.SkipWithError(run->failure.c_str());
        return;
      }
    }
    state.counters["first_s"] = first.wall;
    state.counters["first_wall_over_wire"] = first.wall / first.wire;
    state.counters["same_s"] = again.wall;
    state.counters["same_wall_over_wire"] = again.wall / again.wire;
    state.counters["same_over_first"] = again.wall / first.wall;
    state.counters["changed_s"] = edited.wall;
    state.counters["changed_wall_over_wire"] = edited.wall / edited.wire;
    state.counters["changed_over_first"] = edited.wall / first.wall;
    state.counters["wire_same_over_first"] = again.wire / first.wire;
  }
}
BENCHMARK(BM_RedownloadWithUpdate)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_VersionReport(benchmark::State& state) {
  useLoop(kPlainLoop);
  measureOnLoop(state, [] {
    for (int i = 0; i < 20; ++i) plenum::reportModuleVersions();
  });
}
BENCHMARK(BM_VersionReport)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// -S then -U of the whole registration of the four modules.
void BM_SaveRegistration(benchmark::State& state) {
  useLoop(kRegistrationLoop);
  const std::string path = scratchPath("plenum-bench.reg");
  measureOnLoop(state, [&] {
    if (plenum::saveRegistrationOption(path.c_str()) != 0) throw plenum::ExitRequest{1};
  });
}
BENCHMARK(BM_SaveRegistration)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_LoadRegistration(benchmark::State& state) {
  useLoop(kRegistrationLoop);
  const std::string path = scratchPath("plenum-bench.reg");
  {
    StandardOutputTo silence;
    if (plenum::saveRegistrationOption(path.c_str()) != 0) {
      state.SkipWithError("the registration to load could not be saved");
      return;
    }
  }
  measureOnLoop(state, [&] {
    if (plenum::loadRegistrationOption(path.c_str()) != 0) throw plenum::ExitRequest{1};
  });
}
BENCHMARK(BM_LoadRegistration)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The monitor's capacity: a burst of Note On messages arriving at full MIDI rate (three
// bytes each, 960 us apart) into the receive queues a device port uses, while the real
// monitor prints them. Every message must come out.
class BurstPort final : public plenum::Midi {
 public:
  int sendSysex(const std::uint8_t*, std::size_t) override { return 0; }
  void sendShort(const std::uint8_t*, std::size_t) override {}
  bool pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                 int waitMs) override {
    return received.popSysex(buffer, capacity, length, waitMs);
  }
  bool pollShort(std::uint32_t& word) override { return received.popShort(word); }
  plenum::ReceivedTraffic received;
};

void BM_MonitorBurstAtWireRate(benchmark::State& state) {
  const int messages = static_cast<int>(state.range(0));
  for (auto _ : state) {
    BurstPort port;
    int keys[2];
    if (pipe(keys) != 0) {
      state.SkipWithError("no pipe");
      return;
    }
    std::FILE* keyInput = fdopen(keys[0], "r");
    int pushed = 0;
    std::thread device([&] {
      using namespace std::chrono;
      const auto start = steady_clock::now();
      for (int i = 0; i < messages; ++i) {
        std::this_thread::sleep_until(start + microseconds(960) * i);
        const std::uint32_t noteOn = 0x90 | (std::uint32_t(i % 128) << 8) | (100u << 16);
        if (port.received.pushShort(noteOn)) ++pushed;
      }
      std::this_thread::sleep_for(milliseconds(250));  // two monitor passes to drain
      (void)!write(keys[1], "\n", 1);
    });
    const std::string log = scratchPath("plenum-bench-monitor.txt");
    {
      StandardOutputTo capture(log.c_str());
      plenum::monitorMidi(port, keyInput);
    }
    device.join();
    std::fclose(keyInput);
    close(keys[1]);
    std::ifstream printed(log);
    int shown = 0;
    for (std::string line; std::getline(printed, line);) {
      if (line.rfind("Got data:", 0) == 0) ++shown;
    }
    state.counters["sent"] = messages;
    state.counters["queued"] = pushed;
    state.counters["shown"] = shown;
    state.counters["dropped"] = messages - shown;
  }
}
BENCHMARK(BM_MonitorBurstAtWireRate)->Arg(2000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  // The simulated modules take their executives from the standard firmware files, and the
  // download reads the relay files, from the current directory.
  if (chdir(PLENUM_FIRMWARE_DIR) != 0) {
    std::perror(PLENUM_FIRMWARE_DIR);
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
