#include "plenum/protocol/registration_options.h"

#include "plenum/driver/settings.h"
#include "plenum/midi/current_port.h"
#include "plenum/protocol/registration_file.h"

namespace plenum {

namespace {

bool failedInRun = false;

int noted(int result) {
  if (result != 0) failedInRun = true;
  return result;
}

}  // namespace

int saveRegistrationOption(const char* fileName) {
  currentPort();
  const Settings& s = settings();
  RegistrationSet set;
  if (fetchRegistration(set, false, s.startModule, s.bankCount) != 0) return noted(1);
  return noted(saveRegistration(set, fileName));
}

int loadRegistrationOption(const char* fileName) {
  RegistrationSet set;
  if (loadRegistration(set, fileName) != 0) return noted(1);
  currentPort();
  return noted(storeRegistration(set, settings().startModule, settings().bankCount));
}

int copyRegistrationOption(int bank) {
  currentPort();
  RegistrationSet set;
  if (fetchRegistration(set, false, bank, 1) != 0) return noted(1);
  return noted(storeRegistration(set, settings().startModule, settings().bankCount));
}

bool registrationFailedInRun() { return failedInRun; }

void resetRegistrationRun() { failedInRun = false; }

}  // namespace plenum
