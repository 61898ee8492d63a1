#include "tirasse/core/dialog_folders.h"

#include <filesystem>
#include <system_error>

#include "tirasse/core/utf8_path.h"

namespace tirasse {

std::string dialogStartFolder(const std::string& lastUsed, const std::string& documentsDir,
                              const std::string& programDir, const std::string& homeDir) {
  const std::string program = absoluteCleanPath(programDir);
  for (const std::string& folder : {lastUsed, documentsDir}) {
    if (folder.empty()) continue;
    std::error_code error;
    const std::string absolute = absoluteCleanPath(folder);
    if (std::filesystem::is_directory(pathFromUtf8(folder), error) && absolute != program) {
      return absolute;
    }
  }
  return absoluteCleanPath(homeDir);
}

std::string withDefaultExtension(const std::string& path, const std::string& extension) {
#if defined(_WIN32)
  const std::size_t nameStart = path.find_last_of("/\\") + 1;
#else
  const std::size_t nameStart = path.find_last_of('/') + 1;
#endif
  const std::size_t dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && dot >= nameStart && dot + 1 < path.size();
  if (path.empty() || hasExtension) return path;
  return path + (path.ends_with('.') ? "" : ".") + extension;
}

}  // namespace tirasse
