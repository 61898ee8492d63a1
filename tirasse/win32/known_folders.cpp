#include "tirasse/win32/known_folders.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

namespace {

std::string knownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path)) && path) {
    folder = narrow(path);
  }
  CoTaskMemFree(path);
  return folder;
}

std::string programFolder() {
  std::vector<wchar_t> path(32768, L'\0');
  const DWORD size = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::wstring file(path.data(), size);
  const std::size_t slash = file.find_last_of(L"\\/");
  return narrow(slash == std::wstring::npos ? std::wstring(L".") : file.substr(0, slash));
}

}  // namespace

FrontEndFolders systemFolders() {
  FrontEndFolders folders;
  folders.programDir = programFolder();
  const std::string appData = knownFolder(FOLDERID_RoamingAppData);
  if (!appData.empty()) folders.settingsDir = appData + "\\Norvo";
  folders.documentsDir = knownFolder(FOLDERID_Documents);
  folders.homeDir = knownFolder(FOLDERID_Profile);
  return folders;
}

}  // namespace tirasse::win32
