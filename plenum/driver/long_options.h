#pragma once
// The long options: words of their own that stand first on the command line and
// are recognised before the letter options are walked. Add one by adding a row to
// the table in long_options.cpp.

namespace plenum {

// The action of argv[1] when it is a long option, else nullptr. An action returns
// the run's exit status.
using LongOptionAction = int (*)(const char* programPath);
LongOptionAction findLongOption(const char* word);

// Long options that read the words after them (their own options and a configuration
// file) get the whole command line. A word matches as written or followed by "=value".
using LongCommandAction = int (*)(int argc, char** argv);
LongCommandAction findLongCommand(const char* word);

}  // namespace plenum
