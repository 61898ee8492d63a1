#pragma once
// Configurations of any size for the benchmarks, built of whole console sections. A
// section is four modules, every board full, on a MIDI channel of its own so that no
// note is claimed twice:
//   - a 96-input board (a 61-note keyboard and 35 stop switches) and a 32-input board
//     (29 pistons, set, cancel and a tremulant switch);
//   - a 128-output rank driver with two ranks, 16 relays and the couplers;
//   - 16 relays to a sound module, an IF/ELSE relays group and a sostenuto;
//   - a blind combination action of the 29 pistons over the 35 stops.

#include <string>

namespace plenum::bench {

inline constexpr int kModulesPerSection = 4;
inline constexpr int kMostSections = 16;  // one MIDI channel each

std::string largeConfiguration(int sections);

// The statements of a configuration text: the lines that begin with a keyword, *END
// aside.
int statementCount(const std::string& text);

// Writes the text to a file in the temporary folder and returns its path.
std::string writeConfiguration(const std::string& name, const std::string& text);

}  // namespace plenum::bench
