#include "tirasse/midi/midi_recorder.h"

#include <gtest/gtest.h>

namespace tirasse {
namespace {

using namespace std::chrono_literals;

TEST(MidiRecorder, KeepsMusicWithItsTimesAndWritesType0) {
  MidiRecorder recorder;
  const auto t0 = MidiRecorder::Clock::time_point{} + 1000s;
  recorder.add({0x90, 1, 1}, t0);  // before start: not recorded
  recorder.start(t0);
  recorder.add({0x90, 60, 100}, t0 + 500ms);
  recorder.add({0xF8}, t0 + 510ms);  // clock
  recorder.add({0xFE}, t0 + 520ms);  // active sensing
  recorder.add({0xF0, 0x47, 0x01, 0xF7}, t0 + 600ms);
  recorder.add({0x80, 60, 0}, t0 + 1000ms);
  recorder.add({}, t0 + 1000ms);
  EXPECT_EQ(recorder.eventCount(), 3u);
  EXPECT_DOUBLE_EQ(recorder.elapsedSeconds(t0 + 1500ms), 1.5);
  recorder.stop(t0 + 2s);
  recorder.add({0x90, 2, 2}, t0 + 3s);  // after stop: not recorded
  EXPECT_EQ(recorder.eventCount(), 3u);
  EXPECT_DOUBLE_EQ(recorder.elapsedSeconds(t0 + 9s), 2.0);

  const MidiFile back = parseMidiFile(serializeMidiFileType0(recorder.toMidiFile()));
  EXPECT_EQ(back.format, 0);
  EXPECT_EQ(back.division, kRecordingDivision);
  const auto& e = back.tracks.at(0).events;
  ASSERT_EQ(e.size(), 5u);
  EXPECT_TRUE(e[0].isMeta(kMetaTempo));
  EXPECT_EQ(e[1].tick, 480u);  // half a second at 120 bpm is one quarter note
  EXPECT_EQ(e[2].bytes, (Bytes{0xF0, 0x47, 0x01, 0xF7}));
  EXPECT_EQ(e[3].tick, 960u);
  EXPECT_EQ(e[4].tick, 1920u);  // the recording ends when it was stopped
  EXPECT_TRUE(e[4].isMeta(kMetaEndOfTrack));
}

TEST(MidiRecorder, StartingAgainForgetsTheLastTake) {
  MidiRecorder recorder;
  const auto t0 = MidiRecorder::Clock::time_point{} + 10s;
  recorder.start(t0);
  recorder.add({0xC0, 4}, t0);
  recorder.stop(t0 + 1s);
  recorder.start(t0 + 2s);
  EXPECT_TRUE(recorder.isEmpty());
  EXPECT_TRUE(recorder.isRecording());
}

}  // namespace
}  // namespace tirasse
