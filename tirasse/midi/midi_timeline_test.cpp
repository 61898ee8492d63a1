#include "tirasse/midi/midi_timeline.h"

#include <gtest/gtest.h>

namespace tirasse {
namespace {

TEST(MidiTimeline, TempoChangesApplyFromTheirTickAcrossTracks) {
  MidiFile midi;
  midi.format = 1;
  midi.division = 100;
  MidiTrack tempo, notes;
  tempo.events = {{0, {0xFF, kMetaTempo, 0x0F, 0x42, 0x40}},   // 1 s a quarter: 60 bpm
                  {100, {0xFF, kMetaTempo, 0x07, 0xA1, 0x20}},  // then 0.5 s
                  {300, {0xFF, kMetaEndOfTrack}}};
  notes.events = {{50, {0x90, 60, 1}}, {200, {0x80, 60, 0}}, {200, {0xFF, 0x01, 'x'}}};
  midi.tracks = {tempo, notes};
  const Timeline t = buildTimeline(midi);
  EXPECT_EQ(t.divisionType, "PPQN");
  EXPECT_DOUBLE_EQ(t.nominalTempo, 60);
  ASSERT_EQ(t.messages.size(), 2u);  // meta events are not sent
  EXPECT_DOUBLE_EQ(t.messages[0].microseconds, 500000);
  EXPECT_DOUBLE_EQ(t.messages[1].microseconds, 1500000);
  EXPECT_DOUBLE_EQ(t.lengthMicroseconds, 2000000);
}

TEST(MidiTimeline, DefaultTempoAndSmpte) {
  MidiFile midi;
  midi.division = 480;
  midi.tracks = {MidiTrack{{{480, {0x90, 1, 1}}}}};
  const Timeline ppqn = buildTimeline(midi);
  EXPECT_DOUBLE_EQ(ppqn.nominalTempo, 120);
  EXPECT_DOUBLE_EQ(ppqn.messages[0].microseconds, 500000);

  midi.division = static_cast<std::uint16_t>((static_cast<std::uint8_t>(-25) << 8) | 40);
  const Timeline smpte = buildTimeline(midi);
  EXPECT_EQ(smpte.divisionType, "SMPTE 25 Frame");
  EXPECT_DOUBLE_EQ(smpte.nominalTempo, 25);
  EXPECT_DOUBLE_EQ(smpte.messages[0].microseconds, 480000);  // 480 ticks of 1/1000 s
}

TEST(MidiTimeline, SysExSplitAcrossEventsGoesOutPacketByPacketAtItsTimes) {
  // An F0 event without its final F7, then two F7 continuation events; then an F7 escape
  // that stands alone (a clock byte). Division 100 at 120 bpm: a tick is 5 ms.
  const Bytes track = {0x00, 0xF0, 0x03, 0x47, 0x01, 0x02,  // F0 47 01 02, not ended
                       0x0A, 0xF7, 0x02, 0x03, 0x04,        // +10: 03 04
                       0x0A, 0xF7, 0x02, 0x05, 0xF7,        // +10: 05 F7, the end
                       0x00, 0xF7, 0x01, 0xF8,              // an escaped clock byte
                       0x00, 0xFF, 0x2F, 0x00};
  Bytes file = {
      'M', 'T', 'h', 'd', 0,   0,   0,   6, 0, 0, 0,
      1,   0,   100, 'M', 'T', 'r', 'k', 0, 0, 0, static_cast<std::uint8_t>(track.size())};
  for (std::uint8_t byte : track) file.push_back(byte);
  const Timeline t = buildTimeline(parseMidiFile(file));
  struct Expected {
    double microseconds;
    Bytes bytes;
  } expected[] = {{0, {0xF0, 0x47, 0x01, 0x02}},
                  {50000, {0x03, 0x04}},
                  {100000, {0x05, 0xF7}},
                  {100000, {0xF8}}};
  ASSERT_EQ(t.messages.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_DOUBLE_EQ(t.messages[i].microseconds, expected[i].microseconds) << i;
    EXPECT_EQ(t.messages[i].bytes, expected[i].bytes) << i;
  }
}

}  // namespace
}  // namespace tirasse
