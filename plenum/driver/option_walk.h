#pragma once
// The walk over the command line: getopt's letters with POSIX rules (no permutation,
// stop at the first operand or after "--"), and the long options that may stand among
// them. Both the check of number arguments and the run itself walk with it, so they
// agree on where every word belongs.

#include <string>

#include "plenum/driver/long_options.h"

namespace plenum {

struct OptionStep {
  enum Kind {
    End,                    // no more options; operandIndex() is the first operand
    Letter,                 // `letter` with `argument` (nullptr when it takes none)
    Long,                   // `option` with `argument` (nullptr when it takes none)
    UnknownLetter,          // `letter` is not in the option string
    MissingLetterArgument,  // `letter` wants an argument and the words ran out
    MissingLongArgument,    // `option` wants an argument and the words ran out
  };
  Kind kind = End;
  int letter = 0;
  const char* argument = nullptr;
  const WalkOption* option = nullptr;
};

class OptionWalk {
 public:
  // Starts a fresh walk, also when an earlier one in this process stopped half-way.
  OptionWalk(int argc, char** argv, const std::string& letters);

  OptionStep next();
  // The word the walk is at: after End, the first operand.
  int operandIndex() const;

 private:
  int argc_;
  char** argv_;
  std::string letters_;  // as getopt wants them: "+:" and the option letters
};

}  // namespace plenum
