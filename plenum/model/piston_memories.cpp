#include "plenum/model/piston_memories.h"

#include "plenum/model/element.h"

namespace plenum {

int roundedPistons(int pistons, int pistonSize, int pageSize) {
  const long bytes = static_cast<long>(pistons) * pistonSize;
  return static_cast<int>((bytes + pageSize - 1) / pageSize * pageSize / pistonSize);
}

int pistonMemories(const Element& statement, int module, int pistons, int pistonSize,
                   int pageSize) {
  const int rounded = roundedPistons(pistons, pistonSize, pageSize);
  if (rounded > MaxPistonMemories) {
    int fit = 0;
    while (roundedPistons(fit + 1, pistonSize, pageSize) <= MaxPistonMemories) ++fit;
    reportAt(statement, "There are %d pistons, but the program of module %d holds at most %d",
             pistons, module, fit);
  }
  return rounded;
}

}  // namespace plenum
