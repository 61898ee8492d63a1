#include "tirasse/core/utf8_path.h"

#include <system_error>

namespace tirasse {

std::filesystem::path pathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string pathToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string absoluteCleanPath(const std::string& path) {
  if (path.empty()) return {};
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(pathFromUtf8(path), error);
  if (error) absolute = pathFromUtf8(path);
  absolute = absolute.lexically_normal();
  // "/a/b/" and "/a/b/.." normalise with a trailing separator; the root keeps its own.
  if (!absolute.has_filename() && absolute.has_relative_path()) absolute = absolute.parent_path();
  return pathToUtf8(absolute);
}

}  // namespace tirasse
