#include "tirasse/win32/file_dialogs.h"

#include <commdlg.h>

#include <vector>

#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

std::optional<std::string> showSystemFileDialog(HWND owner, const FileDialogRequest& request) {
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
