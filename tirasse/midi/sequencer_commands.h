#pragma once
// The file player as a small command language ("open \"f.mid\" type sequencer alias midio",
// "play midio", "status midio position", ...). The windows speak to it in command strings so
// that every failure can name the command that failed, as users of such players expect:
// Command "play midio" failed, then the reason.

#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "tirasse/midi/midi_player.h"

namespace tirasse {

class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Opens the output port with the given number; throws std::runtime_error with the reason.
using OutputPortOpener = std::function<std::unique_ptr<MidiSink>(int port)>;

class SequencerCommands {
 public:
  explicit SequencerCommands(OutputPortOpener openOutput);
  ~SequencerCommands();

  // Runs one command and returns its result text ("" when it has none). Throws CommandError
  // with the reason when the command fails.
  std::string send(const std::string& command);

 private:
  class PortSink : public MidiSink {
   public:
    void send(const Bytes& message) override;
    void replace(std::unique_ptr<MidiSink> port);
    bool isOpen();

   private:
    std::mutex mutex_;
    std::unique_ptr<MidiSink> port_;
  };

  std::string open(const std::vector<std::string>& words);
  std::string status(const std::vector<std::string>& words) const;
  std::string set(const std::vector<std::string>& words);
  void requireOpen(const std::vector<std::string>& words) const;
  void openPort(int port);

  OutputPortOpener openOutput_;
  PortSink sink_;
  MidiPlayer player_;
  std::string alias_;  // empty while no file is open
  Timeline facts_;     // length, tempo and division of the open file (no messages)
};

// The message shown when a command fails: Command "<command>" failed, a line end and the
// reason; without a reason just command "<command>" failed.
std::string commandFailedMessage(const std::string& command, const std::string& reason);

// Splits a command into words; a double-quoted word may hold blanks.
std::vector<std::string> splitCommandWords(const std::string& command);

}  // namespace tirasse
