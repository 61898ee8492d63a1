#include "plenum/driver/command_line.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plenum/driver/long_options.h"
#include "plenum/driver/operations.h"
#include "plenum/driver/option_walk.h"
#include "plenum/driver/unused_settings.h"
#include "plenum/midi/current_port.h"
#include "plenum/runtime/exit_handlers.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {
constexpr int StatusBadOption = 3;

void setDebugFlags(const char* text) {
  Settings& s = settings();
  s.debugFlags = static_cast<std::uint32_t>(std::strtoul(text, nullptr, 16));
  s.parserTrace = static_cast<int>(s.debugFlags & DebugParserTrace);
  std::printf("debug is 0x%x\n", s.debugFlags);
}

// The devices open now are kept; a later number would otherwise seem to switch them.
void warnWhenDevicesAreOpen(char letter, const char* text) {
  if (!currentPortIsOpen()) return;
  std::fprintf(stderr,
               "-%c %s comes after the MIDI devices were opened: they stay as they are until an "
               "operation opens them again\n",
               letter, text);
}

void setInputDevice(const char* text) {
  warnWhenDevicesAreOpen('i', text);
  settings().inputDevice = std::atoi(text);
  if (settings().debug(DebugProgress)) {
    std::printf("Using input device %d\n", settings().inputDevice);
  }
}

void setOutputDevice(const char* text) {
  warnWhenDevicesAreOpen('o', text);
  settings().outputDevice = std::atoi(text);
  if (settings().debug(DebugProgress)) {
    std::printf("Using output device %d\n", settings().outputDevice);
  }
}

// The options whose argument is a number, and its base.
int numberBase(int letter) {
  switch (letter) {
    case 'd': return 16;
    case 'i': case 'o': case 'm': case 'n': case 'C': case 'D': return 10;
    default: return 0;
  }
}

// Whether the whole word reads as a number in the base; the options read it with
// atoi/strtoul, so what those take in full (sign, leading blanks) stays a number.
bool isNumber(const char* text, int base) {
  char* end = nullptr;
  errno = 0;
  if (base == 16) {
    (void)std::strtoul(text, &end, 16);
    return end != text && *end == '\0' && errno == 0;
  }
  const long value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && errno == 0 && value >= INT_MIN && value <= INT_MAX;
}

// A number option with a word that is not a number would act on module or bank 0; so the
// options up to the configuration file are checked before any of them acts. The walk stops
// at an unknown option or a missing argument: the real walk reports those as it always has.
bool numberArgumentsAreNumbers(int argc, char** argv) {
  OptionWalk walk(argc, argv, OptionLetters);
  for (OptionStep step = walk.next(); step.kind == OptionStep::Letter || step.kind == OptionStep::Long;
       step = walk.next()) {
    if (step.kind != OptionStep::Letter) continue;
    const int base = numberBase(step.letter);
    if (base != 0 && !isNumber(step.argument, base)) {
      std::fprintf(stderr, "%s: option -%c wants a %s number, not \"%s\"\n", argv[0], step.letter,
                   base == 16 ? "hexadecimal" : "decimal", step.argument);
      return false;
    }
  }
  return true;
}

// The words from argv[first] on, each after a blank.
std::string wordsFrom(int argc, char** argv, int first) {
  std::string words;
  for (int i = first; i < argc; ++i) words += std::string(" ") + argv[i];
  return words;
}

// getopt has just refused the '-' of a word "--name": a long option after other options,
// or one that does not exist. The refusal stays as it always was (status 3); this only
// says why on stderr. The walk stays at the word while it still holds letters, so the
// word is the one at `position` or the one before.
void explainLongOption(int argc, char** argv, int position) {
  for (int i : {position, position - 1}) {
    if (i <= 0 || i >= argc || std::strncmp(argv[i], "--", 2) != 0 || argv[i][2] == '\0') continue;
    if (findLongOption(argv[i]) != nullptr || findLongCommand(argv[i]) != nullptr) {
      std::fprintf(stderr, "%s counts only as the first word: %s %s\n", argv[i], argv[0], argv[i]);
    } else {
      std::fprintf(stderr, "there is no option %s; %s --help lists the options\n", argv[i], argv[0]);
    }
    return;
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

// The configuration file, once the options are done: downloaded, or with --check compared.
int actOnConfigurationFile(const char* program, const char* fileName) {
  if (fileName == nullptr) {
    if (settings().checkConsole) {
      std::fprintf(stderr, "%s: --check wants a configuration file\n", program);
      closeMidiPort();
      return StatusBadOption;
    }
    closeMidiPort();
    return anActionFailedInRun() ? 1 : 0;
  }
  // The usage text calls -x "Just check file for syntax"; it only assumes the types.
  if (!settings().checkConsole && settings().assumeTypeB && !settings().stopAfterCompile)
    std::fputs("-x only assumes every module is type B; it does not stop the download (-t does)\n", stderr);
  std::printf("Parsing file %s\n", fileName);
  if (settings().checkConsole) {
    // No System Reset after a check: the modules are left exactly as they were found.
    const int status = checkConsoleFile(fileName);
    if (status != 0) return status;
    return anActionFailedInRun() ? 1 : 0;
  }
  downloadConfigurationFile(fileName);
  resetMidi();
  return anActionFailedInRun() ? 1 : 0;
}

}  // namespace

int runCommandLine(int argc, char** argv) {
  const char* program = argv[0];
  if (argc > 1) {
    if (LongOptionAction action = findLongOption(argv[1])) {
      // A long option stands alone; whatever follows would otherwise vanish unnoticed.
      if (argc > 2) std::fprintf(stderr, "ignored after %s:%s\n", argv[1], wordsFrom(argc, argv, 2).c_str());
      return action(program);
    }
    if (LongCommandAction command = findLongCommand(argv[1])) return command(argc, argv);
  }
  if (!numberArgumentsAreNumbers(argc, argv)) return StatusBadOption;
  OptionWalk walk(argc, argv, OptionLetters);
  UnusedSettings unused;
  for (OptionStep step = walk.next(); step.kind != OptionStep::End; step = walk.next()) {
    int shown = '?';  // what getopt returned, as the message has always said
    switch (step.kind) {
      case OptionStep::Long:
        step.option->act(step.argument);
        continue;
      case OptionStep::MissingLongArgument:
        std::fprintf(stderr, "%s: option %s requires an argument\n", program, step.option->word);
        return StatusBadOption;
      case OptionStep::UnknownLetter:
        std::fprintf(stderr, "%s: invalid option -- %c\n", program, step.letter);
        if (step.letter == '-') explainLongOption(argc, argv, walk.operandIndex());
        break;
      case OptionStep::MissingLetterArgument:
        std::fprintf(stderr, "%s: option requires an argument -- %c\n", program, step.letter);
        break;
      default:
        if (performOption(step.letter, step.argument)) {
          unused.saw(step.letter, step.argument);
          continue;
        }
        shown = step.letter;
        break;
    }
    std::printf("getopt returned %d (%c)\n", shown, shown);
    return StatusBadOption;
  }
  const int operand = walk.operandIndex();
  unused.report(operand < argc);
  if (operand < argc && operand + 1 < argc) {
    // Nothing after the file is read; say so, lest a misplaced -t go unnoticed and download.
    std::fprintf(stderr, "ignored after the configuration file:%s\n",
                 wordsFrom(argc, argv, operand + 1).c_str());
  }
  return actOnConfigurationFile(program, operand < argc ? argv[operand] : nullptr);
}

}  // namespace plenum
