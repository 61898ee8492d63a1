#pragma once
// A relays group: consecutive relay and trap statements of a module, acting only while
// their condition holds, with an optional group that acts while it does not. It sits on
// the board chain without taking bytes.

#include <memory>

#include "plenum/codegen/expressions.h"
#include "plenum/model/pbus_dev.h"

namespace plenum {

class Relays : public PbusDev {
 public:
  using PbusDev::PbusDev;

  void print() const override;
  // The condition's test, the relays, and the else group, with their branches.
  void generate(ModuleProgram& program) override;
  // Attaches the else group to the same module as well.
  void attach(NvPbusMod& module, int& outputBytes, int& inputBytes) override;
  unsigned functionUse() const override;

  // Some relay of the group, or of its else group, drives a rank.
  bool drivesRank() const;

  std::unique_ptr<Exp> condition;
  std::unique_ptr<Relays> elseGroup;
};

// Some relays group of the module drives a rank.
bool anyRelayDrivesRank(const NvPbusMod& module);

}  // namespace plenum
