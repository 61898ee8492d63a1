#pragma once
// The root of one compilation: the modules in file order and the combination action.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "plenum/model/nv_mod.h"

namespace plenum {

class CombinationAction;

class Configuration {
 public:
  Configuration();
  ~Configuration();
  Configuration(const Configuration&) = delete;
  Configuration& operator=(const Configuration&) = delete;

  // Parses the file into this configuration. A file that cannot be opened, a text
  // exception while parsing, a failed parse or any counted error end the run (status 1).
  void load(const std::string& path);

  // Takes ownership and numbers the module by its position.
  void addModule(NvPbusMod* module);

  // Takes ownership; a later combination action replaces an earlier one. A template so
  // that this header needs only the declaration of CombinationAction.
  template <class Action>
  void setCombinationAction(Action* action) {
    combinationActionOwner_.reset(action);
    combinationAction_ = action;
    printCombinationAction_ = [action] { action->print(); };
  }
  CombinationAction* combinationAction() const { return combinationAction_; }

  // The configuration listing.
  void print() const;

  // Generates every module, equalises the memory banks, prints the module count and,
  // with the hex-dump debug bit, each image.
  void generatePrograms();

  // Prints module i's program listing.
  void listProgram(int i, std::FILE* out = stdout) const;

  std::vector<std::unique_ptr<NvPbusMod>> modules;

 private:
  void equaliseBanks();
  void dumpImages() const;

  std::unique_ptr<Element> combinationActionOwner_;
  CombinationAction* combinationAction_ = nullptr;
  std::function<void()> printCombinationAction_;
};

}  // namespace plenum
