#pragma once
// The MIDI port of the Windows build, over the multimedia MIDI interface (midiIn*/midiOut*).
// The driver calls back on its own thread; the callbacks only push onto lock-free queues
// (short messages, filled input buffers, finished output buffers) or store an error text,
// and the main thread takes from there. Filled input buffers go back to the driver once
// their bytes are copied out; finished output buffers are reused by the next SysEx sent.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "plenum/midi/midi.h"
#include "plenum/midi/ring_queue.h"
#include "plenum/midi/signalled_queue.h"
#include "plenum/midi/win_midi_api.h"

namespace plenum {

class WinMidi final : public Midi {
 public:
  static constexpr std::size_t kInputBuffers = 4;
  static constexpr std::size_t kShortSlots = 400;
  static constexpr std::size_t kFinishedOutputSlots = 4;

  // A device number that leaves that side closed: the front end's player needs only an
  // output, its recorder only an input.
  static constexpr int kNotOpened = std::numeric_limits<int>::min();

  // Opens input and output device together, chosen from the -i / -o numbers (negative:
  // choose by the device rules). Never returns half open: every failure prints its message
  // and ends the run (ExitRequest), leaving no device open.
  WinMidi(int inputDevice, int outputDevice, WinMidiApi& api = systemWinMidiApi());
  ~WinMidi() override;

  int sendSysex(const std::uint8_t* bytes, std::size_t length) override;
  void sendShort(const std::uint8_t* bytes, std::size_t length) override;
  bool pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                 int waitMs) override;
  bool pollShort(std::uint32_t& word) override;

  // The driver's callbacks; `instance` is the port. Public so that tests can play the driver.
  static void CALLBACK onInput(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                               DWORD_PTR param2);
  static void CALLBACK onOutput(HMIDIOUT handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                DWORD_PTR param2);

 private:
  struct OutputBuffer {
    MIDIHDR header{};
    std::vector<std::uint8_t> bytes;
  };

  void openInput(int inputDevice);
  void openOutput(int outputDevice);
  void addInputBuffers();
  void startInput();
  // Gives a filled input buffer back to the driver.
  void handBack(MIDIHDR& header);
  OutputBuffer& outputBufferForSending();
  void closeInput();
  void closeOutput();
  // Closes whatever a failed constructor left open, printing nothing.
  void abandon();

  // "caption:\ntext" with the driver's text for code; nothing when code is 0.
  void reportInputError(MMRESULT code, const char* caption, bool fatal);
  void reportOutputError(MMRESULT code, const char* caption);

  WinMidiApi& api_;
  RingQueue<std::uint32_t, kShortSlots> shortQueue_;
  // One slot more than there are input buffers, so a filled buffer always finds room and
  // none is lost to the driver for good.
  SignalledQueue<MIDIHDR*, kInputBuffers + 1> sysexInQueue_;
  // Buffers the driver gave back holding a broken SysEx: not delivered, but handed back
  // to the driver by the next pollSysex, else four such errors would end all SysEx input.
  RingQueue<MIDIHDR*, kInputBuffers + 1> brokenSysexQueue_;
  RingQueue<MIDIHDR*, kFinishedOutputSlots> sysexOutQueue_;
  std::array<MIDIHDR, kInputBuffers> inHeaders_{};
  std::array<std::array<char, kSysexBufferSize>, kInputBuffers> inBytes_{};
  // Every output buffer ever handed to the driver; touched by the main thread only.
  std::vector<std::unique_ptr<OutputBuffer>> outBuffers_;
  HMIDIIN inHandle_ = nullptr;
  HMIDIOUT outHandle_ = nullptr;
};

// Names of the devices, numbered from 0 as -i and -o count them; "" for a device whose
// capabilities cannot be read.
std::vector<std::string> winMidiInputNames(WinMidiApi& api);
std::vector<std::string> winMidiOutputNames(WinMidiApi& api);

}  // namespace plenum
