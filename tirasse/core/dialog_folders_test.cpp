#include "tirasse/core/dialog_folders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace tirasse {
namespace {

TEST(DialogFolders, LastUsedThenDocumentsThenHomeNeverTheProgramFolder) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QString last = root.filePath("last");
  const QString documents = root.filePath("documents");
  const QString program = root.filePath("program");
  for (const QString& folder : {last, documents, program}) ASSERT_TRUE(QDir().mkpath(folder));
  const QString gone = root.filePath("gone");
  struct Case {
    const char* what;
    QString lastUsed;
    QString documents;
    QString expected;
  } cases[] = {
      {"last used", last, documents, last},
      {"nothing used yet", "", documents, documents},
      {"last used is gone", gone, documents, documents},
      {"the program folder", program, documents, documents},
      {"the program folder, written differently", program + "/.", documents, documents},
      {"no documents folder", "", gone, QDir::homePath()},
      {"documents is the program folder", "", program, QDir::homePath()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dialogStartFolder(c.lastUsed, c.documents, program).toStdString(),
              c.expected.toStdString())
        << c.what;
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
    EXPECT_EQ(withDefaultExtension(c.path, "mid").toStdString(), c.expected) << c.path;
  }
}

}  // namespace
}  // namespace tirasse
