#pragma once
// Entry point of the configuration parser.

#include <cstdio>

namespace plenum {

// Reads the open file to its "*END" and builds the configuration of the context in
// force. Returns the parser's result: 0 when the parse completed, 1 when it gave up after
// syntax errors, 2 when a phrase nested too deeply for the parser's stack.
int parseConfigurationFile(std::FILE* file);

}  // namespace plenum
