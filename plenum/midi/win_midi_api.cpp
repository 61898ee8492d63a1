#include "plenum/midi/win_midi_api.h"

namespace plenum {

namespace {

// Opens are always with a callback function; the header calls always pass the header's size.
class SystemWinMidiApi final : public WinMidiApi {
 public:
  UINT inGetNumDevs() override { return midiInGetNumDevs(); }
  MMRESULT inGetDevCaps(UINT_PTR device, MIDIINCAPSA* caps) override {
    return midiInGetDevCapsA(device, caps, sizeof *caps);
  }
  MMRESULT inOpen(HMIDIIN* handle, UINT device, DWORD_PTR callback, DWORD_PTR instance) override {
    return midiInOpen(handle, device, callback, instance, CALLBACK_FUNCTION);
  }
  MMRESULT inPrepareHeader(HMIDIIN handle, MIDIHDR* header) override {
    return midiInPrepareHeader(handle, header, sizeof *header);
  }
  MMRESULT inUnprepareHeader(HMIDIIN handle, MIDIHDR* header) override {
    return midiInUnprepareHeader(handle, header, sizeof *header);
  }
  MMRESULT inAddBuffer(HMIDIIN handle, MIDIHDR* header) override {
    return midiInAddBuffer(handle, header, sizeof *header);
  }
  MMRESULT inStart(HMIDIIN handle) override { return midiInStart(handle); }
  MMRESULT inStop(HMIDIIN handle) override { return midiInStop(handle); }
  MMRESULT inReset(HMIDIIN handle) override { return midiInReset(handle); }
  MMRESULT inClose(HMIDIIN handle) override { return midiInClose(handle); }
  MMRESULT inGetErrorText(MMRESULT code, char* text, UINT size) override {
    return midiInGetErrorTextA(code, text, size);
  }

  UINT outGetNumDevs() override { return midiOutGetNumDevs(); }
  MMRESULT outGetDevCaps(UINT_PTR device, MIDIOUTCAPSA* caps) override {
    return midiOutGetDevCapsA(device, caps, sizeof *caps);
  }
  MMRESULT outOpen(HMIDIOUT* handle, UINT device, DWORD_PTR callback, DWORD_PTR instance) override {
    return midiOutOpen(handle, device, callback, instance, CALLBACK_FUNCTION);
  }
  MMRESULT outPrepareHeader(HMIDIOUT handle, MIDIHDR* header) override {
    return midiOutPrepareHeader(handle, header, sizeof *header);
  }
  MMRESULT outUnprepareHeader(HMIDIOUT handle, MIDIHDR* header) override {
    return midiOutUnprepareHeader(handle, header, sizeof *header);
  }
  MMRESULT outLongMsg(HMIDIOUT handle, MIDIHDR* header) override {
    return midiOutLongMsg(handle, header, sizeof *header);
  }
  MMRESULT outShortMsg(HMIDIOUT handle, DWORD message) override {
    return midiOutShortMsg(handle, message);
  }
  MMRESULT outReset(HMIDIOUT handle) override { return midiOutReset(handle); }
  MMRESULT outClose(HMIDIOUT handle) override { return midiOutClose(handle); }
  MMRESULT outGetErrorText(MMRESULT code, char* text, UINT size) override {
    return midiOutGetErrorTextA(code, text, size);
  }
};

}  // namespace

WinMidiApi& systemWinMidiApi() {
  static auto* api = new SystemWinMidiApi();  // never destroyed: exit handlers close the port late
  return *api;
}

}  // namespace plenum
