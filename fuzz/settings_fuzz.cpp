// Fuzz target: tirasse's settings file, read from a file as tirasse reads it at start.
// Writing what was read and reading it again must be stable: after one round the values
// are on one line each, and a second round changes nothing.

#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "tirasse/core/settings_file.h"
#include "tirasse/core/utf8_path.h"

namespace {
bool same(const tirasse::TirasseSettings& a, const tirasse::TirasseSettings& b) {
  return a.midiInDev == b.midiInDev && a.midiInName == b.midiInName &&
         a.midiOutDev == b.midiOutDev && a.midiOutName == b.midiOutName &&
         a.configFile == b.configFile && a.settingsDir == b.settingsDir &&
         a.midDir == b.midDir && a.configDir == b.configDir;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = plenum::fuzz::writeScratchFile(data, size);
  tirasse::TirasseSettings settings;
  if (tirasse::readSettingsFile(tirasse::pathFromUtf8(path), settings) !=
      tirasse::SettingsFileState::Read) {
    return 0;
  }
  if (settings.midiInDev < -1 || settings.midiOutDev < -1) std::abort();
  tirasse::TirasseSettings once;
  tirasse::TirasseSettings twice;
  const auto read = tirasse::SettingsFileState::Read;
  if (tirasse::parseSettingsText(tirasse::formatSettingsText(settings), once) != read) std::abort();
  if (tirasse::parseSettingsText(tirasse::formatSettingsText(once), twice) != read) std::abort();
  if (!same(once, twice)) std::abort();
  return 0;
}
