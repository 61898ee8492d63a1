#pragma once
// The registration file: text, first line "reg 1", then two lines per module with
// combination action: "mod M banks B pistons P size S" and the memory as hex digits in
// whole 64-byte blocks.

#include "plenum/protocol/registration.h"

namespace plenum {

// Writes the set to fileName. The file is written beside the target under another name
// and renamed over it only when complete, so a failed save never spoils a good file.
// 0 on success; 1 after a message.
int saveRegistration(const RegistrationSet& set, const char* fileName);

// Appends the file's records to the set. Records read before a fault in the file stay in
// the set. 0 on success; 1 after a message.
int loadRegistration(RegistrationSet& set, const char* fileName);

}  // namespace plenum
