#pragma once
// Process-wide settings: written by main while it walks the options, read everywhere.

#include <cstdint>

namespace plenum {

// Bits of Settings::debugFlags.
enum DebugBit : std::uint32_t {
  DebugProgress = 0x1,
  DebugSysexSent = 0x2,
  DebugPages = 0x4,
  DebugHexDump = 0x8,
  DebugConfigListing = 0x10,
  DebugProgramListing = 0x20,
  DebugSysexReceived = 0x40,
  DebugProtocolDetail = 0x80,
  DebugParserTrace = 0x100,
};

struct Settings {
  std::uint32_t debugFlags = 0;
  int parserTrace = 0;  // 0 or 0x100, mirrors the parser-trace debug bit
  int inputDevice = -1;
  int outputDevice = -1;
  int startModule = -1;
  int bankCount = -1;
  bool forceDownload = false;
  bool stopAfterCompile = false;
  bool assumeTypeB = false;
  bool skipUnchangedCode = false;  // -u: code pages that verify are not written again
  bool checkConsole = false;       // --check: the configuration file is compared, not downloaded

  bool debug(std::uint32_t bits) const { return (debugFlags & bits) != 0; }
};

// The one settings object of the run.
Settings& settings();

// Back to the defaults; for tests that run several operations in one process.
void resetSettings();

}  // namespace plenum
