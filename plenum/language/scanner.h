#pragma once
// The scanner's interface outside the parser: where it reads, and a way to turn a text
// into its tokens (for tests and tools). The parser itself calls yylex().

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plenum/language/compiler_context.h"

namespace plenum {

// Points the scanner at an open configuration file. The line counter of the context
// carries on: one file is read per run.
void setScannerInput(std::FILE* file);

// One token as the parser would receive it.
struct ScannedToken {
  int kind = 0;                                // TOK_... code, or the character itself
  int number = 0;                              // INT
  IdentifierRecord* identifier = nullptr;      // ID
  std::optional<std::string> text;             // STRING (none for "*STRING"), MIDI literals
  int line = 0;                                // the line the token stands on

  bool operator==(const ScannedToken&) const = default;
};

// Every token of the text up to its end (the end-of-input token not included). Line
// numbers continue from the context's current line.
std::vector<ScannedToken> scanText(std::string_view text);

}  // namespace plenum
