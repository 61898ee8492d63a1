#pragma once
// The system's MIDI devices, the same for plenum and its front end: which of RtMidi's MIDI
// systems (ALSA, JACK, CoreMIDI) is used, its devices numbered from 0 as -i and -o count
// them, and opening one of them by that number. RtMidi's own default gives up when its first
// system is missing (no ALSA sequencer, say) instead of trying the next, so the choice is
// made here: the first system that can be reached and offers any device, else the first
// that can be reached at all. PLENUM_MIDI_API=alsa|jack|core forces one system.
//
// Nothing here prints through the libraries: RtMidi's warnings, ALSA's and JACK's own
// reports are silenced, and what matters comes back as values for the caller to word.

#include <RtMidi.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "plenum/midi/device_choice.h"

namespace plenum {

// The system to use, or none when no MIDI system can be reached (then there are no
// devices). A PLENUM_MIDI_API value that names no compiled system ends the run (status 1).
// With debug bit 0x1 the first choice of a run prints one line naming the systems tried.
std::optional<RtMidi::Api> chooseMidiSystem();

// RtMidi objects on the chosen system, not yet open; nullptr when there is none.
std::unique_ptr<RtMidiIn> makeMidiIn(const std::string& clientName);
std::unique_ptr<RtMidiOut> makeMidiOut(const std::string& clientName);

// The names of the chosen system's devices, in the order of their numbers.
std::vector<std::string> midiDeviceNames(MidiDirection direction);

// Opens device `number` of the chosen system as `portName` of client `clientName`;
// `prepare` runs on the input before it opens (callbacks, filters). On failure returns
// nullptr and `reason` says why: no such device, or the system's refusal.
std::unique_ptr<RtMidiIn> openMidiInput(int number, const std::string& clientName,
                                        const std::string& portName,
                                        const std::function<void(RtMidiIn&)>& prepare,
                                        std::string& reason);
std::unique_ptr<RtMidiOut> openMidiOutput(int number, const std::string& clientName,
                                          const std::string& portName, std::string& reason);

}  // namespace plenum
