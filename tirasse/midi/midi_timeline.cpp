#include "tirasse/midi/midi_timeline.h"

#include <algorithm>

namespace tirasse {

namespace {

constexpr double kDefaultMicrosecondsPerQuarter = 500000;  // 120 beats per minute

struct MergedEvent {
  const MidiEvent* event;
  std::size_t track;
};

double smpteFramesPerSecond(std::uint16_t division) {
  const int frames = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
  return frames == 29 ? 29.97 : frames;
}

std::string smpteDivisionType(std::uint16_t division) {
  const int frames = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
  if (frames == 29) return "SMPTE 30 Drop Frame";
  return "SMPTE " + std::to_string(frames) + " Frame";
}

std::uint32_t tempoOf(const MidiEvent& event) {
  const Bytes& b = event.bytes;
  if (b.size() < 5) return 0;
  return (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 8) | b[4];
}

// Everything but meta events goes to the wire, continuation packets of a SysEx message
// included: they start with data bytes and go out at their own time, as the file has them.
bool isPlayable(const Bytes& bytes) { return !bytes.empty() && bytes[0] != 0xFF; }

}  // namespace

Timeline buildTimeline(const MidiFile& file) {
  std::vector<MergedEvent> merged;
  for (std::size_t t = 0; t < file.tracks.size(); ++t) {
    for (const MidiEvent& event : file.tracks[t].events) merged.push_back({&event, t});
  }
  std::stable_sort(merged.begin(), merged.end(), [](const MergedEvent& a, const MergedEvent& b) {
    return a.event->tick < b.event->tick;
  });

  Timeline timeline;
  double microsecondsPerTick;
  bool tempoFollows = !file.isSmpte();
  if (file.isSmpte()) {
    const double fps = smpteFramesPerSecond(file.division);
    microsecondsPerTick = 1e6 / (fps * (file.division & 0xFF));
    timeline.nominalTempo = fps;
    timeline.divisionType = smpteDivisionType(file.division);
  } else {
    microsecondsPerTick = kDefaultMicrosecondsPerQuarter / file.division;
    timeline.divisionType = "PPQN";
  }

  bool firstTempoSeen = false;
  double now = 0;
  std::uint32_t lastTick = 0;
  for (const MergedEvent& m : merged) {
    now += (m.event->tick - lastTick) * microsecondsPerTick;
    lastTick = m.event->tick;
    if (m.event->isMeta(kMetaTempo)) {
      const std::uint32_t tempo = tempoOf(*m.event);
      if (tempoFollows && tempo > 0) {
        microsecondsPerTick = static_cast<double>(tempo) / file.division;
        if (!firstTempoSeen) timeline.nominalTempo = 60e6 / tempo;
      }
      firstTempoSeen = true;
    } else if (isPlayable(m.event->bytes)) {
      timeline.messages.push_back({now, m.event->bytes});
    }
  }
  timeline.lengthMicroseconds = now;
  return timeline;
}

}  // namespace tirasse
