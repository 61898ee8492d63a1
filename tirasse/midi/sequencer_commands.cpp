#include "tirasse/midi/sequencer_commands.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace tirasse {

namespace {

constexpr int kDefaultOutputPort = 0;

const char* const kNotRecognized = "The command is not recognized.";
const char* const kBadParameter = "A parameter of the command is missing or not valid.";
const char* const kNotOpen = "No file is open under that alias.";
const char* const kAliasInUse = "A file is already open under that alias.";

std::string milliseconds(double microseconds) {
  return std::to_string(static_cast<long long>(std::llround(microseconds / 1000)));
}

const char* modeText(PlayerMode mode) {
  switch (mode) {
    case PlayerMode::NotReady:
      return "not ready";
    case PlayerMode::Stopped:
      return "stopped";
    case PlayerMode::Playing:
      return "playing";
    case PlayerMode::Paused:
      return "paused";
  }
  return "not ready";
}

bool parseNumber(const std::string& word, long& value) {
  if (word.empty()) return false;
  std::size_t used = 0;
  try {
    value = std::stol(word, &used);
  } catch (const std::exception&) {
    return false;
  }
  return used == word.size();
}

}  // namespace

std::vector<std::string> splitCommandWords(const std::string& command) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < command.size()) {
    if (command[i] == ' ') {
      ++i;
      continue;
    }
    std::string word;
    if (command[i] == '"') {
      const std::size_t close = command.find('"', i + 1);
      if (close == std::string::npos) throw CommandError(kBadParameter);
      word = command.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      const std::size_t end = std::min(command.find(' ', i), command.size());
      word = command.substr(i, end - i);
      i = end;
    }
    words.push_back(word);
  }
  return words;
}

std::string commandFailedMessage(const std::string& command, const std::string& reason) {
  if (reason.empty()) return "command \"" + command + "\" failed";
  return "Command \"" + command + "\" failed\n" + reason;
}

void SequencerCommands::PortSink::send(const Bytes& message) {
  std::lock_guard lock(mutex_);
  if (port_) port_->send(message);
}

void SequencerCommands::PortSink::replace(std::unique_ptr<MidiSink> port) {
  std::lock_guard lock(mutex_);
  port_ = std::move(port);
}

bool SequencerCommands::PortSink::isOpen() {
  std::lock_guard lock(mutex_);
  return port_ != nullptr;
}

SequencerCommands::SequencerCommands(OutputPortOpener openOutput)
    : openOutput_(std::move(openOutput)), player_(sink_) {}

SequencerCommands::~SequencerCommands() { player_.stop(); }

std::string SequencerCommands::send(const std::string& command) {
  const std::vector<std::string> words = splitCommandWords(command);
  if (words.empty()) throw CommandError(kNotRecognized);
  const std::string& verb = words[0];
  if (verb == "open") return open(words);
  static const char* const kVerbs[] = {"status", "set", "play", "pause", "stop", "seek", "close"};
  if (std::find(std::begin(kVerbs), std::end(kVerbs), verb) == std::end(kVerbs)) {
    throw CommandError(kNotRecognized);
  }
  requireOpen(words);
  if (verb == "status") return status(words);
  if (verb == "set") return set(words);
  if (words.size() == 2 && verb == "play") {
    if (!sink_.isOpen()) openPort(kDefaultOutputPort);
    player_.play();
  } else if (words.size() == 2 && verb == "pause") {
    player_.pause();
  } else if (words.size() == 2 && verb == "stop") {
    player_.stop();
  } else if (words.size() == 4 && verb == "seek" && words[2] == "to" && words[3] == "start") {
    player_.seekToStart();
  } else if (words.size() == 2 && verb == "close") {
    player_.load({});  // stops, silences and forgets the file
    sink_.replace(nullptr);
    alias_.clear();
  } else {
    throw CommandError(kNotRecognized);
  }
  return {};
}

std::string SequencerCommands::open(const std::vector<std::string>& words) {
  if (words.size() != 6 || words[2] != "type" || words[3] != "sequencer" || words[4] != "alias") {
    throw CommandError(kBadParameter);
  }
  if (!alias_.empty()) throw CommandError(kAliasInUse);
  Timeline timeline;
  try {
    timeline = buildTimeline(readMidiFile(words[1]));
  } catch (const MidiFileError& error) {
    throw CommandError(std::string(error.what()) + ".");
  }
  facts_ = timeline;
  facts_.messages.clear();
  player_.load(std::move(timeline));
  player_.setSpeed(1.0);
  alias_ = words[5];
  return {};
}

void SequencerCommands::requireOpen(const std::vector<std::string>& words) const {
  if (words.size() < 2) throw CommandError(kBadParameter);
  if (alias_.empty() || words[1] != alias_) throw CommandError(kNotOpen);
}

std::string SequencerCommands::status(const std::vector<std::string>& words) const {
  const auto item = [&](std::size_t count, const char* first, const char* second = nullptr) {
    return words.size() == count && words[2] == first && (!second || words[3] == second);
  };
  if (item(4, "division", "type")) return facts_.divisionType;
  if (item(3, "length")) return milliseconds(facts_.lengthMicroseconds);
  if (item(3, "position")) return milliseconds(player_.positionMicroseconds());
  if (item(3, "mode")) return modeText(player_.mode());
  if (item(3, "tempo")) {
    return std::to_string(std::lround(facts_.nominalTempo * player_.speed()));
  }
  throw CommandError(kBadParameter);
}

std::string SequencerCommands::set(const std::vector<std::string>& words) {
  long value = 0;
  if (words.size() != 4 || !parseNumber(words[3], value)) throw CommandError(kBadParameter);
  if (words[2] == "port") {
    if (value < 0) throw CommandError("The MIDI output device " + words[3] + " does not exist.");
    openPort(static_cast<int>(value));
  } else if (words[2] == "tempo") {
    if (value <= 0) throw CommandError(kBadParameter);
    player_.setSpeed(static_cast<double>(value) / facts_.nominalTempo);
  } else {
    throw CommandError(kBadParameter);
  }
  return {};
}

void SequencerCommands::openPort(int port) {
  player_.stop();
  try {
    sink_.replace(openOutput_(port));
  } catch (const std::exception& error) {
    throw CommandError("The MIDI output device " + std::to_string(port) +
                       " cannot be opened: " + error.what());
  }
}

}  // namespace tirasse
