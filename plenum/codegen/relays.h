#pragma once
// Relays: a keyboard division played out, while its stop tabs are on and its condition
// holds, either as MIDI notes on a channel (shifted by an offset) or on the bits of a
// rank on an output board. Bass and melody relays play only the lowest or highest key;
// a trap sounds one fixed note or rank bit for the whole division. Each emits one relay
// record with its tab and condition pairs.

#include <memory>
#include <vector>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/midi_items.h"

namespace plenum {

class ModInputBit;
class ModInputKbd;
class ModOutputRank;

class ModRelay : public ModMidiFunction {
 public:
  using ModMidiFunction::ModMidiFunction;

  void print(bool indent) const override;
  // The relay record into the main list; board is the relays group.
  void generate(ModuleProgram& program, PbusDev* board) override;

  // *DIVISION = name.
  virtual void setDivision(IdentifierRecord* name);
  virtual const char* kindName() const { return "Relay"; }
  // The record code without and with a rank.
  virtual RecordCode recordCode() const { return hasRank ? SFdoRank : SFdoRelay; }
  virtual bool isTrap() const { return false; }
  // Whether the record carries a velocity byte.
  virtual bool velocityApplies() const { return !hasRank; }

  // *RANK = name, and *RANK = name, first, last (1-based notes of the rank).
  void setRank(IdentifierRecord* name);
  void setRank(IdentifierRecord* name, int first, int last);
  // *TAB = name (on) and *TAB = !name (off).
  void addTab(IdentifierRecord* name, bool on);

  struct Tab {
    ModInputBit* input;
    bool on;
  };

  ModInputKbd* division = nullptr;
  ModOutputRank* rank = nullptr;
  std::vector<Tab> tabs;
  bool hasRank = false;
  std::unique_ptr<Exp> condition;
  std::unique_ptr<Exp> velocity;
  int rankFirst = 0;  // 0: the whole rank
  int rankLast = 0;

 protected:
  // The division's notes as the record reads them.
  struct DivisionNotes {
    int bitmap;  // first note-state byte
    int first;   // first note
    int count;   // notes including the extension
  };
  // The rank's bits after narrowing by rank first and last.
  struct RankBits {
    int first;   // 1-based bit of the board chain, counted from the rank's board
    int count;
    int boardOffset;  // outputOffset of the rank's board
  };

  // Checks the division and returns its notes; false when there is nothing to play.
  bool divisionNotes(DivisionNotes& notes);
  virtual void reportMissingChannel() const;
  // The bytes after the pairs' 0. False when the relay has no effective record.
  virtual bool midiTrailer(NvPbusMod& module, const DivisionNotes& notes, ByteString& trailer);
  virtual bool rankTrailer(NvPbusMod& module, const DivisionNotes& notes, const RankBits& bits,
                           ByteString& trailer);
  // The velocity byte of a record that carries one.
  int velocityByte() const;
  // The output notes of a MIDI relay: count notes from start, cut at note 127 when asked.
  bool outputNotes(const DivisionNotes& notes, bool cutAtTop, int& count, int& start);
  // The notes of the division that land on the rank (a negative offset skips rank bits).
  bool rankNotes(const DivisionNotes& notes, const RankBits& bits, int& count);
  // A MIDI relay limits its channel's truncation and asks for the relay clean-up.
  void markMidiOutput(NvPbusMod& module);

 private:
  bool rankBits(NvPbusMod& module, RankBits& bits);
  // The tab and condition pairs, then the trailer, as one record.
  void emitRecord(ModuleProgram& program, NvPbusMod& module, const DivisionNotes& notes,
                  const ByteString& conditionPairs);
};

class ModBassRelay : public ModRelay {
 public:
  using ModRelay::ModRelay;
  const char* kindName() const override { return "Bass"; }
  RecordCode recordCode() const override { return hasRank ? SFdoBassRank : SFdoBassRelay; }
};

// Walks the division's bytes from the highest down, so its trailer starts at the top.
class ModMelodyRelay : public ModRelay {
 public:
  using ModRelay::ModRelay;
  const char* kindName() const override { return "Melody"; }
  RecordCode recordCode() const override { return hasRank ? SFdoMelodyRank : SFdoMelodyRelay; }

 protected:
  void reportMissingChannel() const override;
  bool midiTrailer(NvPbusMod& module, const DivisionNotes& notes, ByteString& trailer) override;
  bool rankTrailer(NvPbusMod& module, const DivisionNotes& notes, const RankBits& bits,
                   ByteString& trailer) override;
};

// One fixed note (or one bit of a rank) for any key of the division. The note or bit is
// held in the offset field.
class ModTrapRelay : public ModRelay {
 public:
  using ModRelay::ModRelay;
  const char* kindName() const override { return "Trap"; }
  RecordCode recordCode() const override { return hasRank ? SFdoRankTrap : SFdoRelayTrap; }
  bool isTrap() const override { return true; }
  bool velocityApplies() const override { return false; }

 protected:
  bool rankTrailer(NvPbusMod& module, const DivisionNotes& notes, const RankBits& bits,
                   ByteString& trailer) override;
};

}  // namespace plenum
