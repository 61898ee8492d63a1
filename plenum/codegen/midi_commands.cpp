#include "plenum/codegen/midi_commands.h"

#include "plenum/codegen/midi_items.h"

namespace plenum {

namespace {
constexpr int NoteOnStatus = 0x90;
constexpr int ControlChangeStatus = 0xB0;
constexpr int ProgramChangeStatus = 0xC0;
constexpr int SystemResetStatus = 0xFF;

ConditionalMidiCommand* command(SourceLocation where, Exp* condition, int count, int channel,
                                int first, int second, int third) {
  auto* made = new ConditionalMidiCommand(std::move(where), condition);
  made->byteCount = count;
  made->channel = channel;
  made->firstByte = first;
  made->secondByte = second;
  made->thirdByte = third;
  return made;
}
}  // namespace

ConditionalMidiCommand::ConditionalMidiCommand(SourceLocation where, Exp* test) : condition(test) {
  location = std::move(where);
}

ConditionalMidiCommand::~ConditionalMidiCommand() = default;

void ConditionalMidiCommand::generateCondition(ByteString& list, NvPbusMod& module) {
  if (condition) condition->generate(list, module);
}

MidiCommand* midiBytesCommand(SourceLocation where, Exp* condition, int count, int first,
                              int second, int third) {
  return command(std::move(where), condition, count, 1, first, second, third);
}

MidiCommand* literalMidiCommand(SourceLocation where, Exp* condition, LiteralMessage kind,
                                const std::string& literal, int value) {
  LiteralParts parts = splitLiteral(literal);
  switch (kind) {
    case LiteralMessage::Note:
      return command(std::move(where), condition, 3, parts.channel, NoteOnStatus, parts.number,
                     value);
    case LiteralMessage::Controller:
      return command(std::move(where), condition, 3, parts.channel, ControlChangeStatus,
                     parts.number, value);
    case LiteralMessage::ProgramChange:
    default:
      return command(std::move(where), condition, 2, parts.channel, ProgramChangeStatus,
                     parts.number, 0);
  }
}

MidiCommand* channelModeCommand(SourceLocation where, Exp* condition, int channel,
                                int controller, int value) {
  return command(std::move(where), condition, 3, channel, ControlChangeStatus, controller, value);
}

MidiCommand* systemResetCommand(SourceLocation where, Exp* condition) {
  return command(std::move(where), condition, 1, 1, SystemResetStatus, 0, 0);
}

}  // namespace plenum
