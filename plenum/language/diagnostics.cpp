#include "plenum/language/diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "plenum/language/compiler_context.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
constexpr int MaxShownErrors = 5;

std::string formatTextV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  return std::string(buffer.data(), static_cast<std::size_t>(size));
}

// Counts one error; the sixth ends the run before anything is printed. Returns whether
// the error is to be shown.
bool countError() {
  CompilerContext& c = context();
  if (++c.diagnosticCount <= MaxShownErrors && !c.parseStopRequested) return true;
  if (!c.parsing) exitWith(1);
  c.parseStopRequested = true;
  return false;
}
}  // namespace

std::string formatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = formatTextV(format, args);
  va_end(args);
  return text;
}

void reportAtLocation(const SourceLocation& location, const std::string& message) {
  if (!countError()) return;
  std::printf("%s:%d: %s\n", location.fileName().c_str(), location.line, message.c_str());
}

void reportAtf(const SourceLocation& location, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string message = formatTextV(format, args);
  va_end(args);
  reportAtLocation(location, message);
}

std::string currentPosition() {
  const CompilerContext& c = context();
  return formatText("%s:%d", c.fileName()->c_str(), c.line);
}

void reportHere(const std::string& message) {
  if (!countError()) return;
  std::printf("%s: %s\n", currentPosition().c_str(), message.c_str());
}

void reportSyntaxError(const std::string& message) {
  if (context().parseStopRequested) return;
  ++context().diagnosticCount;
  std::fprintf(stderr, "%s:%d: %s\n", context().fileName()->c_str(), context().line,
               message.c_str());
}

}  // namespace plenum
