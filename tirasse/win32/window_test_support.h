#pragma once
// What the front end's tests share besides the core's TestScratchFolder: files, paths of
// the build machine as Wine sees them, and pressing buttons through their messages while
// the messages keep flowing.

#include <windows.h>

#include <functional>
#include <string>

#include "tirasse/core/test_scratch_folder.h"

namespace tirasse::win32::testing {

void writeFile(const std::string& path, const std::string& text);
std::string readFile(const std::string& path);
void copyFile(const std::string& from, const std::string& to);
// A path of the build machine (/work/...) as a Windows path on Wine's Z: drive; a Windows
// path stays as it is.
std::string hostPath(const std::string& path);

// BM_CLICK, as a user's click arrives.
void click(HWND button);
// Passes messages on until `done` holds; false after `timeout` milliseconds.
bool waitFor(const std::function<bool()>& done, DWORD timeout = 30000);

}  // namespace tirasse::win32::testing
