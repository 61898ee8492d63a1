#pragma once
// For the benchmarks: the process-wide port is a simulated loop paced at MIDI wire speed
// (the loop text must say "wire"), wrapped so that every byte that crosses the wire in
// either direction is counted. The wire time of a run is then bytes x 320 us (31,250
// baud, 10 bits a byte).

#include <cstdint>

namespace plenum::bench {

struct WireCount {
  std::uint64_t sent = 0;
  std::uint64_t received = 0;
  std::uint64_t shortsReceived = 0;
  std::uint64_t requests = 0;  // SysEx messages sent

  double wireSeconds() const { return static_cast<double>(sent + received) * 10.0 / 31250.0; }
};

// The counts since the last reset, over every port opened meanwhile.
WireCount& wireCount();

// From now on the port is a loop of the modules `loopText` describes (the syntax of
// PLENUM_LOOP), fresh ones; any open port is closed.
void useLoop(const char* loopText);

}  // namespace plenum::bench
