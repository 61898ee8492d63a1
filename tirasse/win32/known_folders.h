#pragma once
// The folders of the user and of the program, as UTF-8 paths: the application-data folder
// (tirasse.ini goes into its "Norvo" folder), the documents folder, the profile, and the
// folder tirasse.exe was started from, which holds plenum.exe, plenum.bat and version.txt.

#include "tirasse/flow/main_flow.h"

namespace tirasse::win32 {

FrontEndFolders systemFolders();

}  // namespace tirasse::win32
