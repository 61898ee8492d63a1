#pragma once
// The base of every function statement of a module: written under a board or directly
// in the module statement. Subclasses (MIDI items, relays, couplers, ...) add their
// fields and generators.

#include "plenum/model/element.h"

namespace plenum {

class ModuleProgram;
class NvPbusMod;
class PbusDev;

class ModFunction : public Element {
 public:
  using Element::Element;

  // The configuration listing line; indent puts four blanks first.
  virtual void print(bool indent) const = 0;

  // Emits the records of a statement written under a board. Statements that only
  // exist at module level never get here (a program fault if they do).
  virtual void generate(ModuleProgram& program, PbusDev* board);

  // The board's module when the statement is under a board, else the module field.
  virtual NvPbusMod* getModule() const;

  // Whether the statement's item may be referred to from module moduleNumber.
  virtual bool isAvailableIn(int moduleNumber) const;

  // Emits the records of a statement written directly in the module statement
  // (controllers, pizzicato, couplers, when commands, ...). The default is the module's
  // "unknown kind of function" fault, "data:5006".
  virtual void generateInModule(ModuleProgram& program, NvPbusMod& module);

  // A work byte taken while the module was being read moves, because a board attached
  // later needs it. Only the items that take bytes that early hold any.
  virtual void moveWorkByte(int /*from*/, int /*to*/) {}

  PbusDev* board = nullptr;     // the board the statement is written under
  NvPbusMod* module = nullptr;  // the module, when not under a board
};

}  // namespace plenum
