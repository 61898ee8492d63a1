#include "tirasse/win32/window_test_support.h"

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tirasse/core/utf8_path.h"
#include "tirasse/win32/message_loop.h"

namespace tirasse::win32::testing {

namespace {
// The tab control's class is registered by the common controls, as tirasse.exe's start does.
const bool controlsReady = [] {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  return InitCommonControlsEx(&controls) != FALSE;
}();
}  // namespace

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream file(pathFromUtf8(path), std::ios::binary);
  file << text;
}

std::string readFile(const std::string& path) {
  std::ifstream file(pathFromUtf8(path), std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void copyFile(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(pathFromUtf8(from), pathFromUtf8(to),
                             std::filesystem::copy_options::overwrite_existing);
}

std::string hostPath(const std::string& path) {
  if (path.empty() || path.front() != '/') return path;
  std::string windows = "Z:" + path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

bool waitFor(const std::function<bool()>& done, DWORD timeout) {
  return passMessagesUntil(done, timeout);
}

}  // namespace tirasse::win32::testing
