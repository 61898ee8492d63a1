#include "tirasse/core/firmware_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tirasse/core/test_scratch_folder.h"

namespace tirasse {
namespace {

TEST(FirmwareFolder, TheChosenFolderElseTheDefaultMadeWhenMissing) {
  TestScratchFolder root;
  ASSERT_TRUE(root.isValid());
  const std::string documents = root.text("documents");
  const std::string fallback = root.text("documents/Norvo Firmware");
  EXPECT_EQ(defaultFirmwareFolder(documents), fallback);
  ASSERT_TRUE(root.write("a file", "not a folder"));
  struct Case {
    const char* what;
    std::string chosen;
    std::string expected;
  } cases[] = {
      {"nothing chosen yet", "", fallback},
      {"a chosen folder", root.text("орган"), root.text("орган")},
      {"a chosen folder that went away is made again", root.text("gone/𝄞"), root.text("gone/𝄞")},
      {"a file where the folder should be", root.text("a file"), fallback},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(pathFromUtf8(fallback));
    if (c.chosen == root.text("орган")) std::filesystem::create_directories(pathFromUtf8(c.chosen));
    EXPECT_EQ(usableFirmwareFolder(c.chosen, documents), c.expected) << c.what;
    EXPECT_TRUE(std::filesystem::is_directory(pathFromUtf8(c.expected))) << c.what;
  }
  // Not even the default can be made: documents is a file.
  EXPECT_EQ(usableFirmwareFolder("", root.text("a file")), "");
}

}  // namespace
}  // namespace tirasse
