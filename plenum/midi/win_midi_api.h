#pragma once
// The Windows multimedia MIDI calls that WinMidi makes, behind one interface, so that its
// logic can be tried without a driver: tests put a scripted driver in its place and call
// the port's callbacks themselves.

#include <windows.h>
#include <mmsystem.h>

namespace plenum {

class WinMidiApi {
 public:
  virtual ~WinMidiApi() = default;

  virtual UINT inGetNumDevs() = 0;
  virtual MMRESULT inGetDevCaps(UINT_PTR device, MIDIINCAPSA* caps) = 0;
  virtual MMRESULT inOpen(HMIDIIN* handle, UINT device, DWORD_PTR callback, DWORD_PTR instance) = 0;
  virtual MMRESULT inPrepareHeader(HMIDIIN handle, MIDIHDR* header) = 0;
  virtual MMRESULT inUnprepareHeader(HMIDIIN handle, MIDIHDR* header) = 0;
  virtual MMRESULT inAddBuffer(HMIDIIN handle, MIDIHDR* header) = 0;
  virtual MMRESULT inStart(HMIDIIN handle) = 0;
  virtual MMRESULT inStop(HMIDIIN handle) = 0;
  virtual MMRESULT inReset(HMIDIIN handle) = 0;
  virtual MMRESULT inClose(HMIDIIN handle) = 0;
  virtual MMRESULT inGetErrorText(MMRESULT code, char* text, UINT size) = 0;

  virtual UINT outGetNumDevs() = 0;
  virtual MMRESULT outGetDevCaps(UINT_PTR device, MIDIOUTCAPSA* caps) = 0;
  virtual MMRESULT outOpen(HMIDIOUT* handle, UINT device, DWORD_PTR callback, DWORD_PTR instance) = 0;
  virtual MMRESULT outPrepareHeader(HMIDIOUT handle, MIDIHDR* header) = 0;
  virtual MMRESULT outUnprepareHeader(HMIDIOUT handle, MIDIHDR* header) = 0;
  virtual MMRESULT outLongMsg(HMIDIOUT handle, MIDIHDR* header) = 0;
  virtual MMRESULT outShortMsg(HMIDIOUT handle, DWORD message) = 0;
  virtual MMRESULT outReset(HMIDIOUT handle) = 0;
  virtual MMRESULT outClose(HMIDIOUT handle) = 0;
  virtual MMRESULT outGetErrorText(MMRESULT code, char* text, UINT size) = 0;
};

// The system's own calls (winmm). Lives for the whole run.
WinMidiApi& systemWinMidiApi();

}  // namespace plenum
