#pragma once
// The dispatch list that runs when a MIDI item arrives: the note list of its channel, its
// program-change list, or its controller list.

#include "plenum/codegen/record_codes.h"

namespace plenum {

class ModMidiFunction;
class ModuleProgram;

enum class ItemKind { Note, ProgramChange, Controller };

// The list of the item's channel, or null when the item has no usable channel or number.
// An item declared outside every board and module is reported here (at the item); items
// of a board report what they lack when their board generates.
ByteString* dispatchListOf(ModuleProgram& program, const ModMidiFunction& item, ItemKind kind);

}  // namespace plenum
