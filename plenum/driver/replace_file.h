#pragma once
// Writes a whole file so that the old one stays as it was until the new one is complete.

#include <string>

namespace plenum {

// Writes bytes to a temporary file beside path and renames it over path. On failure the
// temporary file is removed, path is untouched, and error says why.
bool replaceFile(const std::string& path, const std::string& bytes, std::string& error);

}  // namespace plenum
