#include "large_configuration.h"

#include "bench_support.h"

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace plenum::bench {

namespace {

constexpr int kStops = 35;
constexpr int kPistons = 29;
constexpr int kRankRelays = 16;    // stops 1 to 16 play pipes
constexpr int kSoundRelays = 16;   // stops 17 to 32 play a sound module

void add(std::string& text, const char* format, ...) {
  char line[200];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(line, sizeof line, format, arguments);
  va_end(arguments);
  text += line;
  text += '\n';
}

// Notes of section s's channel: stops 0..34, the tremulant 35, keys 36..96, pistons
// 97..125, set 126 and cancel 127.
void addKeyboardModule(std::string& text, int s) {
  const int channel = s + 1;
  add(text, "*NORVO_MODULE");
  add(text, "  *INPUT_96");
  add(text, "    *DIVISION = Man%d *BITS = 1, 61 *MIDI_CHANNEL = %d *MIDI_NOTE = 36", s, channel);
  for (int i = 1; i <= kStops; ++i)
    add(text, "    *INPUT_BIT = Stop%d_%d *BIT = %d C%dN%d", s, i, 61 + i, channel, i - 1);
  add(text, "  *INPUT_HALL_32");
  for (int i = 1; i <= kPistons; ++i)
    add(text, "    *INPUT_BIT = Piston%d_%d *BIT = %d C%dN%d", s, i, i, channel, 96 + i);
  add(text, "    *INPUT_BIT = Set%d *BIT = 30 C%dN126", s, channel);
  add(text, "    *INPUT_BIT = Cancel%d *BIT = 31 C%dN127", s, channel);
  add(text, "    *INPUT_BIT = Tremulant%d *BIT = 32 C%dN35", s, channel);
}

void addPipeModule(std::string& text, int s) {
  static const char* const offsets[] = {"", " *OFFSET = 12", " *OFFSET = -12", " *OFFSET = 19"};
  add(text, "*NORVO_MODULE");
  add(text, "  *RANK_DRIVER_128 = Pipes%d", s);
  add(text, "    *RANK = Principal%d *BITS = 1, 61", s);
  add(text, "    *RANK = Flute%d *BITS = 62, 61", s);
  for (int i = 1; i <= kRankRelays; ++i)
    add(text, "  *RELAY *DIVISION = Man%d *TAB = Stop%d_%d *RANK = %s%d%s", s, s, i,
        i % 2 != 0 ? "Principal" : "Flute", s, offsets[i % 4]);
  add(text, "  *COUPLER ( Stop%d_33 ) Man%d TO Man%d *OFFSET = 12", s, s, s);
  add(text, "  *COUPLER ( Stop%d_34 ) Man%d TO Man%d *OFFSET = -12", s, s, s);
  if (s > 0) add(text, "  *COUPLER ( Stop%d_35 ) Man%d TO Man%d", s, s, s - 1);
}

void addSoundModule(std::string& text, int s) {
  const int channel = s + 1;
  add(text, "*NORVO_MODULE");
  for (int i = kRankRelays + 1; i <= kRankRelays + kSoundRelays; ++i)
    add(text, "  *RELAY *DIVISION = Man%d *TAB = Stop%d_%d *TAB = !Tremulant%d *MIDI_CHANNEL = %d *MIDI_OFFSET = %d",
        s, s, i, s, channel, i - kRankRelays - 1);
  add(text, "  *IF ( Tremulant%d ) {", s);
  add(text, "    *RELAY *DIVISION = Man%d *TAB = Stop%d_17 *MIDI_CHANNEL = %d *OFFSET = +1", s, s, channel);
  add(text, "  } *ELSE {");
  add(text, "    *RELAY *DIVISION = Man%d *TAB = Stop%d_18 *MIDI_CHANNEL = %d", s, s, channel);
  add(text, "  }");
  add(text, "  *SOSTENUTO ( Stop%d_35 ) *DIVISION = Man%d", s, s);
}

void addCombinationModule(std::string& text, int s) {
  add(text, "*NORVO_MODULE");
  add(text, "  *BLIND_COMBINATION_ACTION");
  add(text, "    *SET = Set%d", s);
  add(text, "    *CANCEL = Cancel%d", s);
  for (int i = 1; i <= kPistons; ++i) add(text, "    *PISTON = Piston%d_%d", s, i);
  for (int i = 1; i <= kStops; ++i) add(text, "    *TAB = Stop%d_%d", s, i);
}

}  // namespace

std::string largeConfiguration(int sections) {
  if (sections < 1 || sections > kMostSections) throw std::invalid_argument("1 to 16 sections");
  std::string text = "; generated for the benchmarks\n";
  for (int s = 0; s < sections; ++s) {
    addKeyboardModule(text, s);
    addPipeModule(text, s);
    addSoundModule(text, s);
    addCombinationModule(text, s);
  }
  text += "*END\n";
  return text;
}

int statementCount(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    const auto first = line.find_first_not_of(' ');
    if (first != std::string::npos && line[first] == '*' && line.compare(first, 4, "*END") != 0)
      ++count;
  }
  return count;
}

std::string writeConfiguration(const std::string& name, const std::string& text) {
  const std::string path = scratchPath(name);
  std::ofstream(path) << text;
  return path;
}

}  // namespace plenum::bench
