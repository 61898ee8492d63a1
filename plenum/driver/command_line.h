#pragma once
// The options of plenum, performed one by one in command-line order, then the
// configuration file if one is named.

namespace plenum {

// The option letters; a letter with a colon takes an argument.
inline constexpr const char* OptionLetters = "d:i:o:m:n:LEHRVS:U:C:vw:p:P%^:fD:txu";

// Walks argv (argv[0] is the program's path) with POSIX rules: option processing stops
// at the first word that is not an option, or after "--"; that word is the
// configuration file and every word after it is ignored (named on stderr). Returns the exit status of the
// run: 0, or 3 after an unknown option, a missing option argument, or a number option
// whose word is not a number (checked before any option acts). Operations that end
// the run throw as usual.
int runCommandLine(int argc, char** argv);

}  // namespace plenum
