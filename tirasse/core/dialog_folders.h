#pragma once
// Where the file dialogs start and what a typed name becomes. An installed tirasse lives in
// a folder the user cannot write (/usr/libexec/tirasse), so the program's folder is never
// offered.

#include <string>

namespace tirasse {

// The folder last used while it still exists, else the documents folder, else home; made
// absolute. The front end passes the platform's folders.
std::string dialogStartFolder(const std::string& lastUsed, const std::string& documentsDir,
                              const std::string& programDir, const std::string& homeDir);

// A file name typed without an extension gets `extension` (without the dot).
std::string withDefaultExtension(const std::string& path, const std::string& extension);

}  // namespace tirasse
