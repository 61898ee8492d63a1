#include "tirasse/win32/file_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

namespace {
std::vector<std::string> entriesOf(const std::string& filters) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = filters.find(";;", start);
    entries.push_back(filters.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return entries;
    start = end + 2;
  }
}
}  // namespace

std::string windowsFilter(const std::string& filters) {
  std::string result;
  for (const std::string& entry : entriesOf(filters)) {
    const std::size_t open = entry.rfind('(');
    const std::size_t close = entry.rfind(')');
    const std::string pattern = open != std::string::npos && close != std::string::npos && close > open
                                    ? entry.substr(open + 1, close - open - 1)
                                    : "*.*";
    if (!result.empty()) result += '|';
    result += entry + '|' + pattern;
  }
  return result;
}

int filterIndex(const std::string& filters, const std::string& chosen) {
  const std::vector<std::string> entries = entriesOf(filters);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i] == chosen) return static_cast<int>(i) + 1;
  }
  return 1;
}

namespace {

// The folder dialog starts in the folder it is given.
int CALLBACK selectStartFolder(HWND dialog, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
  return 0;
}

std::optional<std::string> chooseFolder(HWND owner, const FileDialogRequest& request) {
  const std::wstring title = widen(request.title);
  const std::wstring start = widen(request.folder);
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  browse.lpfn = selectStartFolder;
  browse.lParam = reinterpret_cast<LPARAM>(start.c_str());
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (!chosen) return std::nullopt;
  std::vector<wchar_t> path(32768, L'\0');
  const bool named = SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT);
  CoTaskMemFree(chosen);
  if (!named) return std::nullopt;
  return narrow(path.data());
}

}  // namespace

std::optional<std::string> showSystemFileDialog(HWND owner, const FileDialogRequest& request) {
  if (request.pickFolder) return chooseFolder(owner, request);
  // The dialog wants the entries separated by NULs and ended by two.
  std::wstring filter = widen(request.filter);
  for (wchar_t& c : filter) {
    if (c == L'|') c = L'\0';
  }
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  const std::wstring title = widen(request.title);
  const std::wstring folder = widen(request.folder);
  const std::wstring extension = widen(request.defaultExtension);
  std::vector<wchar_t> file(32768, L'\0');  // long paths
  const std::wstring offered = widen(request.fileName);
  offered.copy(file.data(), file.size() - 1);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(request.filterIndex);
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  // The current folder is not the dialog's to change: plenum runs in a folder of its own.
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                 (request.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  return narrow(file.data());
}

}  // namespace tirasse::win32
