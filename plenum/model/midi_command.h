#pragma once
// A *MIDI_COMMAND statement: a MIDI message of one to three bytes that the module sends
// when its condition turns true. The module checks the message when the command is
// added and emits it first in its program.

#include "plenum/codegen/record_codes.h"
#include "plenum/language/source_location.h"

namespace plenum {

class NvPbusMod;

class MidiCommand {
 public:
  virtual ~MidiCommand() = default;

  // Appends the code that leaves the sending condition on the stack.
  virtual void generateCondition(ByteString& list, NvPbusMod& module) = 0;

  SourceLocation location;  // of the message, where its checks are reported
  int byteCount = 0;        // 1 to 3
  int channel = 1;          // 1 to 16 as written; the channel index once added
  int firstByte = 0;        // status byte before the channel is added
  int secondByte = 0;
  int thirdByte = 0;
};

}  // namespace plenum
