#include "tirasse/core/dialog_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tirasse/core/test_scratch_folder.h"

namespace tirasse {
namespace {

TEST(DialogFolders, LastUsedThenDocumentsThenHomeNeverTheProgramFolder) {
  TestScratchFolder root;
  ASSERT_TRUE(root.isValid());
  const std::string last = root.text("last");
  const std::string documents = root.text("documents");
  const std::string program = root.text("program");
  for (const std::string& folder : {last, documents, program}) {
    ASSERT_TRUE(std::filesystem::create_directories(pathFromUtf8(folder)));
  }
  const std::string gone = root.text("gone");
  const std::string home = root.text();
  struct Case {
    const char* what;
    std::string lastUsed;
    std::string documents;
    std::string expected;
  } cases[] = {
      {"last used", last, documents, last},
      {"nothing used yet", "", documents, documents},
      {"last used is gone", gone, documents, documents},
      {"the program folder", program, documents, documents},
      {"the program folder, written differently", program + "/.", documents, documents},
      {"no documents folder", "", gone, home},
      {"documents is the program folder", "", program, home},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dialogStartFolder(c.lastUsed, c.documents, program, home), c.expected) << c.what;
  }
}

TEST(DialogFolders, ATypedNameWithoutExtensionGetsOne) {
  struct Case {
    const char* path;
    const char* expected;
  } cases[] = {
      {"/home/o/take", "/home/o/take.mid"},
      {"/home/o.d/take", "/home/o.d/take.mid"},  // a dot in a folder is no extension
      {"/home/o/take.", "/home/o/take.mid"},
      {"/home/o/take.MID", "/home/o/take.MID"},
      {"/home/o/take.midi", "/home/o/take.midi"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(withDefaultExtension(c.path, "mid"), c.expected) << c.path;
  }
}

}  // namespace
}  // namespace tirasse
