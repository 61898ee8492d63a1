#include "plenum/protocol/registration_options.h"

#include <cstdio>

#include "plenum/midi/current_port.h"
#include "plenum/protocol/registration_file.h"
#include "plenum/runtime/settings.h"

namespace plenum {

int saveRegistrationOption(const char* fileName) {
  currentPort();
  const Settings& s = settings();
  RegistrationSet set;
  if (fetchRegistration(set, false, s.startModule, s.bankCount) != 0) return 1;
  // The file is written all the same, as it always was; it would pass for a saved one.
  if (set.empty())
    std::fprintf(stderr, "no module has a combination action: %s holds no registration\n", fileName);
  return saveRegistration(set, fileName);
}

int loadRegistrationOption(const char* fileName) {
  RegistrationSet set;
  if (loadRegistration(set, fileName) != 0) return 1;
  currentPort();
  return storeRegistration(set, settings().startModule, settings().bankCount);
}

int copyRegistrationOption(int bank) {
  currentPort();
  RegistrationSet set;
  if (fetchRegistration(set, false, bank, 1) != 0) return 1;
  return storeRegistration(set, settings().startModule, settings().bankCount);
}

}  // namespace plenum
