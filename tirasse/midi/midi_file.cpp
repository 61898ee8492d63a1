#include "tirasse/midi/midi_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "tirasse/core/utf8_path.h"

namespace tirasse {

namespace {

// Files larger than this are not MIDI files anyone plays on an organ; refusing them keeps a
// wrong file choice from exhausting memory.
constexpr std::size_t kLargestFile = 64u * 1024u * 1024u;

class ByteReader {
 public:
  ByteReader(const Bytes& data, std::size_t begin, std::size_t end)
      : data_(data), pos_(begin), end_(end) {}

  bool atEnd() const { return pos_ >= end_; }
  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return end_ - pos_; }

  std::uint8_t byte(const char* what) {
    if (atEnd()) throw MidiFileError(std::string("The file ends inside ") + what);
    return data_[pos_++];
  }
  std::uint8_t peek() const { return data_[pos_]; }
  std::uint32_t big(int count, const char* what) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | byte(what);
    return value;
  }
  // Variable-length quantity: at most four bytes, seven bits each.
  std::uint32_t variable(const char* what) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const std::uint8_t b = byte(what);
      value = (value << 7) | (b & 0x7F);
      if ((b & 0x80) == 0) return value;
    }
    throw MidiFileError(std::string("A variable-length number longer than four bytes in ") + what);
  }
  Bytes take(std::size_t count, const char* what) {
    if (count > remaining()) throw MidiFileError(std::string("The file ends inside ") + what);
    Bytes out(data_.begin() + static_cast<std::ptrdiff_t>(pos_),
              data_.begin() + static_cast<std::ptrdiff_t>(pos_ + count));
    pos_ += count;
    return out;
  }
  void skip(std::size_t count) { pos_ += std::min(count, remaining()); }

 private:
  const Bytes& data_;
  std::size_t pos_;
  std::size_t end_;
};

std::size_t dataBytesOf(std::uint8_t status) {
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
      return 1;
    default:
      return 2;
  }
}

// A whole channel message: a status byte below 0xF0 and exactly its data bytes. The bytes
// of a raw (0xF7) packet may start like one and still be something else.
bool isChannelMessage(const Bytes& bytes) {
  if (bytes.empty() || bytes[0] < 0x80 || bytes[0] >= 0xF0) return false;
  if (bytes.size() != 1 + dataBytesOf(bytes[0])) return false;
  return std::all_of(bytes.begin() + 1, bytes.end(), [](std::uint8_t b) { return b < 0x80; });
}

MidiTrack parseTrack(ByteReader reader) {
  MidiTrack track;
  std::uint32_t tick = 0;
  std::uint8_t runningStatus = 0;
  while (!reader.atEnd()) {
    const std::uint32_t delta = reader.variable("an event time");
    if (delta > UINT32_MAX - tick) throw MidiFileError("The event times overflow");
    tick += delta;
    MidiEvent event;
    event.tick = tick;
    std::uint8_t status = reader.byte("an event");
    if (status < 0xF0) {
      const bool running = status < 0x80;
      if (running && runningStatus == 0) throw MidiFileError("A data byte without a status byte");
      if (!running) runningStatus = status;
      event.bytes.push_back(runningStatus);
      if (running) event.bytes.push_back(status);  // the byte read was the first data byte
      while (event.bytes.size() < 1u + dataBytesOf(runningStatus)) {
        event.bytes.push_back(reader.byte("an event"));
      }
      for (std::size_t i = 1; i < event.bytes.size(); ++i) {
        if (event.bytes[i] >= 0x80) throw MidiFileError("A status byte where a data byte belongs");
      }
    } else if (status == 0xF0 || status == 0xF7) {
      runningStatus = 0;
      const std::uint32_t length = reader.variable("a SysEx event");
      Bytes data = reader.take(length, "a SysEx event");
      // 0xF0 packets are SysEx messages; 0xF7 packets are raw bytes sent as they stand.
      if (status == 0xF0) event.bytes.push_back(0xF0);
      event.bytes.insert(event.bytes.end(), data.begin(), data.end());
    } else if (status == 0xFF) {
      runningStatus = 0;
      const std::uint8_t type = reader.byte("a meta event");
      const std::uint32_t length = reader.variable("a meta event");
      Bytes data = reader.take(length, "a meta event");
      event.bytes = {0xFF, type};
      event.bytes.insert(event.bytes.end(), data.begin(), data.end());
      if (type == kMetaEndOfTrack) {
        track.events.push_back(std::move(event));
        break;
      }
    } else {
      throw MidiFileError("An event with the status byte " + std::to_string(status) +
                          ", which a MIDI file cannot hold");
    }
    if (!event.bytes.empty()) track.events.push_back(std::move(event));
  }
  return track;
}

void putBig(Bytes& out, std::uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void putVariable(Bytes& out, std::uint32_t value) {
  std::uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (n > 1) out.push_back(groups[--n] | 0x80);
  out.push_back(groups[0]);
}

}  // namespace

MidiFile parseMidiFile(const Bytes& data) {
  if (data.size() < 14 || !std::equal(data.begin(), data.begin() + 4, "MThd")) {
    throw MidiFileError("The file does not start with a MIDI file header (MThd)");
  }
  ByteReader header(data, 4, data.size());
  const std::uint32_t headerLength = header.big(4, "the header");
  if (headerLength < 6 || headerLength > header.remaining()) {
    throw MidiFileError("The MIDI file header has a wrong length");
  }
  MidiFile file;
  file.format = static_cast<int>(header.big(2, "the header"));
  const std::uint32_t trackCount = header.big(2, "the header");
  file.division = static_cast<std::uint16_t>(header.big(2, "the header"));
  if (file.format != 0 && file.format != 1) {
    throw MidiFileError("MIDI files of format " + std::to_string(file.format) +
                        " cannot be played");
  }
  if (file.format == 0 && trackCount != 1) {
    throw MidiFileError("A format 0 MIDI file must hold one track, this one declares " +
                        std::to_string(trackCount));
  }
  if (file.division == 0) throw MidiFileError("The MIDI file gives 0 ticks per quarter note");
  if (file.isSmpte() && (file.division & 0xFF) == 0) {
    throw MidiFileError("The MIDI file gives 0 ticks per SMPTE frame");
  }

  std::size_t pos = 8 + headerLength;
  while (pos < data.size() && file.tracks.size() < trackCount) {
    if (data.size() - pos < 8) throw MidiFileError("The file ends inside a chunk header");
    ByteReader chunk(data, pos + 4, data.size());
    const std::uint32_t length = chunk.big(4, "a chunk header");
    if (length > chunk.remaining()) throw MidiFileError("A track is longer than the file");
    const bool isTrack = std::equal(data.begin() + static_cast<std::ptrdiff_t>(pos),
                                    data.begin() + static_cast<std::ptrdiff_t>(pos + 4), "MTrk");
    if (isTrack) file.tracks.push_back(parseTrack(ByteReader(data, pos + 8, pos + 8 + length)));
    pos += 8 + static_cast<std::size_t>(length);  // chunks of other kinds are skipped
  }
  if (file.tracks.size() != trackCount) {
    throw MidiFileError("The MIDI file declares " + std::to_string(trackCount) +
                        " tracks but holds " + std::to_string(file.tracks.size()));
  }
  return file;
}

MidiFile readMidiFile(const std::string& path) {
  std::ifstream in(pathFromUtf8(path), std::ios::binary);
  if (!in) throw MidiFileError("The file cannot be opened");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::size_t>(size) > kLargestFile) {
    throw MidiFileError("The file is too large to be a MIDI file");
  }
  in.seekg(0);
  Bytes data(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(data.data()), size);
  if (!in) throw MidiFileError("The file cannot be read");
  return parseMidiFile(data);
}

Bytes serializeMidiFileType0(const MidiFile& file) {
  std::vector<const MidiEvent*> events;
  for (const MidiTrack& track : file.tracks) {
    for (const MidiEvent& event : track.events) {
      if (!event.bytes.empty() && !event.isMeta(kMetaEndOfTrack)) events.push_back(&event);
    }
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const MidiEvent* a, const MidiEvent* b) { return a->tick < b->tick; });
  std::uint32_t lastTick = 0;
  for (const MidiTrack& track : file.tracks) {
    if (!track.events.empty()) lastTick = std::max(lastTick, track.events.back().tick);
  }

  Bytes body;
  std::uint32_t tick = 0;
  for (const MidiEvent* event : events) {
    putVariable(body, event->tick - tick);
    tick = event->tick;
    const Bytes& b = event->bytes;
    if (b[0] == 0xFF) {
      body.push_back(0xFF);
      body.push_back(b.size() > 1 ? b[1] : 0);
      const std::size_t length = b.size() > 2 ? b.size() - 2 : 0;
      putVariable(body, static_cast<std::uint32_t>(length));
      if (length) body.insert(body.end(), b.begin() + 2, b.end());
    } else if (b[0] == 0xF0) {
      body.push_back(0xF0);
      putVariable(body, static_cast<std::uint32_t>(b.size() - 1));
      body.insert(body.end(), b.begin() + 1, b.end());
    } else if (!isChannelMessage(b)) {
      // Other system messages, and raw packets read from a file, travel as raw packets.
      body.push_back(0xF7);
      putVariable(body, static_cast<std::uint32_t>(b.size()));
      body.insert(body.end(), b.begin(), b.end());
    } else {
      body.insert(body.end(), b.begin(), b.end());
    }
  }
  putVariable(body, std::max(lastTick, tick) - tick);
  body.insert(body.end(), {0xFF, kMetaEndOfTrack, 0x00});

  Bytes out{'M', 'T', 'h', 'd'};
  putBig(out, 6, 4);
  putBig(out, 0, 2);
  putBig(out, 1, 2);
  putBig(out, file.division, 2);
  out.insert(out.end(), {'M', 'T', 'r', 'k'});
  putBig(out, static_cast<std::uint32_t>(body.size()), 4);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

void writeMidiFileType0(const std::string& path, const MidiFile& file) {
  const Bytes data = serializeMidiFileType0(file);
  std::ofstream out(pathFromUtf8(path), std::ios::binary | std::ios::trunc);
  if (!out) throw MidiFileError("The file cannot be created");
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) throw MidiFileError("The file cannot be written completely");
}

}  // namespace tirasse
