// The front end's ports on Windows: plenum's WinMidi port over the multimedia interface,
// opened on one side only. WinMidi hands received data over through queues that are
// polled, so an input has a thread of its own that polls and calls the handler.

#include <atomic>
#include <stdexcept>
#include <thread>

#include "plenum/midi/win_midi.h"
#include "plenum/runtime/exits.h"
#include "tirasse/midi/system_midi_ports.h"

namespace tirasse {

namespace {

constexpr std::uint8_t kMtcQuarterFrame = 0xF1;
constexpr std::uint8_t kTimingClock = 0xF8;
constexpr std::uint8_t kActiveSensing = 0xFE;
// How long one poll waits for SysEx; short messages are taken between the waits, so this
// is also the most a short message's time stamp can lag behind.
constexpr int kPollMilliseconds = 2;

// The bytes of a packed short message (status | d1 << 8 | d2 << 16).
Bytes unpackShort(std::uint32_t word) {
  const auto status = static_cast<std::uint8_t>(word & 0xFF);
  std::size_t length = 3;
  if (status >= 0xF0) {
    length = status == 0xF1 || status == 0xF3 ? 2 : status == 0xF2 ? 3 : 1;
  } else if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) {
    length = 2;
  }
  Bytes bytes;
  for (std::size_t i = 0; i < length; ++i) bytes.push_back(static_cast<std::uint8_t>(word >> (8 * i)));
  return bytes;
}

// Opens one side of a WinMidi port; a number that names no device is refused in words
// before the driver is asked, as on the other systems.
std::unique_ptr<plenum::WinMidi> openSide(plenum::MidiDirection direction, int port) {
  const std::vector<std::string> names = systemMidiDeviceNames(direction);
  if (port < 0 || static_cast<std::size_t>(port) >= names.size()) {
    throw std::runtime_error(plenum::noSuchDeviceReason(direction, port, names.size()));
  }
  const bool input = direction == plenum::MidiDirection::Input;
  try {
    return std::make_unique<plenum::WinMidi>(input ? port : plenum::WinMidi::kNotOpened,
                                             input ? plenum::WinMidi::kNotOpened : port);
  } catch (const plenum::ExitRequest&) {
    throw std::runtime_error(std::string("the MIDI ") + (input ? "input" : "output") +
                             " device " + std::to_string(port) + " could not be opened");
  }
}

class WinMidiOutputSink : public MidiSink {
 public:
  explicit WinMidiOutputSink(std::unique_ptr<plenum::WinMidi> port) : port_(std::move(port)) {}
  void send(const Bytes& message) override {
    if (message.empty()) return;
    try {
      if (message[0] == 0xF0) {
        port_->sendSysex(message.data(), message.size());
      } else {
        port_->sendShort(message.data(), message.size());
      }
    } catch (const plenum::ExitRequest&) {
      // A device unplugged while playing: the player goes on silently, the user hears it.
    }
  }

 private:
  std::unique_ptr<plenum::WinMidi> port_;
};

class WinMidiInputPort : public MidiInput {
 public:
  WinMidiInputPort(std::unique_ptr<plenum::WinMidi> port, MidiInputHandler handler)
      : port_(std::move(port)), handler_(std::move(handler)), thread_([this] { run(); }) {}
  ~WinMidiInputPort() override {
    quit_ = true;
    thread_.join();
  }

 private:
  void run() {
    Bytes sysex(plenum::kSysexBufferSize);
    while (!quit_) {
      try {
        std::size_t length = 0;
        if (port_->pollSysex(sysex.data(), sysex.size(), length, kPollMilliseconds)) {
          handler_(Bytes(sysex.begin(), sysex.begin() + static_cast<std::ptrdiff_t>(length)));
        }
        std::uint32_t word = 0;
        while (port_->pollShort(word)) {
          const Bytes message = unpackShort(word);
          const std::uint8_t status = message[0];
          if (status == kTimingClock || status == kActiveSensing || status == kMtcQuarterFrame) {
            continue;
          }
          handler_(message);
        }
        (void)port_->takeError(true);  // a broken message is lost, the recording goes on
      } catch (const plenum::ExitRequest&) {
        return;  // the driver refused a buffer back: nothing more will arrive
      }
    }
  }

  std::unique_ptr<plenum::WinMidi> port_;
  MidiInputHandler handler_;
  std::atomic<bool> quit_{false};
  std::thread thread_;  // last: starts once everything it uses is made
};

}  // namespace

std::vector<std::string> systemMidiDeviceNames(plenum::MidiDirection direction) {
  plenum::WinMidiApi& api = plenum::systemWinMidiApi();
  return direction == plenum::MidiDirection::Input ? plenum::winMidiInputNames(api)
                                                   : plenum::winMidiOutputNames(api);
}

std::unique_ptr<MidiSink> openSystemOutput(int port) {
  return std::make_unique<WinMidiOutputSink>(openSide(plenum::MidiDirection::Output, port));
}

std::unique_ptr<MidiInput> openSystemInput(int port, MidiInputHandler handler) {
  return std::make_unique<WinMidiInputPort>(openSide(plenum::MidiDirection::Input, port),
                                            std::move(handler));
}

}  // namespace tirasse
