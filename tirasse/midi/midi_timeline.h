#pragma once
// A MIDI file laid out in time: every track merged, ticks turned into microseconds through
// the file's tempo map, meta events dropped.

#include <string>
#include <vector>

#include "tirasse/midi/midi_file.h"

namespace tirasse {

struct TimedMessage {
  double microseconds = 0;
  Bytes bytes;  // a message as sent on the wire
};

struct Timeline {
  std::vector<TimedMessage> messages;  // in time order
  double lengthMicroseconds = 0;
  // Beats per minute of the first tempo (120 when the file gives none); frames per second
  // for SMPTE files. Speed changes are given relative to it.
  double nominalTempo = 120;
  std::string divisionType;  // "PPQN" or "SMPTE 25 Frame" and the like
};

Timeline buildTimeline(const MidiFile& file);

}  // namespace tirasse
