#pragma once
// The common file dialogs. What a dialog asks for is a value, so that the main window's
// rules (filters, start folders, names) can be checked without a user at the screen.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace tirasse::win32 {

struct FileDialogRequest {
  bool save = false;       // Save asks before overwriting; Open needs an existing file
  bool pickFolder = false; // a folder is chosen, not a file
  std::string title;
  std::string filter;      // "Name|pattern|Name|pattern", as the settings dialogs show it
  int filterIndex = 1;     // 1 is the first entry
  std::string folder;      // where it starts
  std::string fileName;    // the name offered
  std::string defaultExtension;  // added to a name typed without one (no dot)
};

// The chosen path (UTF-8), or nothing on Cancel.
using FileDialog = std::function<std::optional<std::string>(HWND owner, const FileDialogRequest&)>;

std::optional<std::string> showSystemFileDialog(HWND owner, const FileDialogRequest& request);

// The core's filters ("All Files (*.*);;Registration Files (*.reg)": names with their
// patterns in parentheses) in the dialog's form, "All Files (*.*)|*.*|Registration ...|*.reg".
std::string windowsFilter(const std::string& filters);
// The position of `chosen` among them, 1 for the first.
int filterIndex(const std::string& filters, const std::string& chosen);

}  // namespace tirasse::win32
