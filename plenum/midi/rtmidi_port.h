#pragma once
// The MIDI port over the system's real devices, through RtMidi.

#include <RtMidi.h>

#include <memory>
#include <string>

#include "plenum/midi/midi.h"
#include "plenum/midi/received_traffic.h"

namespace plenum {

class RtMidiPort final : public Midi {
 public:
  // Opens input and output device together, chosen from the -i / -o numbers (negative:
  // choose by the device rules). Never returns half open: every failure prints its
  // message and ends the run (ExitRequest, status 1).
  RtMidiPort(int inputDevice, int outputDevice);
  ~RtMidiPort() override;

  int sendSysex(const std::uint8_t* bytes, std::size_t length) override;
  void sendShort(const std::uint8_t* bytes, std::size_t length) override;
  bool pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                 int waitMs) override;
  bool pollShort(std::uint32_t& word) override;

 private:
  static void onInput(double timeStamp, std::vector<unsigned char>* message, void* port);
  static void onInputError(RtMidiError::Type type, const std::string& text, void* port);
  static void onOutputError(RtMidiError::Type type, const std::string& text, void* port);

  void openInput(int inputDevice);
  void openOutput(int outputDevice);
  // Sends and returns RtMidi's complaint, empty when the message went out.
  std::string send(const std::uint8_t* bytes, std::size_t length);

  // Declared before the devices so that it outlives the input callback.
  ReceivedTraffic received_;
  std::unique_ptr<RtMidiIn> input_;
  std::unique_ptr<RtMidiOut> output_;
  std::string outputError_;  // set by onOutputError, on the main thread
};

}  // namespace plenum
