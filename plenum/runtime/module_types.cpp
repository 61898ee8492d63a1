#include "plenum/runtime/module_types.h"

#include "plenum/runtime/exits.h"
#include "plenum/runtime/memory_map.h"

namespace plenum {

std::string& moduleTypes() {
  static std::string letters;
  return letters;
}

char moduleTypeOf(int k) {
  const std::string& letters = moduleTypes();
  if (k < 0 || static_cast<std::size_t>(k) >= letters.size()) return 'B';
  return letters[static_cast<std::size_t>(k)];
}

int modulePageSize(int k) {
  const ModuleMemoryMap* map = memoryMapOf(moduleTypeOf(k));
  if (map == nullptr) throw ProgramBug{"data:4818"};
  return map->pageSize;
}

}  // namespace plenum
