#include "tirasse/midi/midi_recorder.h"

#include <cmath>

namespace tirasse {

namespace {

bool isWorthRecording(const Bytes& message) {
  if (message.empty()) return false;
  const std::uint8_t status = message[0];
  return (status >= 0x80 && status < 0xF0) || status == 0xF0;
}

}  // namespace

void MidiRecorder::start(Clock::time_point now) {
  std::lock_guard lock(mutex_);
  arrivals_.clear();
  count_ = 0;
  startedAt_ = now;
  recording_ = true;
}

void MidiRecorder::stop(Clock::time_point now) {
  std::lock_guard lock(mutex_);
  if (!recording_) return;
  stoppedAt_ = now;
  recording_ = false;
}

void MidiRecorder::add(const Bytes& message, Clock::time_point arrival) {
  if (!recording_ || !isWorthRecording(message)) return;
  std::lock_guard lock(mutex_);
  if (!recording_) return;
  const double at = std::chrono::duration<double, std::micro>(arrival - startedAt_).count();
  arrivals_.push_back({std::max(at, 0.0), message});
  count_ = arrivals_.size();
}

double MidiRecorder::elapsedSeconds(Clock::time_point now) const {
  std::lock_guard lock(mutex_);
  const Clock::time_point end = recording_ ? now : stoppedAt_;
  return std::max(std::chrono::duration<double>(end - startedAt_).count(), 0.0);
}

MidiFile MidiRecorder::toMidiFile() const {
  std::lock_guard lock(mutex_);
  const double ticksPerMicrosecond = static_cast<double>(kRecordingDivision) / kRecordingTempo;
  MidiTrack track;
  track.events.push_back({0, {0xFF, kMetaTempo, (kRecordingTempo >> 16) & 0xFF,
                              (kRecordingTempo >> 8) & 0xFF, kRecordingTempo & 0xFF}});
  std::uint32_t tick = 0;
  for (const Arrival& arrival : arrivals_) {
    // Arrival order is the order to keep, even when clock rounding would swap two messages.
    tick = std::max(tick, static_cast<std::uint32_t>(std::llround(arrival.microseconds *
                                                                  ticksPerMicrosecond)));
    track.events.push_back({tick, arrival.bytes});
  }
  const double endMicroseconds =
      std::chrono::duration<double, std::micro>(stoppedAt_ - startedAt_).count();
  const auto endTick = static_cast<std::uint32_t>(std::llround(
      std::max(endMicroseconds, 0.0) * ticksPerMicrosecond));
  track.events.push_back({std::max(tick, endTick), {0xFF, kMetaEndOfTrack}});
  MidiFile file;
  file.format = 0;
  file.division = kRecordingDivision;
  file.tracks.push_back(std::move(track));
  return file;
}

}  // namespace tirasse
