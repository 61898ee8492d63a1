#include "plenum/codegen/in_control.h"

#include <cstdio>

namespace plenum {

void ModInControl::print(bool indent) const {
  std::printf("%sController: Chan = %d, Controller = %d\n", indent ? "    " : "", channel,
              controller);
}

}  // namespace plenum
