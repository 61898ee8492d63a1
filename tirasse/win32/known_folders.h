#pragma once
// The folders of the user and of the program, as UTF-8 paths: the application-data folder
// (tirasse.ini goes into its "Norvo" folder), the documents folder, the profile, and the
// folder tirasse.exe was started from, which holds plenum.exe, plenum.bat and version.txt.

#include <string>

namespace tirasse::win32 {

struct KnownFolders {
  std::string programDir;
  std::string settingsDir;
  std::string documentsDir;
  std::string homeDir;
};

KnownFolders systemFolders();

}  // namespace tirasse::win32
