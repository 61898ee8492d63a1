#include "tirasse/core/firmware_folder.h"

#include <filesystem>
#include <system_error>

#include "tirasse/core/utf8_path.h"

namespace tirasse {

namespace {

bool madeOrThere(const std::string& folder) {
  if (folder.empty()) return false;
  std::error_code error;
  const std::filesystem::path path = pathFromUtf8(folder);
  std::filesystem::create_directories(path, error);
  return std::filesystem::is_directory(path, error);
}

}  // namespace

std::string defaultFirmwareFolder(const std::string& documentsDir) {
  return pathToUtf8(pathFromUtf8(absoluteCleanPath(documentsDir)) / kFirmwareFolderName);
}

std::string usableFirmwareFolder(const std::string& chosen, const std::string& documentsDir) {
  if (madeOrThere(chosen)) return absoluteCleanPath(chosen);
  const std::string fallback = defaultFirmwareFolder(documentsDir);
  return madeOrThere(fallback) ? fallback : std::string();
}

}  // namespace tirasse
