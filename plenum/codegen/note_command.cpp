#include "plenum/codegen/note_command.h"

#include <cstdio>

#include "plenum/codegen/bit_masks.h"
#include "plenum/codegen/module_program.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

namespace {
constexpr int ProgramChangeFlag = 0x40;
constexpr int InvertFlag = 0x80;
}  // namespace

ModNoteCmd::ModNoteCmd(SourceLocation where, IdentifierRecord* name, Exp* condition)
    : ModMidiFunction(std::move(where)), expression(condition) {
  bindName(name, BindDefinition);
}

void ModNoteCmd::print(bool indent) const {
  std::printf("%sNote: MidiChannel %2d, MidiNote %3d", indent ? "    " : "", channel, number);
  if (identifier) std::printf(", Name: %s", name());
  std::printf("\n");
}

void ModNoteCmd::generateInModule(ModuleProgram& program, NvPbusMod& owner) {
  if (number == NumberNotSet) {
    reportAt(*this, "midi_note not defined");
    number = 0;
  }
  if (channel == -1) reportAt(*this, "midi_channel not defined");
  if (programChange) {
    if (claimProgramChanges(channel, number, *this, 1))
      reportAt(*this, "This program change message has already been used");
  } else {
    if (Element* taker = claimNotes(channel, number, *this, 1)) {
      reportAt(*this, "This MIDI note has already been used");
      reportAt(*taker, "\t(Location of previous use)");
    }
    if (invert)
      reportAt(*this, "The *INVERT keyword is only applicable to *PROGRAM_CHANGE messages");
  }
  workBit = owner.allocBit();
  ByteString& main = program.mainList();
  if (expression) expression->generate(main, owner);
  appendRecord(main, SFx2midi,
               {workBit / 8, bitMask(workBit % 8),
                channel + (programChange ? ProgramChangeFlag : 0) + (invert ? InvertFlag : 0),
                number});
}

}  // namespace plenum
