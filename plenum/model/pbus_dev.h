#pragma once
// The common interface of the boards on a module's peripheral bus. A board takes bytes
// on the module's output chain and input chain, holds the declarations written inside
// its statement, and generates their records.

#include <memory>
#include <vector>

#include "plenum/model/element.h"

namespace plenum {

class ModuleProgram;
class NvPbusMod;

// What boardKind() answers.
enum BoardKind : int {
  PlainBoard = 0,
  Kx64Board = 1,
  Kx64AnalogBoard = 2,
  MatrixKeyboardBoard = 3,
};

class PbusDev : public Element {
 public:
  using Element::Element;

  // The board's configuration listing line and its items' lines.
  virtual void print() const = 0;
  // Emits the board's records and its items' records.
  virtual void generate(ModuleProgram& program) = 0;
  // Places the board on the module's two chains, advancing both counters; subclasses
  // that check their own fields first call this for the common work.
  virtual void attach(NvPbusMod& module, int& outputBytes, int& inputBytes);
  virtual int outputByteCount() const;
  virtual int outputBitCount() const;
  virtual int inputByteCount() const;
  virtual int inputBitCount() const;
  virtual int boardKind() const;
  virtual bool usesCombinationAction() const;
  // Records that an input bit is read as an analog value.
  virtual void markAnalogBit(int bit);
  // The function-use bits the board sets when attached; 0 = none.
  virtual unsigned functionUse() const;
  // Adds a list of items; only the serial LCD has lists. Prints "bug addItem" here.
  virtual void addItem(Element* list);

  // Takes ownership of a declaration written inside the board statement; a function
  // statement also learns that this is its board.
  void addBoardItem(Element* item);

  std::vector<std::unique_ptr<Element>> items;
  int outputOffset = 0;          // first byte of the board on the output chain
  int inputOffset = 0;           // first byte of the board on the input chain
  NvPbusMod* module = nullptr;   // set by attach
};

}  // namespace plenum
