#pragma once
// Every record of a module program: function records (code, length byte, operands) and
// stack ops (code and a fixed number of operand bytes). One table describes them all;
// the emitters check what they write against it and the listing reads records with it.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace plenum {

// Growable byte sequence of a record list or an image.
using ByteString = std::vector<std::uint8_t>;

enum RecordCode : std::uint8_t {
  SEnd = 0,
  SFsetTranspose = 1,
  SFmn2bits = 2,
  SFmn2bit = 3,
  SFmn2bitPulse = 4,
  SFsendAltCmd = 5,
  SFsendReset = 6,
  SFpin2contr = 7,
  SFzeroMem = 8,
  SFmc2byte = 9,
  SFx2contr = 10,
  SFsetFlags = 11,
  Sjmp = 12,
  Sjt = 13,
  Sjf = 14,
  Sldb = 15,
  Sstb = 16,
  Sbra = 17,
  Sbt = 18,
  Sbf = 19,
  Slda = 20,
  Sldi = 21,
  Ssta = 22,
  Snot = 23,
  Scom = 24,
  Smul = 25,
  Sdiv = 26,
  Smod = 27,
  Sadd = 28,
  Ssub = 29,
  Ssl = 30,
  Ssr = 31,
  St = 32,
  Sthi = 33,
  Sths = 34,
  Stlo = 35,
  Stls = 36,
  Steq = 37,
  Stne = 38,
  Sand = 39,
  Sxor = 40,
  Sor = 41,
  Smin = 42,
  Smax = 43,
  SFlyt2note = 44,
  SFmn2lytPiston = 45,
  SFmn2lyt32Piston = 46,
  SFunlisted47 = 47,  // known to the executive; nothing in the language produces it
  SFmn2outPiston = 48,
  SblindPiston = 49,
  SFreversible = 50,
  SFin2note = 51,
  SFinbit2note = 52,
  SFinbit2noteSet = 53,
  SFinAlt2note = 54,
  SFinAlt2altAction = 55,
  SFinAlt2noteSet = 56,
  SFbits2contr = 57,
  SFinAlt2contr = 58,
  SFabits2contr = 59,
  SFa1ofnBits2contr = 60,
  SF1ofnBits2contr = 61,
  SFenaSostenuto = 62,
  SFmidiSostenuto = 63,
  SFx2midi = 64,
  SFcouplerOr = 65,
  SFcouplerOut = 66,
  SFpizzReit = 67,
  SFdoRank = 68,
  SFdoMelodyRank = 69,
  SFdoBassRank = 70,
  SFdoRelay = 71,
  SFdoMelodyRelay = 72,
  SFdoBassRelay = 73,
  SFdoRelayTrap = 74,
  SFdoRankTrap = 75,
  SFpruneRelay = 76,
  SFoneOfNOut = 77,
  SFslcdInit = 78,
  SFslcdOut = 79,
  SFslcdWait = 80,
  SFaltIncDec = 81,
  Sntest = 82,
  Sctest = 83,
  SallenTranslate = 84,
};

// Flag bits of the SFsetFlags operand.
enum ModuleFlag : std::uint8_t {
  FlagInvertInput = 0x10,
  FlagVerbatimEcho = 0x20,
  FlagOutputModule = 0x40,
  FlagNoRunningStatus = 0x80,
};

enum class RecordFraming : std::uint8_t {
  End,       // code 0: closes a list
  Function,  // byte 1 is the record's total length
  StackOp,   // no length byte; the size follows from the code
};

// How the listing prints a record's operands beyond one labelled line per byte.
enum class ListingForm : std::uint8_t {
  Plain,         // one labelled line per operand
  Unlisted,      // printed as an unrecognized code
  Flags,         // SFsetFlags: the value, then one line per flag that is set
  CommandBytes,  // the first operand alone, the next two on one line
  InputChannel,  // channel byte with program-change/invert flags (and alternate action)
  AltInput,      // SFinAlt2note: as InputChannel, "program change" spelt out
  BlindPiston,   // title by the cancel flag; "Additive" flag
  MidiSend,      // SFx2midi: note form or message form by byte 5
  PizzReit,      // channel byte names pizzicato or reiteration
  RelayPairs,    // (offset, mask) pairs up to a 0, then the trailer
  LcdBytes,      // count, flags, then count bytes as hex and as a character
  Jump,          // 16-bit offset and the destination
  Branch,        // 8-bit offset and the destination
};

constexpr int MaxOperandLabels = 10;

struct RecordInfo {
  using Labels = std::array<const char*, MaxOperandLabels>;

  RecordCode code;
  const char* name;
  const char* title;           // the listing's title, without its two leading blanks
  const char* alternateTitle;  // SFx2midi message form, SblindPiston cancel; else null
  RecordFraming framing;
  int minLength;  // total bytes, code (and length byte) included
  int maxLength;  // equal to minLength when the length is fixed
  ListingForm form;
  // Operand labels in byte order from the first operand; null after the last. For
  // relay records these are the trailer's labels, after the pairs.
  Labels labels;
  Labels alternateLabels;  // SFx2midi message form; else empty

  bool fixedLength() const { return minLength == maxLength; }
  int labelCount() const;
  int alternateLabelCount() const;
};

// The description of a code, or null when the code is not in the table.
const RecordInfo* findRecord(int code);

// Every described code, in code order.
std::span<const RecordInfo> recordTable();

// Appends one record: the code, the length byte for a function record, then the
// operands as their low 8 bits. A length that the table does not allow for the code is
// a program fault (ProgramBug "record_codes: length").
void appendRecord(ByteString& list, RecordCode code, std::initializer_list<int> operands);
void appendRecord(ByteString& list, RecordCode code, std::span<const int> operands);

// Appends a finished byte string (a record built locally) to a list.
void appendBytes(ByteString& list, const ByteString& bytes);

}  // namespace plenum
