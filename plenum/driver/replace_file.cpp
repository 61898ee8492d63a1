#include "plenum/driver/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

#include "plenum/runtime/utf8_path.h"

namespace plenum {

namespace {

// A name beside the target that no other run is writing at the same time.
std::string temporaryBeside(const std::string& path) {
  std::random_device seed;
  return path + ".tmp" + std::to_string(seed() % 1000000u);
}

}  // namespace

bool replaceFile(const std::string& path, const std::string& bytes, std::string& error) {
  const std::string temporary = temporaryBeside(path);
  std::FILE* file = openUtf8File(temporary, "wb");
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int writeError = errno;
  const bool closed = std::fclose(file) == 0;
  std::error_code failure;
  if (!written || !closed) {
    error = std::strerror(written ? errno : writeError);
    std::filesystem::remove(utf8Path(temporary), failure);
    return false;
  }
  std::filesystem::rename(utf8Path(temporary), utf8Path(path), failure);
  if (failure) {
    error = failure.message();
    std::error_code ignored;
    std::filesystem::remove(utf8Path(temporary), ignored);
    return false;
  }
  return true;
}

}  // namespace plenum
