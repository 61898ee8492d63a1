// norvo-loop: the simulated chain of Norvo modules on real MIDI ports. It opens a virtual
// input ("norvo-loop in", where the host sends) and a virtual output ("norvo-loop out",
// where the replies come from), so plenum and tirasse can be tried through the system's
// MIDI layer. The loop is described as in PLENUM_LOOP: norvo-loop B,B
//
// Runs until standard input ends or a line is entered.

#include <RtMidi.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "plenum/midi/midi_system.h"
#include "plenum/runtime/exits.h"
#include "plenum/simulator/loop_runner.h"
#include "plenum/simulator/simulated_loop.h"

namespace {

using namespace plenum;

// Replies leave through the virtual output; called on the loop thread only.
class PortOutput final : public LoopOutput {
 public:
  explicit PortOutput(RtMidiOut& out) : out_(out) {}
  void deliverSysex(const Frame& frame) override { send(frame); }
  void deliverShort(const Frame& message) override { send(message); }
  void signalInputError() override {}  // a wire cannot carry the host's input errors

 private:
  void send(const Frame& bytes) {
    try {
      out_.sendMessage(bytes.data(), bytes.size());
    } catch (const RtMidiError& error) {
      std::fprintf(stderr, "norvo-loop: %s\n", error.getMessage().c_str());
    }
  }
  RtMidiOut& out_;
};

// What the host sends arrives on RtMidi's thread, the loop's only sender.
void onRequest(double, std::vector<unsigned char>* message, void* runner) {
  if (message != nullptr && !message->empty())
    static_cast<LoopRunner*>(runner)->send(message->data(), message->size());
}

int run(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: norvo-loop LOOP   (LOOP as in PLENUM_LOOP, e.g. B,B)\n");
    return 2;
  }
  std::shared_ptr<SimulatedModules> modules = simulatedModulesFrom(argv[1]);
  std::unique_ptr<RtMidiIn> in = makeMidiIn("norvo-loop");
  std::unique_ptr<RtMidiOut> out = makeMidiOut("norvo-loop");
  if (!in || !out) {
    std::fprintf(stderr, "norvo-loop: no MIDI system can be reached (no ALSA sequencer, no JACK server)\n");
    return 1;
  }
  PortOutput output(*out);
  LoopRunner runner(modules->chain, output, modules->layout.wireSpeed);
  try {
    out->openVirtualPort("norvo-loop out");
    in->ignoreTypes(false, false, false);
    in->setCallback(&onRequest, &runner);
    in->openVirtualPort("norvo-loop in");
  } catch (const RtMidiError& error) {
    std::fprintf(stderr, "norvo-loop: cannot open virtual ports: %s\n", error.getMessage().c_str());
    return 1;
  }
  std::printf("norvo-loop: %d module(s) on %s, ports \"norvo-loop in\" and \"norvo-loop out\"\n",
              modules->chain.moduleCount(), RtMidi::getApiName(in->getCurrentApi()).c_str());
  std::fflush(stdout);
  std::string line;
  std::getline(std::cin, line);
  in->cancelCallback();
  in->closePort();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const ExitRequest& exit) {
    return exit.status;
  }
}
