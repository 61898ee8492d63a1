#pragma once
// Counted configuration errors: one line "file:line: message" on standard output. The
// sixth counted error ends the run with status 1 and is never shown.

#include <string>

#include "plenum/language/source_location.h"

namespace plenum {

// A counted error at a location.
void reportAtLocation(const SourceLocation& location, const std::string& message);

// The same with a printf format.
void reportAtf(const SourceLocation& location, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// A counted error at the current position (the line the scanner is on).
void reportHere(const std::string& message);

// The current position as "file:line".
std::string currentPosition();

// A syntax error from the parser: on standard error, counted, always printed.
void reportSyntaxError(const std::string& message);

// printf into a std::string.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace plenum
