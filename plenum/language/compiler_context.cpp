#include "plenum/language/compiler_context.h"

#include "plenum/language/diagnostics.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
const std::string& emptyName() {
  static const std::string empty;
  return empty;
}

CompilerContext*& currentContext() {
  static CompilerContext processContext;
  static CompilerContext* current = &processContext;
  return current;
}
}  // namespace

const std::string& SourceLocation::fileName() const { return file ? *file : emptyName(); }

IdentifierRecord* IdentifierTable::lookup(const std::string& text) {
  // A hostile file could otherwise name millions of things and exhaust memory long
  // before any error stops the parse.
  if (records_.size() >= kMaxIdentifiers && records_.find(text) == records_.end()) {
    throw TextException(formatText("more than %zu different names in one configuration",
                                   kMaxIdentifiers));
  }
  auto [it, inserted] = records_.try_emplace(text);
  if (inserted) it->second.name = text;
  return &it->second;
}

const IdentifierRecord* IdentifierTable::find(const std::string& text) const {
  auto it = records_.find(text);
  return it == records_.end() ? nullptr : &it->second;
}

CompilerContext::CompilerContext() : fileName_(std::make_shared<const std::string>()) {}

void CompilerContext::setFileName(const std::string& name) {
  fileName_ = std::make_shared<const std::string>(name);
}

CompilerContext& context() { return *currentContext(); }

CompilerContextScope::CompilerContextScope()
    : fresh_(std::make_unique<CompilerContext>()), previous_(currentContext()) {
  currentContext() = fresh_.get();
}

CompilerContextScope::~CompilerContextScope() { currentContext() = previous_; }

}  // namespace plenum
