#pragma once
// Standard MIDI files: read formats 0 and 1, write format 0. Files come from anywhere, so the
// reader checks every length against the bytes that are really there and reports what is
// wrong in words instead of reading past the end.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tirasse {

using Bytes = std::vector<std::uint8_t>;

// One event at its absolute tick. `bytes` is the message as sent on the wire (status byte
// included, running status expanded) for channel messages and SysEx (starting 0xF0); meta
// events keep 0xFF, the type and the data (no length).
struct MidiEvent {
  std::uint32_t tick = 0;
  Bytes bytes;

  bool isMeta() const { return !bytes.empty() && bytes[0] == 0xFF; }
  bool isMeta(std::uint8_t type) const { return isMeta() && bytes.size() >= 2 && bytes[1] == type; }
};

struct MidiTrack {
  std::vector<MidiEvent> events;  // in tick order
};

constexpr std::uint8_t kMetaTempo = 0x51;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;

struct MidiFile {
  int format = 0;
  std::uint16_t division = 480;  // ticks per quarter note, or SMPTE when the top bit is set
  std::vector<MidiTrack> tracks;

  bool isSmpte() const { return (division & 0x8000) != 0; }
};

class MidiFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws MidiFileError with the reason when the bytes are not a standard MIDI file of
// format 0 or 1.
MidiFile parseMidiFile(const Bytes& data);
// `path` is UTF-8 text.
MidiFile readMidiFile(const std::string& path);

// Format 0: every track's events merged into one track, end-of-track written once.
Bytes serializeMidiFileType0(const MidiFile& file);
void writeMidiFileType0(const std::string& path, const MidiFile& file);

}  // namespace tirasse
