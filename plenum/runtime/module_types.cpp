#include "plenum/runtime/module_types.h"

#include "plenum/runtime/exits.h"

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
  switch (moduleTypeOf(k)) {
    case 'A':
      return 64;
    case 'B':
    case 'C':
      return 128;
    default:
      throw ProgramBug{"data:4818"};
  }
}

}  // namespace plenum
