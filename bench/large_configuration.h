#pragma once
// Configurations of any size for the benchmarks: `modules` modules, each with a full
// 96-bit input board (a 61-note keyboard division and 35 stop switches), every module on
// its own MIDI channel so that no note is claimed twice.

#include <string>

namespace plenum::bench {

inline constexpr int kStatementsPerModule = 1 + 1 + 1 + 35;  // module, board, division, bits

std::string largeConfiguration(int modules);

// Writes the text to a file in the temporary folder and returns its path.
std::string writeConfiguration(const std::string& name, const std::string& text);

}  // namespace plenum::bench
