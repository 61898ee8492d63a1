#include "large_configuration.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace plenum::bench {

std::string largeConfiguration(int modules) {
  if (modules < 1 || modules > 16) throw std::invalid_argument("1 to 16 modules");
  std::string text = "; generated for the benchmarks\n";
  char line[160];
  for (int m = 0; m < modules; ++m) {
    const int channel = m + 1;
    text += "*NORVO_MODULE\n  *INPUT_96\n";
    std::snprintf(line, sizeof line,
                  "    *DIVISION = Manual%d *BITS = 1, 61 *MIDI_CHANNEL = %d *MIDI_NOTE = 36\n",
                  m, channel);
    text += line;
    for (int bit = 62; bit <= 96; ++bit) {
      std::snprintf(line, sizeof line, "    *INPUT_BIT = Stop%d_%d *BIT = %d C%dN%d\n", m, bit,
                    bit, channel, bit - 62);
      text += line;
    }
  }
  text += "*END\n";
  return text;
}

std::string writeConfiguration(const std::string& name, const std::string& text) {
  const char* folder = std::getenv("TMPDIR");
  const std::string path =
      std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/" + name;
  std::ofstream(path) << text;
  return path;
}

}  // namespace plenum::bench
