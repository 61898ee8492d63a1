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

}  // namespace
}  // namespace tirasse
