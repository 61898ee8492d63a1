#include "plenum/driver/replace_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace plenum {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Folder {
  Folder() : path(fs::path(::testing::TempDir()) / ("replace_file_" + std::to_string(std::random_device{}()))) {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~Folder() { fs::remove_all(path); }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(path), fs::directory_iterator()));
  }
  fs::path path;
};

TEST(ReplaceFile, WritesANewFileAndReplacesAnOldOneWhole) {
  Folder folder;
  const fs::path target = folder.path / "chart – Orgel.html";
  std::string error;
  ASSERT_TRUE(replaceFile(target.string(), "first", error)) << error;
  EXPECT_EQ(contents(target), "first");
  ASSERT_TRUE(replaceFile(target.string(), std::string("second\0line\n", 12), error)) << error;
  EXPECT_EQ(contents(target), std::string("second\0line\n", 12));
  EXPECT_EQ(folder.entries(), 1u);  // no temporary file left beside it
}

TEST(ReplaceFile, AFailureLeavesTheOldFileAndNoTemporaryFile) {
  Folder folder;
  // A folder where the file should be cannot be replaced by a file.
  const fs::path occupied = folder.path / "chart.txt";
  fs::create_directories(occupied / "inside");
  std::string error;
  EXPECT_FALSE(replaceFile(occupied.string(), "text", error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(fs::is_directory(occupied / "inside"));
  EXPECT_EQ(folder.entries(), 1u);

  error.clear();
  EXPECT_FALSE(replaceFile((folder.path / "missing" / "chart.txt").string(), "text", error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(folder.entries(), 1u);
}

}  // namespace
}  // namespace plenum
