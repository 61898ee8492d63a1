#include "plenum/codegen/item_dispatch.h"

#include "plenum/codegen/midi_items.h"
#include "plenum/codegen/module_program.h"

namespace plenum {

ByteString* dispatchListOf(ModuleProgram& program, const ModMidiFunction& item, ItemKind kind) {
  const bool declaredOutside = !item.board && !item.module;
  if (item.channel < 0 || item.channel >= MidiChannels) {
    if (declaredOutside) reportAt(item, "midi_channel not defined");
    return nullptr;
  }
  if (item.number < 0 || item.number > 127) {
    if (declaredOutside)
      reportAt(item, kind == ItemKind::Controller ? "midi_controller not defined"
                                                  : "midi_note not defined");
    return nullptr;
  }
  switch (kind) {
    case ItemKind::ProgramChange:
      return &program.programList(item.channel);
    case ItemKind::Controller:
      return &program.controllerList(item.channel);
    case ItemKind::Note:
    default:
      return &program.noteList(item.channel);
  }
}

}  // namespace plenum
