#pragma once
// *WHEN (trigger) [*IF (condition)] [*VALUE] name = (expression): whenever the trigger (a
// note, program change or controller) arrives, the module stores the expression into a
// local bit, or with *VALUE into a local byte, provided the condition holds. The code
// runs in the dispatch list of the trigger's channel.

#include <memory>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/mod_function.h"

namespace plenum {

class ModMidiFunction;

class ModWhenCmd : public ModFunction {
 public:
  // Reports a trigger name that is unbound or names no MIDI item (the trigger is then
  // none). The target is bound when the statement joins its module.
  ModWhenCmd(SourceLocation where, IdentifierRecord* trigger, Exp* condition,
             IdentifierRecord* target, Exp* value);

  void print(bool indent) const override;
  void generateInModule(ModuleProgram& program, NvPbusMod& module) override;

  // Finds or makes the local bit the statement stores into, in its module.
  virtual void bindTarget(NvPbusMod& module);

  ModMidiFunction* trigger = nullptr;
  std::unique_ptr<Exp> condition;
  std::unique_ptr<Exp> value;
  IdentifierRecord* targetName;
  bool valueFlag = false;  // the target is a local byte
  ModFunction* target = nullptr;

 protected:
  // The store of the value into the target; false for a target of another kind.
  virtual bool appendStore(ByteString& code) const;
};

// *WHEN (trigger) ... *VALUE name = (expression): the target is a local byte.
class ModWhenCmdV : public ModWhenCmd {
 public:
  ModWhenCmdV(SourceLocation where, IdentifierRecord* trigger, Exp* condition,
              IdentifierRecord* target, Exp* value);

  void bindTarget(NvPbusMod& module) override;

 protected:
  bool appendStore(ByteString& code) const override;
};

}  // namespace plenum
