#include "plenum/driver/unused_settings.h"

#include <cstdio>
#include <cstring>

namespace plenum {

namespace {

// The options whose action reads the settings (and the MIDI devices).
bool acts(int letter) { return letter != 0 && std::strchr("LEHRVSUCvwp%^D", letter) != nullptr; }

std::string word(int letter, const char* argument) {
  std::string text = std::string(" -") + static_cast<char>(letter);
  if (argument != nullptr) text += std::string(" ") + argument;
  return text;
}

}  // namespace

void UnusedSettings::saw(int letter, const char* argument) {
  if (acts(letter)) {
    pending_.clear();
  } else if (letter == 't' || letter == 'x' || letter == 'f') {
    downloadOnly_ += word(letter, argument);
  } else if (letter == 'i' || letter == 'o' || letter == 'm' || letter == 'n' || letter == 'u') {
    pending_ += word(letter, argument);
  }
}

void UnusedSettings::report(bool configurationFileFollows) const {
  if (configurationFileFollows) return;
  if (!downloadOnly_.empty())
    std::fprintf(stderr, "without a configuration file these do nothing:%s\n", downloadOnly_.c_str());
  if (!pending_.empty()) std::fprintf(stderr, "no option after these uses them:%s\n", pending_.c_str());
}

}  // namespace plenum
