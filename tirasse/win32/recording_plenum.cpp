// Stands in for plenum.exe in the front end's tests: writes the words it was given and the
// folder it runs in to "recorded.txt" there (UTF-8, one word a line in brackets), prints
// them, and then behaves as STANDIN_SCRIPT says: "wait" (the default) waits for Enter as -P
// makes plenum do, "fail" prints progress and ends with status 2, "hang" ignores its input
// and never ends by itself.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

namespace {
std::string utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string result(size > 0 ? static_cast<std::size_t>(size - 1) : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
  return result;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // line ends as plenum.exe writes them
  wchar_t folder[MAX_PATH * 4];
  GetCurrentDirectoryW(MAX_PATH * 4, folder);
  std::string words;
  std::string joined;
  for (int i = 1; i < argc; ++i) {
    words += "[" + utf8(argv[i]) + "]";
    joined += (i > 1 ? " " : "") + utf8(argv[i]);
  }
  if (FILE* record = _wfopen(L"recorded.txt", L"wb")) {
    std::fprintf(record, "cwd %s\nargs %s\n", utf8(folder).c_str(), words.c_str());
    std::fclose(record);
  }
  wchar_t script[32] = L"wait";
  GetEnvironmentVariableW(L"STANDIN_SCRIPT", script, 32);
  if (std::wstring(script) == L"fail") {
    std::printf("Programming...");
    return 2;
  }
  std::printf("args: %s\n%s\n", joined.c_str(), words.c_str());
  std::fflush(stdout);
  if (std::wstring(script) == L"hang") {
    for (;;) Sleep(1000);
  }
  char line[256];
  std::fgets(line, sizeof line, stdin);
  std::printf("after enter\n");
  return 0;
}
