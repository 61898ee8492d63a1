#include "plenum/driver/command_line.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "plenum/driver/operations.h"
#include "plenum/runtime/exit_handlers.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {
constexpr int StatusBadOption = 3;

// Walks the options with getopt's own complaints silenced: glibc would quote the letter
// and permute the arguments. The leading '+' stops at the first operand, the ':' makes
// a missing argument tell itself apart from an unknown letter.
std::string getoptLetters() { return std::string("+:") + OptionLetters; }

void setDebugFlags(const char* text) {
  Settings& s = settings();
  s.debugFlags = static_cast<std::uint32_t>(std::strtoul(text, nullptr, 16));
  s.parserTrace = static_cast<int>(s.debugFlags & DebugParserTrace);
  std::printf("debug is 0x%x\n", s.debugFlags);
}

void setInputDevice(const char* text) {
  settings().inputDevice = std::atoi(text);
  if (settings().debug(DebugProgress)) {
    std::printf("Using input device %d\n", settings().inputDevice);
  }
}

void setOutputDevice(const char* text) {
  settings().outputDevice = std::atoi(text);
  if (settings().debug(DebugProgress)) {
    std::printf("Using output device %d\n", settings().outputDevice);
  }
}

// Performs the action of one recognised option; false for a letter it does not know.
bool performOption(int letter, const char* argument) {
  Settings& s = settings();
  switch (letter) {
    case 'd': setDebugFlags(argument); break;
    case 'i': setInputDevice(argument); break;
    case 'o': setOutputDevice(argument); break;
    case 'm': s.startModule = std::atoi(argument); break;
    case 'n': s.bankCount = std::atoi(argument); break;
    case 'L': runMonitor(); break;
    case 'E': executeModules(); break;
    case 'H': haltModules(); break;
    case 'R': resetMidi(); break;
    case 'V': reportVersions(); break;
    // A failed registration operation has said why; the run goes on.
    case 'S': saveRegistrationFile(argument); break;
    case 'U': loadRegistrationFile(argument); break;
    case 'C': copyRegistrationBank(std::atoi(argument)); break;
    case 'v': verifyExecutiveStandard(); break;
    case 'w': verifyExecutiveFile(argument); break;
    case 'p': programCodeFromFile(argument); break;
    case 'P': installPauseAtExit(); break;
    case '%': reprogramExecutiveStandard(); break;
    case '^': reprogramExecutiveFile(argument); break;
    case 'f': s.forceDownload = true; break;
    case 'D': runLoopDiagnostic(std::atoi(argument)); break;
    case 't': s.stopAfterCompile = true; break;
    case 'x': s.assumeTypeB = true; break;
    case 'u': s.skipUnchangedCode = true; break;
    default: return false;
  }
  return true;
}
}  // namespace

int runCommandLine(int argc, char** argv) {
  const std::string letters = getoptLetters();
  const char* program = argv[0];
  opterr = 0;
  optind = 0;  // glibc: start a fresh scan, also when called more than once
  for (int letter; (letter = getopt(argc, argv, letters.c_str())) != -1;) {
    if (letter == '?') {
      std::fprintf(stderr, "%s: invalid option -- %c\n", program, optopt);
    } else if (letter == ':') {
      std::fprintf(stderr, "%s: option requires an argument -- %c\n", program, optopt);
      letter = '?';
    }
    if (letter == '?' || !performOption(letter, optarg)) {
      std::printf("getopt returned %d (%c)\n", letter, letter);
      return StatusBadOption;
    }
  }
  if (optind < argc) {
    const char* fileName = argv[optind];
    std::printf("Parsing file %s\n", fileName);
    downloadConfigurationFile(fileName);
    resetMidi();
    return anActionFailedInRun() ? 1 : 0;
  }
  closeMidiPort();
  return anActionFailedInRun() ? 1 : 0;
}

}  // namespace plenum
