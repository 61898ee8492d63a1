#pragma once
// The long options, each kind a table in long_options.cpp: those that stand alone as
// the first word and end the run (--help, --version); those that stand first and read
// the words after them themselves (--chart, --xref); and those that stand among the
// letter options and act in their place in command-line order, as letters do ("--name"
// or, with an argument, "--name VALUE" or "--name=VALUE").

namespace plenum {

// The action of argv[1] when it is a long option, else nullptr. An action returns
// the run's exit status.
using LongOptionAction = int (*)(const char* programPath);
LongOptionAction findLongOption(const char* word);

// Long options that read the words after them (their own options and a configuration
// file) get the whole command line. A word matches as written or followed by "=value".
using LongCommandAction = int (*)(int argc, char** argv);
LongCommandAction findLongCommand(const char* word);

struct WalkOption {
  const char* word;    // with its leading "--"
  bool takesArgument;
  void (*act)(const char* argument);  // argument is nullptr when it takes none
  const char* argumentName;           // for --help; nullptr when it takes none
  const char* help;                   // one line for --help
};

// The walk option that `word` is, else nullptr. For "--name=VALUE" `inlineArgument`
// points at VALUE; a value given to an option that takes none makes the word unknown.
const WalkOption* findWalkOption(const char* word, const char*& inlineArgument);

}  // namespace plenum
