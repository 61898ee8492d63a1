#pragma once
// *PIZZ = name and *REIT = name: a pseudo division that replays the notes of a source
// division on another channel, as short notes (pizzicato, *DELAY in milliseconds) or as
// repeated notes (reiteration, *RATE in repeats per second). The name is bound to a copy
// of the source division, so relays can play the pseudo division like any other.

#include <memory>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/midi_items.h"

namespace plenum {

class ModInputKbd;

class ModPizzReit : public ModMidiFunction {
 public:
  // Defines name (mode 1); the pseudo division takes it over once it exists.
  ModPizzReit(SourceLocation where, IdentifierRecord* name, bool pizzicato);
  ~ModPizzReit() override;

  void print(bool indent) const override;
  void generateInModule(ModuleProgram& program, NvPbusMod& module) override;
  // The pseudo division takes the statement's channel.
  void finish() override;

  // *DIVISION = source: makes the pseudo division.
  void setDivision(IdentifierRecord* name);
  void setExpression(Exp* value) { expression.reset(value); }

  bool isPizz() const { return pizzicato_; }

  int lowTime = 0;   // milliseconds
  int highTime = 0;  // milliseconds
  ModInputKbd* sourceDivision = nullptr;
  std::unique_ptr<Exp> expression;
  std::unique_ptr<ModInputKbd> pseudoDivision;

 private:
  bool pizzicato_;
};

class ModPizz : public ModPizzReit {
 public:
  ModPizz(SourceLocation where, IdentifierRecord* name);

  // *DELAY = low, high in milliseconds (low not below high).
  void setDelay(int low, int high);
};

class ModReit : public ModPizzReit {
 public:
  ModReit(SourceLocation where, IdentifierRecord* name);

  // *RATE = low, high in repeats per second, stored as periods.
  void setRate(int low, int high);
};

}  // namespace plenum
