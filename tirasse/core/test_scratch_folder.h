#pragma once
// For tests: a fresh folder removed again with everything in it. Its name holds letters
// outside ASCII, so that every test that uses it also tries a Unicode path.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "tirasse/core/utf8_path.h"

namespace tirasse {

class TestScratchFolder {
 public:
  TestScratchFolder() {
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path candidate =
          base / pathFromUtf8("tirasse-Übung-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
    }
  }
  ~TestScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TestScratchFolder(const TestScratchFolder&) = delete;
  TestScratchFolder& operator=(const TestScratchFolder&) = delete;

  bool isValid() const { return !path_.empty(); }
  const std::filesystem::path& path() const { return path_; }
  // The folder, or a name in it ("/" between folders), as UTF-8 text with the platform's
  // separators.
  std::string text(const std::string& name = {}) const {
    std::filesystem::path path = name.empty() ? path_ : path_ / pathFromUtf8(name);
    return pathToUtf8(path.make_preferred());
  }
  // Writes `bytes` to the file `name` in the folder; false when it cannot.
  bool write(const std::string& name, const std::string& bytes) const {
    std::ofstream file(path_ / pathFromUtf8(name), std::ios::binary | std::ios::trunc);
    file << bytes;
    file.close();
    return static_cast<bool>(file);
  }

 private:
  std::filesystem::path path_;
};

}  // namespace tirasse
