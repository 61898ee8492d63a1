#include "tirasse/flow/playing_session.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "tirasse/core/time_text.h"
#include "tirasse/core/unicode_text.h"

namespace tirasse {

namespace {

// A number as the player's status replies and the speed box hold it; nothing when it is
// none. Read in the C locale whatever the user's locale says.
std::optional<double> numberIn(const std::string& text) {
  std::string word = trimmedText(text);
  if (word.starts_with('+')) word.erase(0, 1);
  double value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (word.empty() || error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

long long millisecondsIn(const std::string& text) {
  return static_cast<long long>(numberIn(text).value_or(0));
}

}  // namespace

PlayingSession::PlayingSession(const std::string& file, int outputDevice,
                               OutputPortOpener openOutput,
                               std::function<void(const std::string&)> showMessage)
    : showMessage_(std::move(showMessage)),
      commands_(std::make_unique<SequencerCommands>(std::move(openOutput))) {
  polling_ = true;
  if (!send("open \"" + file + "\" type sequencer alias midio")) return;
  opened_ = true;
  std::string divisionType, length, tempo;
  if (!send("set midio port " + std::to_string(outputDevice)) ||
      !send("status midio division type", &divisionType) ||
      !send("status midio length", &length) || !send("status midio tempo", &tempo)) {
    return;
  }
  tempo_ = numberIn(tempo).value_or(0);
  length_ = divisionType == "PPQN" ? minutesAndSeconds(millisecondsIn(length)) : length;
  if (!send("play midio")) return;
  ready_ = true;
}

PlayingSession::~PlayingSession() {
  if (!opened_) return;
  try {
    commands_->send("close midio");
  } catch (const CommandError&) {
  }
}

bool PlayingSession::send(const std::string& command, std::string* result) {
  try {
    const std::string answer = commands_->send(command);
    if (result) *result = answer;
    return true;
  } catch (const CommandError& error) {
    polling_ = false;
    showMessage_(commandFailedMessage(command, error.what()));
    return false;
  }
}

void PlayingSession::stop() { send("stop midio") && send("seek midio to start"); }

void PlayingSession::togglePause() {
  if (send(paused_ ? "play midio" : "pause midio")) paused_ = !paused_;
}

void PlayingSession::faster() { setSpeed(speed_ * 1.25); }
void PlayingSession::slower() { setSpeed(speed_ * 0.8); }
void PlayingSession::normal() { setSpeed(100); }

void PlayingSession::speedEdited(const std::string& text) {
  const std::optional<double> percent = numberIn(text);
  setSpeed(percent && *percent > 0 ? *percent : speed_);
}

void PlayingSession::setSpeed(double percent) {
  speed_ = std::clamp(percent, 5.0, 1000.0);
  speedText_ = std::to_string(std::lround(speed_));
  const long tempo = static_cast<long>(tempo_ * speed_ / 100);
  send("set midio tempo " + std::to_string(std::max(1L, tempo)));
}

void PlayingSession::poll() {
  std::string position, mode;
  if (!send("status midio position", &position) || !send("status midio mode", &mode)) return;
  position_ = minutesAndSeconds(millisecondsIn(position));
  if (mode == "stopped" && !paused_) send("seek midio to start");
}

}  // namespace tirasse
