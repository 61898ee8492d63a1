#pragma once
// tirasse.ini: the user's device choice, configuration file and folders, one item a line.
// "V3" files hold all nine items; "V2" files (older versions) stop after the configuration
// file; anything else is somebody else's file and is left alone. Choices added since follow
// the nine items as "name=value" lines, which older versions never read.

#include <filesystem>
#include <string>

namespace tirasse {

inline constexpr const char* kSettingsFileName = "tirasse.ini";

struct TirasseSettings {
  int midiInDev = -1;
  std::string midiInName;
  int midiOutDev = -1;
  std::string midiOutName;
  std::string configFile;
  std::string settingsDir;
  std::string midDir;
  std::string configDir;
  bool skipUnchangedRelayCode = false;  // the Download button adds -u
  std::string firmwareDir;  // where plenum runs; "" until one is chosen or made
};

enum class SettingsFileState { Read, Missing, Foreign };

// On Read the items found replace those in `settings`; otherwise `settings` is untouched.
SettingsFileState parseSettingsText(const std::string& text, TirasseSettings& settings);
std::string formatSettingsText(const TirasseSettings& settings);

// Reads the file and makes the folders absolute; a folder that does not exist keeps the
// value it had.
SettingsFileState readSettingsFile(const std::filesystem::path& path, TirasseSettings& settings);
// Replaces the file as a whole, so a failed write never leaves half a file behind.
bool writeSettingsFile(const std::filesystem::path& path, const TirasseSettings& settings);

}  // namespace tirasse
