#pragma once
// Where the file dialogs start and what a typed name becomes. An installed tirasse lives in
// a folder the user cannot write (/usr/libexec/tirasse), so the program's folder is never
// offered.

#include <QString>

namespace tirasse {

// The folder last used while it still exists, else the documents folder, else home.
QString dialogStartFolder(const QString& lastUsed, const QString& documentsDir,
                          const QString& programDir);

// A file name typed without an extension gets `extension` (without the dot).
QString withDefaultExtension(const QString& path, const QString& extension);

}  // namespace tirasse
