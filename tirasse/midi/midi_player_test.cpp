#include "tirasse/midi/midi_player.h"

#include <gtest/gtest.h>

#include <thread>

#include "tirasse/midi/fake_midi_sink.h"

namespace tirasse {
namespace {

// Messages at time 0 go out at once; the last one waits far in the future so the player is
// still playing when the test acts.
Timeline heldChord() {
  Timeline t;
  t.messages = {{0, {0x90, 60, 100}}, {0, {0x91, 64, 100}}, {0, {0x90, 67, 0}},
                {3.6e9, {0x80, 60, 0}}};
  t.lengthMicroseconds = 3.6e9;
  return t;
}

TEST(MidiPlayer, PauseSilencesTheSoundingNotes) {
  FakeMidiSink sink;
  MidiPlayer player(sink);
  EXPECT_EQ(player.mode(), PlayerMode::NotReady);
  player.play();  // nothing loaded: nothing happens
  EXPECT_EQ(player.mode(), PlayerMode::NotReady);
  player.load(heldChord());
  player.play();
  ASSERT_TRUE(sink.waitFor(3));
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  player.pause();
  EXPECT_EQ(player.mode(), PlayerMode::Paused);
  const std::vector<Bytes> sent = sink.sent();
  ASSERT_EQ(sent.size(), 7u);
  // 60 on channel 1 and 64 on channel 2 sound; 67 was a note-on with velocity 0.
  EXPECT_EQ(sent[3], (Bytes{0x80, 60, 0}));
  EXPECT_EQ(sent[4], (Bytes{0x81, 64, 0}));
  EXPECT_EQ(sent[5], (Bytes{0xB0, 123, 0}));
  EXPECT_EQ(sent[6], (Bytes{0xB1, 123, 0}));
  const double pausedAt = player.positionMicroseconds();
  EXPECT_GE(pausedAt, 0);
  EXPECT_LT(pausedAt, 3.6e9);
  EXPECT_EQ(player.positionMicroseconds(), pausedAt);  // a paused player does not move
}

TEST(MidiPlayer, StopKeepsPositionSeekRewindsAndPlayRepeats) {
  FakeMidiSink sink;
  MidiPlayer player(sink);
  player.load(heldChord());
  player.play();
  ASSERT_TRUE(sink.waitFor(3));
  player.stop();
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
  player.seekToStart();
  EXPECT_EQ(player.positionMicroseconds(), 0);
  const std::size_t before = sink.sent().size();
  player.play();
  ASSERT_TRUE(sink.waitFor(before + 3));
  EXPECT_EQ(sink.sent()[before], (Bytes{0x90, 60, 100}));
}

TEST(MidiPlayer, ReachesTheEndAndStops) {
  FakeMidiSink sink;
  MidiPlayer player(sink);
  Timeline t;
  t.messages = {{0, {0x90, 1, 1}}, {10, {0x80, 1, 0}}};
  t.lengthMicroseconds = 20;
  player.load(t);
  player.setSpeed(4.0);
  player.play();
  ASSERT_TRUE(sink.waitFor(2));
  for (int i = 0; i < 2000 && player.mode() == PlayerMode::Playing; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
  EXPECT_EQ(player.positionMicroseconds(), 20);
  EXPECT_EQ(player.speed(), 4.0);
  player.setSpeed(0);  // refused: the speed stays
  player.setSpeed(-1);
  EXPECT_EQ(player.speed(), 4.0);
}

}  // namespace
}  // namespace tirasse
