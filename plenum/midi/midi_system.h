#pragma once
// Which of RtMidi's MIDI systems (ALSA, JACK, CoreMIDI, WinMM) plenum uses. RtMidi's own
// default gives up when its first system is missing (no ALSA sequencer, say) instead of
// trying the next, so the choice is made here: the first system that can be reached and
// offers any device, else the first that can be reached at all.
//
// PLENUM_MIDI_API=alsa|jack|core|winmm forces one system.

#include <RtMidi.h>

#include <memory>
#include <optional>
#include <string>

namespace plenum {

// The system to use, or none when no MIDI system can be reached (then there are no
// devices). A PLENUM_MIDI_API value that names no compiled system ends the run (status 1).
std::optional<RtMidi::Api> chooseMidiSystem();

// RtMidi objects on the chosen system; nullptr when there is none.
std::unique_ptr<RtMidiIn> makeMidiIn(const std::string& clientName);
std::unique_ptr<RtMidiOut> makeMidiOut(const std::string& clientName);

}  // namespace plenum
