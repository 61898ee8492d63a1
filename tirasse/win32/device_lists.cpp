#include "tirasse/win32/device_lists.h"

#include <windows.h>

#include "plenum/midi/win_midi.h"
#include "plenum/midi/win_midi_api.h"
#include "tirasse/win32/wide_text.h"

namespace tirasse::win32 {

namespace {

std::string loopVariable() {
  wchar_t value[512];
  const DWORD size = GetEnvironmentVariableW(L"PLENUM_LOOP", value, 512);
  if (size == 0 || size >= 512) return {};
  return narrow(std::wstring_view(value, size));
}

// The multimedia interface names devices in the ANSI code page.
std::vector<std::string> inUtf8(std::vector<std::string> names) {
  for (std::string& name : names) name = ansiToUtf8(name);
  return names;
}

}  // namespace

std::vector<std::string> withSimulatedLoop(std::vector<std::string> names, const std::string& loop) {
  if (names.empty() && !loop.empty()) {
    names.push_back("Simulated module loop (PLENUM_LOOP=" + loop + ")");
  }
  return names;
}

std::vector<std::string> SystemDeviceLists::inputNames() const {
  return withSimulatedLoop(inUtf8(plenum::winMidiInputNames(plenum::systemWinMidiApi())),
                           loopVariable());
}

std::vector<std::string> SystemDeviceLists::outputNames() const {
  return withSimulatedLoop(inUtf8(plenum::winMidiOutputNames(plenum::systemWinMidiApi())),
                           loopVariable());
}

bool SystemDeviceLists::simulatedLoop() const { return !loopVariable().empty(); }

}  // namespace tirasse::win32
