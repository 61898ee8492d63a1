#include "plenum/midi/rtmidi_port.h"

#include <cstdio>
#include <vector>

#include "plenum/midi/device_choice.h"
#include "plenum/midi/midi_system.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {

// The "caption:\ntext" report of a failing device call; the text has no line end of its own.
void reportDeviceError(const char* caption, const std::string& text) {
  std::printf("%s:\n%s", caption, text.c_str());
}

}  // namespace

RtMidiPort::RtMidiPort(int inputDevice, int outputDevice) {
  const std::vector<std::string> inputs = midiDeviceNames(MidiDirection::Input);
  const std::vector<std::string> outputs = midiDeviceNames(MidiDirection::Output);
  requireSomeDevice(MidiDirection::Input, inputs);
  requireSomeDevice(MidiDirection::Output, outputs);
  openInput(chooseDevice(MidiDirection::Input, inputDevice, inputs));
  openOutput(chooseDevice(MidiDirection::Output, outputDevice, outputs));
}

void RtMidiPort::openInput(int inputDevice) {
  std::string reason;
  input_ = openMidiInput(
      inputDevice, "plenum", "plenum input",
      [this](RtMidiIn& input) {
        // RtMidi filters SysEx, timing and active sensing by default; the
        // modules answer in SysEx and the monitor shows everything.
        input.ignoreTypes(false, false, false);
        input.setCallback(&RtMidiPort::onInput, this);
      },
      reason);
  if (!input_) {
    reportDeviceError("An error has occurred opening the MIDI input device:", reason);
    exitWith(1);
  }
  input_->setErrorCallback(&RtMidiPort::onInputError, this);
}

void RtMidiPort::openOutput(int outputDevice) {
  std::string reason;
  output_ = openMidiOutput(outputDevice, "plenum", "plenum output", reason);
  if (!output_) {
    reportDeviceError("An error has occurred opening the MIDI output device", reason);
    exitWith(1);
  }
  output_->setErrorCallback(&RtMidiPort::onOutputError, this);
}

RtMidiPort::~RtMidiPort() {
  try {
    input_->cancelCallback();
    input_->closePort();
  } catch (const RtMidiError& error) {
    reportDeviceError("An error has occurred in midiInStop", error.getMessage());
  }
  try {
    output_->closePort();
  } catch (const RtMidiError& error) {
    reportDeviceError("An error has occurred in midiOutClose", error.getMessage());
  }
}

std::string RtMidiPort::send(const std::uint8_t* bytes, std::size_t length) {
  outputError_.clear();
  try {
    output_->sendMessage(bytes, length);
  } catch (const RtMidiError& error) {
    return error.getMessage();
  }
  return outputError_;
}

int RtMidiPort::sendSysex(const std::uint8_t* bytes, std::size_t length) {
  traceSending(bytes, length);
  if (!send(bytes, length).empty()) {
    std::puts("Error in midiOutLongMsg()");
    exitWith(2);
  }
  return 0;
}

void RtMidiPort::sendShort(const std::uint8_t* bytes, std::size_t length) {
  if (length == 0) return;
  const std::string failure = send(bytes, length > 3 ? 3 : length);
  if (!failure.empty()) {
    reportDeviceError("Output Error", failure);
    exitWith(1);
  }
}

bool RtMidiPort::pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                           int waitMs) {
  return received_.popSysex(buffer, capacity, length, waitMs);
}

bool RtMidiPort::pollShort(std::uint32_t& word) { return received_.popShort(word); }

// RtMidi's input thread: only stores into the preallocated queues.
void RtMidiPort::onInput(double, std::vector<unsigned char>* message, void* port) {
  auto* self = static_cast<RtMidiPort*>(port);
  if (message == nullptr || message->empty()) return;
  if ((*message)[0] == 0xF0) {
    self->received_.pushSysex(message->data(), message->size());
    return;
  }
  std::uint32_t word = 0;
  for (std::size_t i = 0; i < message->size() && i < 3; ++i)
    word |= static_cast<std::uint32_t>((*message)[i]) << (8 * i);
  self->received_.pushShort(word);
}

void RtMidiPort::onInputError(RtMidiError::Type type, const std::string&, void* port) {
  if (type == RtMidiError::DEBUG_WARNING) return;
  static_cast<RtMidiPort*>(port)->signalError("MIM_ERROR");
}

void RtMidiPort::onOutputError(RtMidiError::Type type, const std::string& text, void* port) {
  // RtMidi reports a failed send as a warning, so every report but debug chatter counts.
  if (type == RtMidiError::DEBUG_WARNING) return;
  static_cast<RtMidiPort*>(port)->outputError_ = text;
}

}  // namespace plenum
