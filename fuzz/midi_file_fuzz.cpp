// Fuzz target: tirasse's standard MIDI file reader. What it accepts must write back as a
// format 0 file that reads again with the same events at the same times.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tirasse/midi/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tirasse::Bytes bytes(data, data + size);
  tirasse::MidiFile file;
  try {
    file = tirasse::parseMidiFile(bytes);
  } catch (const tirasse::MidiFileError&) {
    return 0;
  }
  if (file.format != 0 && file.format != 1) std::abort();
  for (const auto& track : file.tracks) {
    for (std::size_t i = 1; i < track.events.size(); ++i) {
      if (track.events[i].tick < track.events[i - 1].tick) std::abort();
    }
  }
  if (file.tracks.empty()) return 0;
  tirasse::MidiFile again;
  try {
    again = tirasse::parseMidiFile(tirasse::serializeMidiFileType0(file));
  } catch (const tirasse::MidiFileError&) {
    std::abort();  // our own writer produced a file our reader refuses
  }
  if (again.tracks.size() != 1) std::abort();

  // Format 0 holds every track's events merged in time order, one end of track at the end.
  std::vector<tirasse::MidiEvent> expected;
  for (const auto& track : file.tracks) {
    for (const auto& event : track.events) {
      if (!event.bytes.empty() && !event.isMeta(tirasse::kMetaEndOfTrack)) expected.push_back(event);
    }
  }
  std::stable_sort(expected.begin(), expected.end(),
                   [](const auto& a, const auto& b) { return a.tick < b.tick; });
  std::vector<tirasse::MidiEvent> read;
  for (const auto& event : again.tracks[0].events) {
    if (!event.isMeta(tirasse::kMetaEndOfTrack)) read.push_back(event);
  }
  if (read.size() != expected.size()) std::abort();
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (read[i].tick != expected[i].tick || read[i].bytes != expected[i].bytes) std::abort();
  }
  return 0;
}
