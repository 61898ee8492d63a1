#pragma once
// A board of illuminated stop switches. Its stops become one MIDI note each, a
// contiguous run of notes on one channel; single stops can be named as input bits
// (lighted bits) so that other statements use them as buttons. With a combination
// action the first such board of a module also generates the pistons' code.

#include <memory>

#include "plenum/model/pbus_dev.h"

namespace plenum {

class ModInputBit;
class ModInputKbd;

class PbusLytedStop : public PbusDev {
 public:
  // Bytes per unit of each board kind.
  static constexpr int NarrowWidth = 1;  // *LIGHTED_STOP
  static constexpr int Width32 = 4;      // *LIGHTED_STOP_32
  static constexpr int Width40 = 5;      // *LIGHTED_STOP_40
  static constexpr int Width64 = 8;      // *LIGHTED_STOP_64

  PbusLytedStop(SourceLocation where, int bytesPerUnit);
  ~PbusLytedStop() override;

  // *COUNT: 1 to 8 units; stored even when reported.
  void setCount(int value);
  // *SINGLE_ROW.
  void setSingleRow() { singleRow = true; }
  // *MIDI_CHANNEL (the index) and *MIDI_NOTE (the first note of the board).
  void setChannel(int index);
  void setNote(int note);
  // *INPUT_BIT = name *BIT = n inside the statement: becomes one of the board's items
  // and takes the board's channel and the note of stop n.
  void addLightedBit(ModInputBit* bit);

  void print() const override;
  void generate(ModuleProgram& program) override;
  // A board without *COUNT is reported and counts as one unit.
  void attach(NvPbusMod& module, int& outputBytes, int& inputBytes) override;
  int outputByteCount() const override;
  int inputByteCount() const override;
  int inputBitCount() const override;
  bool usesCombinationAction() const override;
  unsigned functionUse() const override;

  int channel() const;
  int firstNote() const;
  bool hasFirstNote() const;
  // Bytes of one row of stops across all units: count x width (0 while unusable).
  int unitBytes() const;
  // The count as far as the chain figures use it: a count far out of range (reported)
  // stays small enough to compute with.
  int countedUnits() const;

  int count = -1;
  bool singleRow = false;
  const int width;

 private:
  void completeLightedBit(ModInputBit& bit);
  void claimNotesOfBoard();
  void generatePistons(ModuleProgram& program);

  std::unique_ptr<ModInputKbd> midi_;  // the board's channel and first note
};

}  // namespace plenum
