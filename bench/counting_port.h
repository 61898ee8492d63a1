#pragma once
// For the benchmarks: the process-wide port is a simulated loop paced at MIDI wire speed
// (the loop text must say "wire"), wrapped so that every byte that crosses the wire in
// either direction is counted. The wire time of a run is then bytes x 320 us (31,250
// baud, 10 bits a byte).

#include <cstdint>
#include <vector>

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

// The SysEx requests sent since the last reset, with the number of SysEx replies taken
// after each one: what a host that does nothing but send and wait would have done.
struct RecordedRequest {
  std::vector<std::uint8_t> bytes;
  int replies = 0;
};
std::vector<RecordedRequest>& recordedRequests();

// Sends the recorded requests to fresh modules of the current loop straight through a
// simulated loop port, each after the replies to the one before it, and returns the wall
// time in seconds: the floor that the loop and the operating system set, without
// plenum's own work.
double replayRecordedRequests();

// From now on the port is a loop of the modules `loopText` describes (the syntax of
// PLENUM_LOOP), fresh ones; any open port is closed.
void useLoop(const char* loopText);

}  // namespace plenum::bench
