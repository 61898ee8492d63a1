#include "plenum/language/parser.h"

#include <cstring>

#include "grammar.tab.hpp"
#include "plenum/driver/exits.h"
#include "plenum/driver/settings.h"
#include "plenum/language/compiler_context.h"
#include "plenum/language/diagnostics.h"
#include "plenum/language/scanner.h"

void yyerror(const char* message) {
  // Running out of parser stack is a limit of this program, not an error of the file:
  // shown in the same form but not counted.
  if (std::strcmp(message, "memory exhausted") == 0) {
    std::fprintf(stderr, "%s: %s\n", plenum::currentPosition().c_str(), message);
    return;
  }
  plenum::reportSyntaxError(message);
}

namespace plenum {

int parseConfigurationFile(std::FILE* file) {
  setScannerInput(file);
  yydebug = settings().parserTrace != 0;
  CompilerContext& c = context();
  c.parsing = true;
  c.parseStopRequested = false;
  int result = 2;
  try {
    result = yyparse();
  } catch (...) {
    c.parsing = false;
    throw;
  }
  c.parsing = false;
  if (c.parseStopRequested) exitWith(1);
  return result;
}

}  // namespace plenum
