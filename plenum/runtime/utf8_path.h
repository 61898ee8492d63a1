#pragma once
// File names travel through plenum as UTF-8 text. On Windows the narrow C library functions
// take the ANSI code page instead, so every user file is opened through these.

#include <cstdio>
#include <filesystem>
#include <string>

namespace plenum {

// The path named by UTF-8 text.
inline std::filesystem::path utf8Path(const std::string& name) {
#ifdef _WIN32
  return std::filesystem::path(
      std::u8string(reinterpret_cast<const char8_t*>(name.data()), name.size()));
#else
  return std::filesystem::path(name);
#endif
}

// std::fopen of a UTF-8 name.
inline std::FILE* openUtf8File(const std::string& name, const char* mode) {
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(utf8Path(name).c_str(), wideMode.c_str());
#else
  return std::fopen(name.c_str(), mode);
#endif
}

}  // namespace plenum
