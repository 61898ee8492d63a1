#include "plenum/codegen/record_codes.h"

#include <array>

#include "plenum/runtime/exits.h"

namespace plenum {

namespace {

using F = RecordFraming;
using L = ListingForm;

constexpr int countLabels(const RecordInfo::Labels& labels) {
  int count = 0;
  while (count < MaxOperandLabels && labels[static_cast<std::size_t>(count)]) ++count;
  return count;
}

// A function record of fixed length.
constexpr RecordInfo fixed(RecordCode code, const char* name, const char* title, int length,
                           RecordInfo::Labels labels = {}, L form = L::Plain) {
  return RecordInfo{code, name, title, nullptr, F::Function, length, length, form, labels, {}};
}

// A function record whose length byte varies within [minLength, maxLength].
constexpr RecordInfo variable(RecordCode code, const char* name, const char* title,
                              int minLength, int maxLength, RecordInfo::Labels labels,
                              L form) {
  return RecordInfo{code, name, title, nullptr, F::Function, minLength, maxLength, form, labels,
                    {}};
}

constexpr RecordInfo stackOp(RecordCode code, const char* name, const char* title, int size,
                             RecordInfo::Labels labels = {}, L form = L::Plain) {
  return RecordInfo{code, name, title, nullptr, F::StackOp, size, size, form, labels, {}};
}

constexpr RecordInfo withAlternate(RecordInfo info, const char* title,
                                   RecordInfo::Labels labels = {}) {
  info.alternateTitle = title;
  info.alternateLabels = labels;
  return info;
}

constexpr int MaxRecordLength = 255;

// Relay records: (offset, mask) pairs, a 0, then the trailer.
constexpr RecordInfo relay(RecordCode code, const char* name, const char* title,
                           RecordInfo::Labels trailer) {
  return variable(code, name, title, 3 + countLabels(trailer), MaxRecordLength, trailer,
                  L::RelayPairs);
}

constexpr RecordInfo::Labels DoRankTrailer = {"div bitmap", "byte count", "i mask",
                                              "f mask",     "shift mult", "out bitmap"};
constexpr RecordInfo::Labels DoRelayTrailer = {"div bitmap", "byte count", "i mask",  "f mask",
                                               "midi note",  "midi chan",  "velocity"};
constexpr RecordInfo::Labels ControllerTail = {"MIDI Chan", "Controller", "Input max",
                                               "Out range", "Out min"};

constexpr RecordInfo Table[] = {
    RecordInfo{SEnd, "End", "End", nullptr, F::End, 1, 1, L::Plain, {}, {}},
    fixed(SFsetTranspose, "SFsetTranspose", "SFsetTranspose: store transpose factor", 2),
    fixed(SFmn2bits, "SFmn2bits", "SFmn2bits: Remember note states in bits", 5,
          {"low note", "hi note", "source"}),
    fixed(SFmn2bit, "SFmn2bit", "SFmn2bit: Remember note state in bit", 5,
          {"note", "offset", "mask"}),
    fixed(SFmn2bitPulse, "SFmn2bitPulse", "SFmn2bitPulse: note controls output bit", 5,
          {"note", "offset", "mask"}),
    fixed(SFsendAltCmd, "SFsendAltCmd", "SFsendAltCmd: Occasionally send these bytes:", 5,
          {"offset", "bytes"}, L::CommandBytes),
    fixed(SFsendReset, "SFsendReset", "SFsendReset: Send command at reset time", 5,
          {"offset", "byte 1", "byte 2"}),
    fixed(SFpin2contr, "SFpin2contr", "SFpin2contr: Norvo Module A/D", 8,
          {"a chan", "work byte", "control #", "MIDI chan", "min value", "range"}),
    fixed(SFzeroMem, "SFzeroMem", "SFzeroMem: Zero output bytes", 4, {"source", "count"}),
    fixed(SFmc2byte, "SFmc2byte", "SFmc2byte: save controller value to byte", 4,
          {"Controller", "buffer"}),
    fixed(SFx2contr, "SFx2contr", "SFx2contr: computed value to ctrl", 5,
          {"work byte", "MIDI Chan", "Controller"}),
    fixed(SFsetFlags, "SFsetFlags", "SFsetFlags: Turn on flags", 3, {"work byte"}, L::Flags),
    stackOp(Sjmp, "Sjmp", "Sjmp: Jump to destination", 3, {"offset"}, L::Jump),
    stackOp(Sjt, "Sjt", "Sjt: Jump if true", 3, {"offset"}, L::Jump),
    stackOp(Sjf, "Sjf", "Sjf: Jump if false", 3, {"offset"}, L::Jump),
    stackOp(Sldb, "Sldb", "Sldb: Load bit value", 3, {"source", "mask"}),
    stackOp(Sstb, "Sstb", "Sstb: Store bit value", 3, {"source", "mask"}),
    stackOp(Sbra, "Sbra", "Sbra: Branch", 2, {"offset"}, L::Branch),
    stackOp(Sbt, "Sbt", "Sbt: Branch true (non-zero)", 2, {"offset"}, L::Branch),
    stackOp(Sbf, "Sbf", "Sbf: Branch false (zero)", 2, {"offset"}, L::Branch),
    stackOp(Slda, "Slda", "Slda: Load byte value", 2, {"source"}),
    stackOp(Sldi, "Sldi", "Sldi: Load immediate value", 2, {"value"}),
    stackOp(Ssta, "Ssta", "Ssta: Store byte", 2, {"source"}),
    stackOp(Snot, "Snot", "Snot: Boolean not", 1),
    stackOp(Scom, "Scom", "Scom: One's complement", 1),
    stackOp(Smul, "Smul", "Smul: Multiply (8-bit)", 1),
    stackOp(Sdiv, "Sdiv", "Sdiv: Divide", 1),
    stackOp(Smod, "Smod", "Smod: Modulo", 1),
    stackOp(Sadd, "Sadd", "Sadd: Add", 1),
    stackOp(Ssub, "Ssub", "Ssub: Subtract", 1),
    stackOp(Ssl, "Ssl", "Ssl: Shift Left n places", 1),
    stackOp(Ssr, "Ssr", "Ssr: Shift Right n places", 1),
    stackOp(St, "St", "St: Convert to boolean", 1),
    stackOp(Sthi, "Sthi", "Sthi: Test for greater than", 1),
    stackOp(Sths, "Sths", "Sths: Test for greater than or equal to", 1),
    stackOp(Stlo, "Stlo", "Stlo: Test for less than", 1),
    stackOp(Stls, "Stls", "Stls: Test for less than or equal to", 1),
    stackOp(Steq, "Steq", "Steq: Test for equal to", 1),
    stackOp(Stne, "Stne", "Stne: Test for not equal to", 1),
    stackOp(Sand, "Sand", "Sand: Binary And", 1),
    stackOp(Sxor, "Sxor", "Sxor: Binary Exclusive Or", 1),
    stackOp(Sor, "Sor", "Sor: Binary Or", 1),
    stackOp(Smin, "Smin", "Smin: Binary Minimum value", 1),
    stackOp(Smax, "Smax", "Smax: Binary Maximum value", 1),
    fixed(SFlyt2note, "SFlyt2note", "SFlyt2note: Lighted stop generates notes", 8,
          {"source", "count", "offset", "channel", "mask", "row ofs"}),
    fixed(SFmn2lytPiston, "SFmn2lytPiston", "SFmn2lytPiston: Note causes lighted piston act",
          4, {"note", "piston#"}),
    fixed(SFmn2lyt32Piston, "SFmn2lyt32Piston",
          "SFmn2lyt32Piston: Note causes lighted piston 32 act", 4, {"note", "piston#"}),
    fixed(SFunlisted47, "SFunlisted47", nullptr, 5, {"note", "offset", "value"}, L::Unlisted),
    fixed(SFmn2outPiston, "SFmn2outPiston", "SFmn2outPiston: Note causes driver piston act", 4,
          {"note", "piston#"}),
    withAlternate(fixed(SblindPiston, "SblindPiston", "SblindPiston: Blind comb. action piston",
                        5, {"Note no.", "Piston no.", "flags"}, L::BlindPiston),
                  "SblindPiston: Blind comb. action cancel"),
    fixed(SFreversible, "SFreversible", "SFreversible: Implement reversible", 7,
          {"note no", "offset", "bit mask", "off bit", "on bit"}),
    fixed(SFin2note, "SFin2note", "SFin2note: Bit range to note", 8,
          {"source", "count", "offset", "channel", "imask", "fmask"}),
    variable(SFinbit2note, "SFinbit2note", "SFinbit2note: Bit to note", 6, 8,
             {"source", "note #", "channel", "imask", "delta", "fmask"}, L::InputChannel),
    fixed(SFinbit2noteSet, "SFinbit2noteSet", "SFinbit2noteSet: In to note, throttle output", 6,
          {"source", "note #", "channel", "imask"}, L::InputChannel),
    fixed(SFinAlt2note, "SFinAlt2note", "SFinAlt2note: kx64 input to note", 7,
          {"source", "min bit", "max bit", "note of", "channel"}, L::AltInput),
    fixed(SFinAlt2altAction, "SFinAlt2altAction", "SFinAlt2altAction: alternate action input",
          8, {"source", "bit #", "st offset", "st mask", "MIDI note", "MIDI chan"}),
    fixed(SFinAlt2noteSet, "SFinAlt2noteSet", "SFinAlt2noteSet: kx64 to note, throttle output",
          7, {"source", "min bit", "max bit", "note of", "channel"}),
    fixed(SFbits2contr, "SFbits2contr", "SFbits2contr: ser binary bits to ctrl", 10,
          {"source", "work byte", "shift", "MIDI Chan", "Controller", "Input max", "Out range",
           "Out min"}),
    fixed(SFinAlt2contr, "SFinAlt2contr", "SFinAlt2contr: KX-64 input to controller", 9,
          {"source", "cmd", "work b", "ctrl#", "channel", "min val", "range"}),
    fixed(SFabits2contr, "SFabits2contr", "SFabits2contr: alt binary bits to ctrl", 11,
          {"source", "work byte", "min bit#", "max bit#", "MIDI Chan", "Controller",
           "Input max", "Out range", "Out min"}),
    fixed(SFa1ofnBits2contr, "SFa1ofnBits2contr", "SFa1ofnBits2contr: alt 1-of-n to ctrl", 10,
          {"source", "min bit#", "max bit#", "MIDI Chan", "Controller", "Input max",
           "Out range", "Out min"}),
    fixed(SF1ofnBits2contr, "SF1ofnBits2contr", "SF1ofnBits2contr: ser 1-of-n to ctrl", 12,
          {"source", "bytes-1", "i mask", "f mask", "offset", "MIDI Chan", "Controller",
           "Input max", "Out range", "Out min"}),
    fixed(SFenaSostenuto, "SFenaSostenuto", "SFenaSostenuto: check for sostenuto on/off", 8,
          {"bit offs", "bit mask", "buffer", "MIDI note", "channel", "byte cnt"}),
    fixed(SFmidiSostenuto, "SFmidiSostenuto",
          "SFmidiSostenuto: process MIDI notes for sostenuto", 5,
          {"buffer", "low note", "note count"}),
    withAlternate(variable(SFx2midi, "SFx2midi", "SFx2midi: send note if condition true", 6, 8,
                           {"work byte", "work mask", "channel no", "note numbr"}, L::MidiSend),
                  "SFx2midi: send message if condition true",
                  {"work byte", "byte mask", "byte count", "message"}),
    fixed(SFcouplerOr, "SFcouplerOr", "SFcouplerOr: process one coupler", 6,
          {"input buf", "byte count", "output buf", "shift"}),
    fixed(SFcouplerOut, "SFcouplerOut", "SFcouplerOut: clean up TO division", 7,
          {"input buf", "byte count", "output buf", "MIDI chan", "MIDI note"}),
    fixed(SFpizzReit, "SFpizzReit", "SFpizzReit: create pizz or reit pseudo division", 8,
          {"low note", "note count", "channel", "out note", "low mSec", "high mSec"},
          L::PizzReit),
    relay(SFdoRank, "SFdoRank", "SFdoRank: Process relay command for rank output",
          DoRankTrailer),
    relay(SFdoMelodyRank, "SFdoMelodyRank", "SFdoMelodyRank: Melody relay for rank output",
          DoRankTrailer),
    relay(SFdoBassRank, "SFdoBassRank", "SFdoBassRank: Bass relay for rank output",
          DoRankTrailer),
    relay(SFdoRelay, "SFdoRelay", "SFdoRelay: Process relay command", DoRelayTrailer),
    relay(SFdoMelodyRelay, "SFdoMelodyRelay", "SFdoMelodyRelay: Melody relay command",
          DoRelayTrailer),
    relay(SFdoBassRelay, "SFdoBassRelay", "SFdoBassRelay: Bass relay command", DoRelayTrailer),
    relay(SFdoRelayTrap, "SFdoRelayTrap", "SFdoRelayTrap: Trap relay command",
          {"div bitmap", "byte count", "i mask", "f mask", "midi note", "midi chan"}),
    relay(SFdoRankTrap, "SFdoRankTrap", "SFdoRankTrap: Trap relay for rank output",
          {"div bitmap", "byte count", "i mask", "f mask", "bit mask", "out offset"}),
    fixed(SFpruneRelay, "SFpruneRelay", "SFpruneRelay: Finish relay processing", 2),
    fixed(SFoneOfNOut, "SFoneOfNOut", "SFoneOfNOut: one of n outputs is active", 9,
          {"midi note", "offset", "byte count", "i mask", "f mask", "offset 1", "mask bit"}),
    fixed(SFslcdInit, "SFslcdInit", "SFslcdInit: Configure for LCD", 2),
    variable(SFslcdOut, "SFslcdOut", "SFslcdOut: Calculate LCD bytes", 4, MaxRecordLength,
             {"count", "flags", "byte"}, L::LcdBytes),
    fixed(SFslcdWait, "SFslcdWait", "SFslcdWait: Output bytes to LCD", 2),
    fixed(SFaltIncDec, "SFaltIncDec", "SFaltIncDec: Increment_Decrement", 11,
          {"buffer", "inc bit", "dec bit", "work byte", "min value", "max value", "channel",
           "contr num", "init value"}),
    stackOp(Sntest, "Sntest", "Sntest: Test for note/prog/ctl number", 1),
    fixed(Sctest, "Sctest", "Sctest: Test for ctl 120 or 123", 2),
    fixed(SallenTranslate, "SallenTranslate", "SallenTranslate: Convert allen stops to notes", 8,
          {"C99 Value", "C98 Value", "Channel", "Note", "C99 Loc", "C98 Loc"}),
};

// The table is in code order with no gaps, so a code indexes it directly.
constexpr bool tableIsDense() {
  for (std::size_t i = 0; i < std::size(Table); ++i)
    if (Table[i].code != i) return false;
  return std::size(Table) == SallenTranslate + 1;
}
static_assert(tableIsDense());


}  // namespace

int RecordInfo::labelCount() const { return countLabels(labels); }

int RecordInfo::alternateLabelCount() const { return countLabels(alternateLabels); }

std::span<const RecordInfo> recordTable() { return Table; }

const RecordInfo* findRecord(int code) {
  if (code < 0 || static_cast<std::size_t>(code) >= std::size(Table)) return nullptr;
  return &Table[code];
}

void appendRecord(ByteString& list, RecordCode code, std::span<const int> operands) {
  const RecordInfo* info = findRecord(code);
  if (!info || info->framing == F::End) throw ProgramBug{"record_codes: code"};
  int length = static_cast<int>(operands.size()) + (info->framing == F::Function ? 2 : 1);
  if (length < info->minLength || length > info->maxLength)
    throw ProgramBug{"record_codes: length"};
  list.push_back(code);
  if (info->framing == F::Function) list.push_back(static_cast<std::uint8_t>(length));
  for (int operand : operands) list.push_back(static_cast<std::uint8_t>(operand & 0xFF));
}

void appendRecord(ByteString& list, RecordCode code, std::initializer_list<int> operands) {
  appendRecord(list, code, std::span<const int>(operands.begin(), operands.size()));
}

void appendBytes(ByteString& list, const ByteString& bytes) {
  list.insert(list.end(), bytes.begin(), bytes.end());
}

}  // namespace plenum
