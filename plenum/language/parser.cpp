#include "plenum/language/parser.h"

#include <cstring>

#include "grammar.tab.hpp"
#include "plenum/language/compiler_context.h"
#include "plenum/language/diagnostics.h"
#include "plenum/language/scanner.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/settings.h"

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

namespace {
// Marks the context as parsing while it lives, also when the parse ends by an exception.
class ParsingScope {
 public:
  explicit ParsingScope(CompilerContext& c) : context_(c) {
    context_.parsing = true;
    context_.parseStopRequested = false;
  }
  ~ParsingScope() { context_.parsing = false; }
  ParsingScope(const ParsingScope&) = delete;
  ParsingScope& operator=(const ParsingScope&) = delete;

 private:
  CompilerContext& context_;
};
}  // namespace

int parseConfigurationFile(std::FILE* file) {
  setScannerInput(file);
  yydebug = settings().parserTrace != 0;
  int result = 0;
  {
    ParsingScope scope(context());
    result = yyparse();
  }
  if (context().parseStopRequested) exitWith(1);
  return result;
}

}  // namespace plenum
