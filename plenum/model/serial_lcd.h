#pragma once
// A character display of 4 lines of 20 columns on a serial link. The statement's items
// form groups: consecutive items, or an IF ( exp ) { ... } ELSE { ... } pair whose
// parts are shown while the condition is true, respectively false. The items become
// SFslcdOut records, paced by SFslcdWait records so that at most 32 bytes go out
// between two waits.

#include <memory>
#include <vector>

#include "plenum/model/lcd_atom.h"
#include "plenum/model/pbus_dev.h"

namespace plenum {

class Exp;

class LcdGroup : public Element {
 public:
  explicit LcdGroup(SourceLocation where);
  ~LcdGroup() override;

  void add(std::unique_ptr<LcdAtom> item) { items.push_back(std::move(item)); }

  std::vector<std::unique_ptr<LcdAtom>> items;
  std::unique_ptr<Exp> condition;       // null: always shown
  std::unique_ptr<LcdGroup> elseGroup;  // shown while the condition is false
};

// The display boards; only the serial one is ever made.
class PbusLcd : public PbusDev {
 public:
  using PbusDev::PbusDev;
};

class PbusSerialLcd : public PbusLcd {
 public:
  using PbusLcd::PbusLcd;
  ~PbusSerialLcd() override;

  // Takes ownership of a finished LcdGroup (anything else is a program fault).
  void addItem(Element* list) override;
  void print() const override;
  void generate(ModuleProgram& program) override;

  std::vector<std::unique_ptr<LcdGroup>> groups;

 private:
  void generateGroup(const LcdGroup& group, ModuleProgram& program);
  void generateItem(const LcdAtom& item, ModuleProgram& program);
  void wait(ModuleProgram& program);
  void waitIfPending(ModuleProgram& program);
  void printItems(const LcdGroup& group) const;

  int pending_ = 0;  // bytes sent since the last SFslcdWait
};

}  // namespace plenum
