#pragma once
// Module type letters ('A', 'B', 'C') learnt from the chain inquiry. They fix each
// module's load address, address byte order and page size.

#include <string>

namespace plenum {

// Letter k is the type of loop module k; empty until the inquiry runs.
std::string& moduleTypes();

// The type of module k: its letter, or 'B' when nothing is known about it.
char moduleTypeOf(int k);

// The page size of module k's type (memory_map.h); any other letter is a program fault.
int modulePageSize(int k);

}  // namespace plenum
