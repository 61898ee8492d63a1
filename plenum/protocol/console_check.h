#pragma once
// The console check: what each module of the loop holds compared with what the
// configuration compiles to, with the verify requests of the download and without
// writing anything or stopping a module.

#include <cstddef>
#include <string>
#include <vector>

#include "plenum/protocol/block_programming.h"

namespace plenum {

// Exit statuses of a check; a compile or protocol failure ends the run as it always does.
inline constexpr int kCheckSame = 0;
inline constexpr int kCheckDiffers = 5;
inline constexpr int kCheckModuleCount = 6;  // the loop has more or fewer modules

// One area of a module compared page by page.
struct AreaComparison {
  std::size_t pages = 0;  // pages compared
  std::vector<PageDifference> differing;
};

// What one loop module holds against its definition module.
struct ModuleComparison {
  int loopModule = 0;
  int definitionModule = 0;
  char reportedType = 'B';
  char definedType = 'B';
  AreaComparison relayCode;  // no pages on type C, or when the types differ
  AreaComparison program;

  bool typeDiffers() const { return reportedType != definedType; }
  bool same() const {
    return !typeDiffers() && relayCode.differing.empty() && program.differing.empty();
  }
};

// Compiles `fileName` for the loop and compares definition module startModule + i
// (startModule < 0 counts as 0) with loop module i. Prints one verdict per module and a
// closing line; returns kCheckSame, kCheckDiffers or kCheckModuleCount.
int checkConsole(const std::string& fileName, int startModule);

// The lines printed for one module.
std::string describeComparison(const ModuleComparison& comparison);

}  // namespace plenum
