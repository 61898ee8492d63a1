#include "tirasse/core/settings_file.h"

#include <climits>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "tirasse/core/unicode_text.h"
#include "tirasse/core/utf8_path.h"

namespace tirasse {

namespace {

constexpr std::uintmax_t kLargestSettingsFile = 64 * 1024;
constexpr std::size_t kSpecItems = 8;  // the items after the format tag
const std::string kSkipUnchangedKey = "skipUnchangedRelayCode=";
const std::string kFirmwareDirKey = "firmwareDir=";

int deviceNumber(const std::string& text) {
  const std::string word = trimmedText(text);
  std::size_t i = (word.starts_with('+') || word.starts_with('-')) ? 1 : 0;
  if (i == word.size()) return -1;
  long long number = 0;
  for (; i < word.size(); ++i) {
    if (word[i] < '0' || word[i] > '9') return -1;
    number = number * 10 + (word[i] - '0');
    if (number > INT_MAX) return -1;
  }
  return word[0] == '-' && number != 0 ? -1 : static_cast<int>(number);
}

// One item a line: a line break inside a value would shift every later item.
std::string oneLine(std::string value) {
  for (char& c : value) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return value;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (line.ends_with('\r')) line.pop_back();  // written on Windows
    lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  if (lines.size() > 1 && lines.back().empty()) lines.pop_back();  // the final line end
  return lines;
}

std::string absoluteFolderOr(const std::string& folder, const std::string& fallback) {
  if (folder.empty()) return fallback;
  std::error_code error;
  if (!std::filesystem::is_directory(pathFromUtf8(folder), error)) return fallback;
  return absoluteCleanPath(folder);
}

}  // namespace

SettingsFileState parseSettingsText(const std::string& text, TirasseSettings& settings) {
  const std::vector<std::string> lines = splitLines(text);
  const std::string tag = trimmedText(lines[0]);
  if (tag != "V2" && tag != "V3") return SettingsFileState::Foreign;

  TirasseSettings read = settings;
  const std::size_t items = tag == "V3" ? kSpecItems : 5;
  auto item = [&](std::size_t index, std::string& into) {
    if (index <= items && index < lines.size()) into = lines[index];
  };
  if (lines.size() > 1) read.midiInDev = deviceNumber(lines[1]);
  item(2, read.midiInName);
  if (lines.size() > 3) read.midiOutDev = deviceNumber(lines[3]);
  item(4, read.midiOutName);
  item(5, read.configFile);
  item(6, read.settingsDir);
  item(7, read.midDir);
  item(8, read.configDir);
  for (std::size_t index = kSpecItems + 1; tag == "V3" && index < lines.size(); ++index) {
    if (lines[index].starts_with(kSkipUnchangedKey)) {
      read.skipUnchangedRelayCode =
          trimmedText(std::string_view(lines[index]).substr(kSkipUnchangedKey.size())) == "1";
    } else if (lines[index].starts_with(kFirmwareDirKey)) {
      read.firmwareDir = lines[index].substr(kFirmwareDirKey.size());
    }
  }
  settings = read;
  return SettingsFileState::Read;
}

std::string formatSettingsText(const TirasseSettings& settings) {
  const std::string lines[] = {
      "V3",
      std::to_string(settings.midiInDev),
      oneLine(settings.midiInName),
      std::to_string(settings.midiOutDev),
      oneLine(settings.midiOutName),
      oneLine(settings.configFile),
      oneLine(settings.settingsDir),
      oneLine(settings.midDir),
      oneLine(settings.configDir),
      kSkipUnchangedKey + (settings.skipUnchangedRelayCode ? '1' : '0'),
      kFirmwareDirKey + oneLine(settings.firmwareDir),
  };
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  return text;
}

SettingsFileState readSettingsFile(const std::filesystem::path& path, TirasseSettings& settings) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return SettingsFileState::Missing;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return SettingsFileState::Missing;  // a folder of that name, say
  if (size > kLargestSettingsFile) return SettingsFileState::Foreign;
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  TirasseSettings read = settings;
  const SettingsFileState state = parseSettingsText(text, read);
  if (state != SettingsFileState::Read) return state;
  read.settingsDir = absoluteFolderOr(read.settingsDir, settings.settingsDir);
  read.midDir = absoluteFolderOr(read.midDir, settings.midDir);
  read.configDir = absoluteFolderOr(read.configDir, settings.configDir);
  settings = read;
  return state;
}

bool writeSettingsFile(const std::filesystem::path& path, const TirasseSettings& settings) {
  // Written beside the file and moved over it, so the old file stays whole until the new
  // one is.
  std::filesystem::path temporary = path;
  temporary += ".saving";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file << formatSettingsText(settings);
    file.close();
    if (!file) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (!error) return true;
  std::filesystem::remove(temporary, error);
  return false;
}

}  // namespace tirasse
