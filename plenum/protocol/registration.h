#pragma once
// The registration: the piston memories that the combination action of a module keeps in
// its data memory, bank by bank. Fetched from the modules, stored back into them, and
// (registration_file.h) saved to and loaded from a text file. The registration is the
// organist's work of months, so every value read from a module or a file is checked
// before it is used, and nothing is written to a module until every check has passed.

#include <string>
#include <vector>

namespace plenum {

struct RegistrationRecord {
  int module = 0;    // module number in the loop
  int banks = 0;     // memory banks held in data (after a fetch: the banks fetched)
  int pistons = 0;   // pistons per bank
  int size = 0;      // bytes per piston memory (a preset)
  int firstBank = -1;  // first bank the fetch asked for; not saved
  bool isTypeB = false;  // not saved
  std::string data;  // two hex digits per memory byte, lowest address first

  int bankBytes() const { return pistons * size; }
};

// In loop order; operations append, nothing removes.
using RegistrationSet = std::vector<RegistrationRecord>;

// Bytes of one read request, and the hex digits a saved data line holds per such block.
inline constexpr int kReadBlockBytes = 64;

// The hex digits a data line of a record with this shape holds: whole 64-byte blocks.
// -1 when the shape cannot be a module's registration (negative, or beyond a module's
// 64 KiB of memory).
long dataDigitsFor(long banks, long pistons, long size);

// Reads the information block of every module and, unless infoOnly, the banks firstBank
// (0 when negative) to firstBank + count - 1 (to the last bank when count is negative)
// of every module with combination action, appending one record per such module.
// 0 on success; 1 after a message. Expects the port open.
int fetchRegistration(RegistrationSet& set, bool infoOnly, int firstBank, int count);

// Writes the set into the connected modules: the whole set when bank is negative, or the
// one bank of each record into bank `bank`; with copies > 1 and one-bank records, into
// `copies` consecutive banks from `bank`. 0 on success; 1 after a message.
int storeRegistration(const RegistrationSet& set, int bank, int copies);

}  // namespace plenum
