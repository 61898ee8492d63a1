#include "plenum/driver/option_walk.h"

#include <unistd.h>

namespace plenum {

// getopt keeps its place inside a word of letters between calls; optind = 0 makes it
// forget an earlier walk. A first call on the program's name alone does that without
// reading a word, so the walk may then start with a long option.
OptionWalk::OptionWalk(int argc, char** argv, const std::string& letters)
    : argc_(argc), argv_(argv), letters_("+:" + letters) {
  char* nameOnly[] = {argv[0], nullptr};
  opterr = 0;
  optind = 0;
  (void)getopt(1, nameOnly, letters_.c_str());
  optind = 1;
}

OptionStep OptionWalk::next() {
  OptionStep step;
  // optind moves on only when a word of letters is used up, so a word seen here is never
  // half-read; and a word that is an option's argument has been stepped over already.
  const char* inlineArgument = nullptr;
  if (optind < argc_) {
    if (const WalkOption* option = findWalkOption(argv_[optind], inlineArgument)) {
      ++optind;
      step.kind = OptionStep::Long;
      step.option = option;
      if (option->takesArgument) {
        if (inlineArgument != nullptr) {
          step.argument = inlineArgument;
        } else if (optind < argc_) {
          step.argument = argv_[optind++];
        } else {
          step.kind = OptionStep::MissingLongArgument;
        }
      }
      return step;
    }
  }
  const int letter = getopt(argc_, argv_, letters_.c_str());
  if (letter == -1) return step;
  if (letter == '?') {
    step.kind = OptionStep::UnknownLetter;
    step.letter = optopt;
  } else if (letter == ':') {
    step.kind = OptionStep::MissingLetterArgument;
    step.letter = optopt;
  } else {
    step.kind = OptionStep::Letter;
    step.letter = letter;
    step.argument = optarg;
  }
  return step;
}

int OptionWalk::operandIndex() const { return optind; }

}  // namespace plenum
