#pragma once
// The command line's registration actions. Each works on a set of its own: were records
// of several actions to pile up in one set, "-U a.reg -S b.reg" would save a file that no
// loop could ever take back. A failed action has printed its message and returns 1; the
// run goes on with the next option.

#include "plenum/protocol/registration.h"

namespace plenum {

// -S: fetch banks startModule.. (bankCount of them) and save the set to the file.
int saveRegistrationOption(const char* fileName);
// -U: load the file into the set and store it at bank startModule, bankCount copies.
int loadRegistrationOption(const char* fileName);
// -C: fetch the one bank and store it at bank startModule, bankCount copies.
int copyRegistrationOption(int bank);

}  // namespace plenum
