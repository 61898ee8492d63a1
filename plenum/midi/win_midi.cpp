#include "plenum/midi/win_midi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "plenum/midi/device_choice.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {

template <typename Caps>
std::string nameIn(const Caps& caps) {
  return std::string(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname));
}

// Each device's name in device order; a device whose caps cannot be read keeps its number
// with an empty name.
template <typename Caps, typename GetCaps>
std::vector<std::string> deviceNames(UINT count, GetCaps getCaps) {
  std::vector<std::string> names;
  for (UINT device = 0; device < count; ++device) {
    Caps caps{};
    names.push_back(getCaps(device, &caps) == MMSYSERR_NOERROR ? nameIn(caps) : std::string());
  }
  return names;
}

// The driver's own text for a result code; the text has no line end.
template <typename GetText>
void printDeviceError(MMRESULT code, const char* caption, GetText getText) {
  char text[256] = "";
  getText(code, text, static_cast<UINT>(sizeof text));
  text[sizeof text - 1] = '\0';
  std::printf("%s:\n%s", caption, text);
}

}  // namespace

std::vector<std::string> winMidiInputNames(WinMidiApi& api) {
  return deviceNames<MIDIINCAPSA>(api.inGetNumDevs(), [&](UINT device, MIDIINCAPSA* caps) {
    return api.inGetDevCaps(device, caps);
  });
}

std::vector<std::string> winMidiOutputNames(WinMidiApi& api) {
  return deviceNames<MIDIOUTCAPSA>(api.outGetNumDevs(), [&](UINT device, MIDIOUTCAPSA* caps) {
    return api.outGetDevCaps(device, caps);
  });
}

WinMidi::WinMidi(int inputDevice, int outputDevice, WinMidiApi& api) : api_(api) {
  const std::vector<std::string> inputs = winMidiInputNames(api_);
  const std::vector<std::string> outputs = winMidiOutputNames(api_);
  const bool withInput = inputDevice != kNotOpened;
  const bool withOutput = outputDevice != kNotOpened;
  if (withInput) requireSomeDevice(MidiDirection::Input, inputs);
  if (withOutput) requireSomeDevice(MidiDirection::Output, outputs);
  try {
    if (withInput) openInput(chooseDevice(MidiDirection::Input, inputDevice, inputs));
    if (withOutput) openOutput(chooseDevice(MidiDirection::Output, outputDevice, outputs));
    (void)takeError(true);  // whatever the driver said while opening is not news
    if (withInput) {
      addInputBuffers();
      startInput();
    }
  } catch (...) {
    // No destructor runs for a half-made port, and an open device would call back into it.
    abandon();
    throw;
  }
}

void WinMidi::openInput(int inputDevice) {
  const MMRESULT result = api_.inOpen(&inHandle_, static_cast<UINT>(inputDevice),
                                      reinterpret_cast<DWORD_PTR>(&WinMidi::onInput),
                                      reinterpret_cast<DWORD_PTR>(this));
  if (result != MMSYSERR_NOERROR) inHandle_ = nullptr;
  reportInputError(result, "An error has occurred opening the MIDI input device:", true);
}

void WinMidi::openOutput(int outputDevice) {
  const MMRESULT result = api_.outOpen(&outHandle_, static_cast<UINT>(outputDevice),
                                       reinterpret_cast<DWORD_PTR>(&WinMidi::onOutput),
                                       reinterpret_cast<DWORD_PTR>(this));
  if (result != MMSYSERR_NOERROR) outHandle_ = nullptr;
  reportOutputError(result, "An error has occurred opening the MIDI output device");
}

void WinMidi::addInputBuffers() {
  for (std::size_t i = 0; i < kInputBuffers; ++i) {
    MIDIHDR& header = inHeaders_[i];
    header = MIDIHDR{};
    header.lpData = inBytes_[i].data();
    header.dwBufferLength = kSysexBufferSize;
    handBack(header);
  }
}

void WinMidi::startInput() {
  if (api_.inStart(inHandle_) == MMSYSERR_NOERROR) return;
  std::puts("Error in midiInStart()");
  exitWith(1);
}

void WinMidi::handBack(MIDIHDR& header) {
  reportInputError(api_.inPrepareHeader(inHandle_, &header), "midiInPrepareHeader", true);
  reportInputError(api_.inAddBuffer(inHandle_, &header), "midiInAddBuffer", true);
}

WinMidi::~WinMidi() {
  if (inHandle_ != nullptr) closeInput();
  if (outHandle_ != nullptr) closeOutput();
  if (inHandle_ != nullptr) (void)api_.inClose(inHandle_);
}

void WinMidi::closeInput() {
  reportInputError(api_.inStop(inHandle_), "An error has occurred in midiInStop", false);
  // Returns the buffers still waiting in the driver, so that they can be unprepared.
  reportInputError(api_.inReset(inHandle_), "An error has occurred in midiInReset", false);
  for (MIDIHDR& header : inHeaders_)
    reportInputError(api_.inUnprepareHeader(inHandle_, &header), "Error in midiInUnprepareHeader", false);
}

void WinMidi::closeOutput() {
  // Finished buffers are unprepared here; one still in the driver refuses and stays as it is.
  const auto unprepareAll = [this] {
    for (const auto& buffer : outBuffers_)
      if ((buffer->header.dwFlags & MHDR_PREPARED) != 0) (void)api_.outUnprepareHeader(outHandle_, &buffer->header);
  };
  unprepareAll();
  if (api_.outClose(outHandle_) != MIDIERR_STILLPLAYING) return;
  // A SysEx still in the driver would be written from and called back after this port is
  // gone. Only a reset makes the driver give it back at once.
  (void)api_.outReset(outHandle_);
  unprepareAll();
  (void)api_.outClose(outHandle_);
}

void WinMidi::abandon() {
  if (inHandle_ != nullptr) {
    (void)api_.inReset(inHandle_);
    for (MIDIHDR& header : inHeaders_)
      if ((header.dwFlags & MHDR_PREPARED) != 0) (void)api_.inUnprepareHeader(inHandle_, &header);
    (void)api_.inClose(inHandle_);
  }
  if (outHandle_ != nullptr) (void)api_.outClose(outHandle_);
}

void WinMidi::reportInputError(MMRESULT code, const char* caption, bool fatal) {
  if (code == MMSYSERR_NOERROR) return;
  printDeviceError(code, caption,
                   [this](MMRESULT c, char* text, UINT size) { return api_.inGetErrorText(c, text, size); });
  if (fatal) exitWith(1);
}

void WinMidi::reportOutputError(MMRESULT code, const char* caption) {
  if (code == MMSYSERR_NOERROR) return;
  printDeviceError(code, caption,
                   [this](MMRESULT c, char* text, UINT size) { return api_.outGetErrorText(c, text, size); });
  exitWith(1);
}

WinMidi::OutputBuffer& WinMidi::outputBufferForSending() {
  MIDIHDR* finished = nullptr;
  if (sysexOutQueue_.pop(finished)) {
    if (api_.outUnprepareHeader(outHandle_, finished) != MMSYSERR_NOERROR) {
      std::puts("Error in midiOutUnprepareHeader");
      exitWith(1);
    }
    const auto owner = std::find_if(outBuffers_.begin(), outBuffers_.end(),
                                    [finished](const auto& buffer) { return &buffer->header == finished; });
    if (owner != outBuffers_.end()) return **owner;
    // Not one of ours: a driver fault, and nothing of ours to reuse.
  }
  outBuffers_.push_back(std::make_unique<OutputBuffer>());
  return *outBuffers_.back();
}

int WinMidi::sendSysex(const std::uint8_t* bytes, std::size_t length) {
  OutputBuffer& buffer = outputBufferForSending();
  buffer.bytes.assign(bytes, bytes + length);
  buffer.header = MIDIHDR{};
  buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.bytes.data());
  buffer.header.dwBufferLength = static_cast<DWORD>(length);
  if (api_.outPrepareHeader(outHandle_, &buffer.header) != MMSYSERR_NOERROR) {
    std::puts("Error in midiOutPrepareHeader()");
    exitWith(2);
  }
  traceSending(bytes, length);
  if (api_.outLongMsg(outHandle_, &buffer.header) != MMSYSERR_NOERROR) {
    std::puts("Error in midiOutLongMsg()");
    exitWith(2);
  }
  return 0;
}

void WinMidi::sendShort(const std::uint8_t* bytes, std::size_t length) {
  if (length == 0) return;
  DWORD word = 0;
  for (std::size_t i = 0; i < length && i < 3; ++i) word |= static_cast<DWORD>(bytes[i]) << (8 * i);
  reportOutputError(api_.outShortMsg(outHandle_, word), "Output Error");
}

bool WinMidi::pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length, int waitMs) {
  MIDIHDR* header = nullptr;
  while (brokenSysexQueue_.pop(header)) handBack(*header);
  if (!sysexInQueue_.pop(header, waitMs)) return false;
  if (header->dwBytesRecorded > capacity) endRunBufferTooShort();
  std::memcpy(buffer, header->lpData, header->dwBytesRecorded);
  length = header->dwBytesRecorded;
  handBack(*header);
  return true;
}

bool WinMidi::pollShort(std::uint32_t& word) { return shortQueue_.pop(word); }

// The driver's thread: store one word and return; no allocation, no printing, no driver call.
void CALLBACK WinMidi::onInput(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
  auto* port = reinterpret_cast<WinMidi*>(instance);
  switch (message) {
    case MIM_OPEN:
    case MIM_CLOSE:
      break;
    case MIM_DATA:  // packed status | d1 << 8 | d2 << 16; the time stamp is not kept
      (void)port->shortQueue_.push(static_cast<std::uint32_t>(param1));
      break;
    case MIM_LONGDATA:
      (void)port->sysexInQueue_.push(reinterpret_cast<MIDIHDR*>(param1));
      break;
    case MIM_ERROR:
      port->signalError("MIM_ERROR");
      break;
    case MIM_LONGERROR:
      (void)port->brokenSysexQueue_.push(reinterpret_cast<MIDIHDR*>(param1));
      port->signalError("MIM_LONGERROR");
      break;
    case MIM_MOREDATA:
      port->signalError("MIM_MOREDATA");
      break;
    default:
      port->signalError("default");
      break;
  }
}

void CALLBACK WinMidi::onOutput(HMIDIOUT, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
  if (message != MOM_DONE) return;
  // When the queue is full the buffer is not reused; the port still owns it.
  (void)reinterpret_cast<WinMidi*>(instance)->sysexOutQueue_.push(reinterpret_cast<MIDIHDR*>(param1));
}

}  // namespace plenum
