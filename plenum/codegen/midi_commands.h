#pragma once
// *MIDI_COMMAND (expression) message: the module sends a short MIDI message of one to
// three bytes when the expression turns true. The module checks the bytes when the
// command is added and emits the commands first in its program.

#include <memory>
#include <string>

#include "plenum/codegen/expressions.h"
#include "plenum/model/midi_command.h"

namespace plenum {

class ConditionalMidiCommand : public MidiCommand {
 public:
  ConditionalMidiCommand(SourceLocation where, Exp* condition);
  ~ConditionalMidiCommand() override;

  void generateCondition(ByteString& list, NvPbusMod& module) override;

  std::unique_ptr<Exp> condition;
};

// The message written as numbers: count bytes (1 to 3) on channel 1.
MidiCommand* midiBytesCommand(SourceLocation where, Exp* condition, int count, int first,
                              int second = 0, int third = 0);

// A literal and its status byte: a note literal with a velocity (0x90), a controller
// literal with a value (0xB0), a program literal (0xC0, two bytes). The channel and the
// number are read from the literal's text as written, unchecked: the module's checks
// report them.
enum class LiteralMessage { Note, Controller, ProgramChange };
MidiCommand* literalMidiCommand(SourceLocation where, Exp* condition, LiteralMessage kind,
                                const std::string& literal, int value = 0);

// A channel-mode message on a channel (1 to 16 as written): controller 122 to 127 with
// its value.
MidiCommand* channelModeCommand(SourceLocation where, Exp* condition, int channel,
                                int controller, int value);

// *SYSTEM_RESET.
MidiCommand* systemResetCommand(SourceLocation where, Exp* condition);

// The controller numbers of the channel-mode messages.
enum ChannelModeController : int {
  LocalControl = 122,
  AllNotesOff = 123,
  OmniModeOff = 124,
  OmniModeOn = 125,
  MonoModeOn = 126,
  PolyModeOn = 127,
};

}  // namespace plenum
