#include "tirasse/midi/midi_file.h"

#include <gtest/gtest.h>

#include "tirasse/core/test_scratch_folder.h"

namespace tirasse {
namespace {

Bytes header(int format, int tracks, int division) {
  return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<std::uint8_t>(format), 0,
          static_cast<std::uint8_t>(tracks), static_cast<std::uint8_t>(division >> 8),
          static_cast<std::uint8_t>(division)};
}

Bytes track(const Bytes& body) {
  Bytes out{'M', 'T', 'r', 'k', 0, 0, static_cast<std::uint8_t>(body.size() >> 8),
            static_cast<std::uint8_t>(body.size())};
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes file(Bytes head, std::initializer_list<Bytes> tracks) {
  for (const Bytes& t : tracks) head.insert(head.end(), t.begin(), t.end());
  return head;
}

TEST(MidiFile, ReadsRunningStatusSysexAndMeta) {
  const Bytes data = file(header(0, 1, 96), {track({
      0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo 500000
      0x00, 0x90, 60, 100,                        // note on
      0x60, 62, 90,                               // running status, 96 ticks later
      0x81, 0x00, 0x80, 60, 0,                    // delta 128 (two-byte quantity)
      0x00, 0xF0, 0x03, 0x47, 0x01, 0xF7,         // SysEx
      0x00, 0xC2, 5,                              // program change: one data byte
      0x10, 0xFF, 0x2F, 0x00,
  })});
  const MidiFile midi = parseMidiFile(data);
  EXPECT_EQ(midi.format, 0);
  EXPECT_EQ(midi.division, 96);
  ASSERT_EQ(midi.tracks.size(), 1u);
  const auto& e = midi.tracks[0].events;
  ASSERT_EQ(e.size(), 7u);
  EXPECT_TRUE(e[0].isMeta(kMetaTempo));
  EXPECT_EQ(e[2].bytes, (Bytes{0x90, 62, 90}));
  EXPECT_EQ(e[2].tick, 96u);
  EXPECT_EQ(e[3].tick, 224u);
  EXPECT_EQ(e[4].bytes, (Bytes{0xF0, 0x47, 0x01, 0xF7}));
  EXPECT_EQ(e[5].bytes, (Bytes{0xC2, 5}));
  EXPECT_EQ(e[6].tick, 240u);
  EXPECT_TRUE(e[6].isMeta(kMetaEndOfTrack));
}

TEST(MidiFile, Type1TracksAndUnknownChunks) {
  Bytes extra{'X', 'F', 'I', 'H', 0, 0, 0, 2, 1, 2};
  Bytes data = header(1, 2, 480);
  data.insert(data.end(), extra.begin(), extra.end());
  for (const Bytes& t : {track({0x00, 0xFF, 0x2F, 0x00}), track({0x05, 0x91, 1, 2, 0x00, 0xFF, 0x2F, 0x00})}) {
    data.insert(data.end(), t.begin(), t.end());
  }
  const MidiFile midi = parseMidiFile(data);
  EXPECT_EQ(midi.format, 1);
  ASSERT_EQ(midi.tracks.size(), 2u);
  EXPECT_EQ(midi.tracks[1].events[0].tick, 5u);
}

TEST(MidiFile, Type0RoundTripMergesTracks) {
  MidiFile midi;
  midi.format = 1;
  midi.division = 120;
  MidiTrack a, b;
  a.events = {{0, {0xFF, kMetaTempo, 0x0F, 0x42, 0x40}}, {10, {0x90, 60, 64}}, {50, {0x80, 60, 0}},
              {60, {0xFF, kMetaEndOfTrack}}};
  b.events = {{20, {0xF0, 0x7E, 0x7F, 0xF7}}, {30, {0xB3, 7, 100}}, {400, {0xFF, kMetaEndOfTrack}}};
  midi.tracks = {a, b};
  const MidiFile back = parseMidiFile(serializeMidiFileType0(midi));
  EXPECT_EQ(back.format, 0);
  EXPECT_EQ(back.division, 120);
  ASSERT_EQ(back.tracks.size(), 1u);
  const auto& e = back.tracks[0].events;
  ASSERT_EQ(e.size(), 6u);
  const std::uint32_t ticks[] = {0, 10, 20, 30, 50, 400};
  for (std::size_t i = 0; i < e.size(); ++i) EXPECT_EQ(e[i].tick, ticks[i]) << i;
  EXPECT_EQ(e[2].bytes, (Bytes{0xF0, 0x7E, 0x7F, 0xF7}));
  EXPECT_EQ(e[3].bytes, (Bytes{0xB3, 7, 100}));
  EXPECT_TRUE(e[5].isMeta(kMetaEndOfTrack));
}

TEST(MidiFile, RoundTripThroughADiskFile) {
  TestScratchFolder dir;
  ASSERT_TRUE(dir.isValid());
  MidiFile midi;
  MidiTrack t;
  // A long delta needs the full four-byte variable-length form.
  t.events = {{0, {0x90, 1, 2}}, {0x0FFFFFFF, {0x80, 1, 0}}, {0x0FFFFFFF, {0xFF, kMetaEndOfTrack}}};
  midi.tracks = {t};
  // Names outside Latin-1 and outside the Basic Multilingual Plane are files like any other.
  for (const char* name : {"take.mid", "орган.mid", "𝄞.mid"}) {
    const std::string path = dir.text(name);
    writeMidiFileType0(path, midi);
    const MidiFile back = readMidiFile(path);
    ASSERT_EQ(back.tracks[0].events.size(), 3u) << name;
    EXPECT_EQ(back.tracks[0].events[1].tick, 0x0FFFFFFFu) << name;
  }
  EXPECT_THROW(readMidiFile(dir.text("missing.mid")), MidiFileError);
  EXPECT_THROW(writeMidiFileType0(dir.text("no/such/folder/x.mid"), midi), MidiFileError);
}

TEST(MidiFile, MalformedFilesGiveAReason) {
  const Bytes eot{0x00, 0xFF, 0x2F, 0x00};
  Bytes longHeader = header(0, 1, 96);
  longHeader[7] = 200;
  Bytes badTrackLength = file(header(0, 1, 96), {track(eot)});
  badTrackLength[14 + 7] = 0xFF;
  struct Case {
    const char* what;
    Bytes data;
  } cases[] = {
      {"empty", {}},
      {"not a header", {'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}},
      {"header too long", longHeader},
      {"format 2", file(header(2, 1, 96), {track(eot)})},
      {"format 0 with two tracks", file(header(0, 2, 96), {track(eot), track(eot)})},
      {"zero division", file(header(0, 1, 0), {track(eot)})},
      {"missing track", header(1, 2, 96)},
      {"track longer than file", badTrackLength},
      {"truncated chunk header", file(header(0, 1, 96), {{'M', 'T', 'r'}})},
      {"running status at start", file(header(0, 1, 96), {track({0x00, 0x40, 0x40})})},
      {"event cut short", file(header(0, 1, 96), {track({0x00, 0x90, 60})})},
      {"status inside data", file(header(0, 1, 96), {track({0x00, 0x90, 60, 0x90})})},
      {"endless quantity", file(header(0, 1, 96), {track({0xFF, 0xFF, 0xFF, 0xFF, 0x7F})})},
      {"meta longer than track", file(header(0, 1, 96), {track({0x00, 0xFF, 0x01, 0x20, 'a'})})},
      {"sysex longer than track", file(header(0, 1, 96), {track({0x00, 0xF0, 0x7F, 1})})},
      {"impossible status", file(header(0, 1, 96), {track({0x00, 0xF4})})},
  };
  for (const Case& c : cases) {
    try {
      parseMidiFile(c.data);
      ADD_FAILURE() << c.what << " was accepted";
    } catch (const MidiFileError& error) {
      EXPECT_GT(std::string(error.what()).size(), 10u) << c.what;
    }
  }
}

// Every cut of a valid file must be refused cleanly, never read past its end.
TEST(MidiFile, EveryTruncationIsRefused) {
  const Bytes data = file(header(0, 1, 96), {track({0x00, 0x90, 60, 100, 0x60, 62, 90, 0x00, 0xF0,
                                                    0x02, 0x01, 0xF7, 0x10, 0xFF, 0x2F, 0x00})});
  EXPECT_NO_THROW(parseMidiFile(data));
  for (std::size_t size = 0; size < data.size(); ++size) {
    EXPECT_THROW(parseMidiFile(Bytes(data.begin(), data.begin() + static_cast<long>(size))),
                 MidiFileError)
        << size;
  }
}

}  // namespace
}  // namespace tirasse
