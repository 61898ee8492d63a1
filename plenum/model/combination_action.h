#pragma once
// The combination action: pistons that store and recall the positions of the stop tabs
// (a registration) in memory banks of the module, with set and map buttons and a memory
// select control choosing the bank.
//
// CombinationAction is the configuration's one: its tabs are dual-magnet stop tabs on
// output boards (or the lighted stops of a lighted-stop board), and its code goes into
// every module whose boards take part. BlindCombinationAction is a board of one module:
// its tabs are plain input bits and it drives no magnets.

#include <memory>
#include <vector>

#include "plenum/model/pbus_dev.h"
#include "plenum/model/tab_driver.h"

namespace plenum {

class Exp;
class ModInControl;
class ModInputBit;
class ModOutputBit;
class ModuleProgram;
class NvPbusMod;

// What both forms have: the buttons, the pistons and the memory select, with the
// setters the parser calls.
class CombinationInputs {
 public:
  virtual ~CombinationInputs();

  void setSetBit(IdentifierRecord* id);
  void setMapBit(IdentifierRecord* id);
  void addPiston(IdentifierRecord* id);
  void setMemorySelect(IdentifierRecord* id);
  void setMemorySelect(Exp* expression);

  ModInputBit* setBit = nullptr;
  ModInputBit* mapBit = nullptr;
  std::vector<ModInputBit*> pistons;
  ModInControl* memorySelectController = nullptr;
  std::unique_ptr<Exp> memorySelectExpression;

 protected:
  // Where reports that concern the statement as a whole go.
  virtual const Element& statement() const = 0;
  // The blind form reports a wrong kind of element at that element.
  virtual bool reportsAtNamedElement() const = 0;

  // The memory select's records, and the bank count and bank byte of the program.
  // reportZeroByte: a bank byte of 0 is a fault of this program, reported as such.
  void generateMemorySelect(ModuleProgram& program, NvPbusMod& module, bool reportZeroByte);
  // A set, map or piston input declared on a board of this module or a later one is
  // read before its own module has produced it.
  void checkDefinedBefore(const ModInputBit& input, const PbusDev& board, const char* what,
                          const char* where) const;
};

// A stop tab with an *ON and an *OFF magnet, and the input that reports its position.
class DualMagTab : public Element {
 public:
  using Element::Element;
  ~DualMagTab() override;

  void print() const;

  // DUAL_MAG_TAB = id, or *NAME = id: the input bit that reports the tab's position.
  void setName(IdentifierRecord* id);
  void setOn(ModOutputBit* output);
  void setOff(ModOutputBit* output);
  void addReversible(IdentifierRecord* id);

  ModInputBit* name = nullptr;
  std::unique_ptr<ModOutputBit> on;
  std::unique_ptr<ModOutputBit> off;
  std::vector<ModInputBit*> reversibles;
};

class CombinationAction : public Element, public CombinationInputs, public StopTabSource {
 public:
  static constexpr int DefaultDualMagTime = 100;

  using Element::Element;
  ~CombinationAction() override;

  void print() const;

  void addTab(DualMagTab* tab);
  // Milliseconds of the magnet pulse, 1 to 255; stored even when out of range.
  void setDualMagTime(int milliseconds);

  // The combination action's code for the module of board: the set and map bits, the
  // piston records (by the kind of board that recalls the tabs) and the memory select.
  // Runs for the first output-type board of a module that takes part.
  void generateForModule(PbusDev& board, ModuleProgram& program, bool lighted, bool wide);

  // What the output boards that drive the tabs ask.
  std::vector<StopTab> stopTabs() const override;
  int dualMagnetTime() const override { return dualMagTime; }
  int pistonCount() const override { return static_cast<int>(pistons.size()); }
  void generateForTabDriver(ModuleProgram& program, NvPbusMod& module) override;

  std::vector<std::unique_ptr<DualMagTab>> tabs;
  int dualMagTime = DefaultDualMagTime;

 protected:
  const Element& statement() const override { return *this; }
  bool reportsAtNamedElement() const override { return false; }
};

// Makes action the current configuration's combination action (replacing an earlier
// one), and the source of the stop tabs that the output boards drive.
void installCombinationAction(CombinationAction* action);

class BlindCombinationAction : public PbusDev, public CombinationInputs {
 public:
  static constexpr int MaxTabs = 128;

  using PbusDev::PbusDev;
  ~BlindCombinationAction() override;

  void print() const override;
  void generate(ModuleProgram& program) override;
  unsigned functionUse() const override;

  void setCancelBit(IdentifierRecord* id);
  void addTab(IdentifierRecord* id);
  void setAdditive() { additive = true; }

  ModInputBit* cancelBit = nullptr;
  std::vector<ModInputBit*> tabs;
  bool additive = false;

 protected:
  const Element& statement() const override { return *this; }
  bool reportsAtNamedElement() const override { return true; }

 private:
  void generateTabs(ModuleProgram& program);
  void generatePistons(ModuleProgram& program);
};

}  // namespace plenum
