#pragma once
// What plenum prints about itself: the banner of every run and the usage text.

namespace plenum {

// A blank line, the program's path, the copyright line.
void printBanner(const char* programPath);

// The usage text; the first line names the program's path.
void printUsage(const char* programPath);

}  // namespace plenum
