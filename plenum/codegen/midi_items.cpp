#include "plenum/codegen/midi_items.h"

#include <cctype>
#include <climits>

#include "plenum/language/diagnostics.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

namespace {
constexpr int LowestMidiOffset = -126;
constexpr int HighestMidiOffset = 126;

bool isMidiChannelIndex(int index) { return index >= 0 && index < MidiClaims::Channels; }
bool isMidiNumber(int number) { return number >= 0 && number < MidiClaims::Numbers; }

// Reads the digits at text[pos...], saturating at INT_MAX, and moves pos past them.
int readDigits(const std::string& text, std::size_t& pos) {
  long long value = 0;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
    value = value * 10 + (text[pos] - '0');
    if (value > INT_MAX) value = INT_MAX;
    ++pos;
  }
  return static_cast<int>(value);
}

bool claimEntries(MidiClaims::Table& table, int channel, int first, Element& claimer,
                  int count, Element** taker) {
  for (int n = first; n < first + count; ++n) {
    Element* holder = table[channel * MidiClaims::Numbers + n];
    if (holder) {
      if (taker) *taker = holder;
      return true;
    }
  }
  for (int n = first; n < first + count; ++n) table[channel * MidiClaims::Numbers + n] = &claimer;
  return false;
}

// The program-change and controller claims: numbers outside the table cannot be
// produced, so they are left unclaimed (their setters reported them).
bool claimInRange(MidiClaims::Table& table, int channel, int first, Element& claimer,
                  int count) {
  if (!isMidiChannelIndex(channel) || first < 0 || count < 0 ||
      static_cast<long long>(first) + count > MidiClaims::Numbers)
    return false;
  return claimEntries(table, channel, first, claimer, count, nullptr);
}
}  // namespace

bool ModMidiFunction::isAvailableIn(int moduleNumber) const {
  const NvPbusMod* home = getModule();
  return home == nullptr || home->number < moduleNumber;
}

void ModMidiFunction::setChannel(int index) {
  if (!isMidiChannelIndex(index)) reportHere("Midi channel not in range of 1 to 16");
  if (channel != -1) reportHere("Midi Channel already set for this item");
  channel = index;
}

void ModMidiFunction::setNote(int note) {
  if (!isMidiNumber(note)) reportHere("Midi note not in range 0 to 127");
  if (number != NumberNotSet) reportHere("Midi Note already set for this item");
  number = note;
}

void ModMidiFunction::setMidiOffset(int offset) {
  if (offset < LowestMidiOffset || offset > HighestMidiOffset)
    reportHere("Midi_offset not in range -126 to 126");
  if (number != NumberNotSet) reportHere("Midi_Offset already set for this item");
  number = offset;
}

void ModMidiFunction::setProgramChangeNumber(int program, bool& programChange) {
  if (!isMidiNumber(program)) reportHere("Program number not in range 0 to 127");
  if (number != NumberNotSet)
    reportHere(programChange ? "Program number already set for this item"
                             : "Midi Note already set for this item");
  number = program;
  programChange = true;
}

void ModMidiFunction::setControllerNumber(int value, int& controller) {
  if (!isMidiNumber(value)) reportHere("Controller not in range 0 to 127");
  if (controller != -1) reportHere("MIDI Controller already set for this item");
  controller = value;
  number = value;
}

void ModMidiFunction::setFromNoteLiteral(const std::string& text, bool& programChange) {
  LiteralParts parts = splitLiteral(text);
  bool program = parts.letter == 'P' || parts.letter == 'p';
  if (parts.channel < 1 || parts.channel > MidiClaims::Channels)
    reportHere("Channel number is not valid");
  if (!isMidiNumber(parts.number))
    reportHere(program ? "Program not in range 0 to 127" : "Note not in range 0 to 127");
  channel = parts.channel - 1;
  number = parts.number;
  programChange = program;
}

void ModMidiFunction::setFromControllerLiteral(const std::string& text, int& controller) {
  LiteralParts parts = splitLiteral(text);
  if (parts.channel < 1 || parts.channel > MidiClaims::Channels)
    reportHere("Channel number is not valid");
  if (!isMidiNumber(parts.number)) reportHere("Controller not in range 0 to 127");
  channel = parts.channel - 1;
  controller = parts.number;
  number = parts.number;
}

LiteralParts splitLiteral(const std::string& text) {
  LiteralParts parts;
  std::size_t pos = 1;  // the leading C
  parts.channel = readDigits(text, pos);
  if (pos < text.size()) parts.letter = text[pos++];
  parts.number = readDigits(text, pos);
  return parts;
}

Literal::Literal(Kind literalKind, const std::string& text, SourceLocation where)
    : Element(std::move(where)), kind(literalKind) {
  LiteralParts parts = splitLiteral(text);
  channel = parts.channel - 1;
  number = parts.number;
  if (!isMidiChannelIndex(channel)) reportHere("Illegal channel number");
  if (!isMidiNumber(number)) {
    switch (kind) {
      case Note: reportHere("Illegal note number"); break;
      case Controller: reportHere("Illegal controller number"); break;
      case ProgramChange: reportHere("Illegal program change number"); break;
    }
  }
  identifier = lookupIdentifier(canonicalName(kind, channel, number));
}

std::string Literal::canonicalName(Kind kind, int channelIndex, int number) {
  char letter = kind == Note ? 'N' : kind == Controller ? 'C' : kind == ProgramChange ? 'P' : '?';
  return formatText("C%d%c%d", channelIndex + 1, letter, number);
}

Element* claimNotes(int channel, int first, Element& claimer, int count) {
  if (!isMidiChannelIndex(channel) || first < 0 ||
      static_cast<long long>(first) + count > MidiClaims::Numbers) {
    reportAt(claimer, "Something wrong here: Bad bits");
    return nullptr;
  }
  Element* taker = nullptr;
  claimEntries(context().midiClaims.notes, channel, first, claimer, count, &taker);
  return taker;
}

bool claimProgramChanges(int channel, int first, Element& claimer, int count) {
  return claimInRange(context().midiClaims.programChanges, channel, first, claimer, count);
}

bool claimControllers(int channel, int first, Element& claimer, int count) {
  return claimInRange(context().midiClaims.controllers, channel, first, claimer, count);
}

}  // namespace plenum
