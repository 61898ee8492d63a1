#include "plenum/driver/long_options.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "plenum/driver/chart_option.h"
#include "plenum/driver/names_option.h"
#include "plenum/midi/current_port.h"
#include "plenum/midi/device_list.h"
#include "plenum/protocol/chain_inquiry.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {

void setCheckConsole(const char*) { settings().checkConsole = true; }

constexpr WalkOption kWalkOptions[] = {
    {"--check", false, setCheckConsole, nullptr,
     "compare the modules with the configuration file instead of downloading it"},
    {"--names", true, loadMonitorNames, "f",
     "-L after it names each message by what configuration file f calls it"},
};

void printWalkOptions() {
  for (const WalkOption& option : kWalkOptions) {
    std::string head = option.word;
    if (option.argumentName != nullptr) head += std::string(" ") + option.argumentName;
    std::printf("  %-10s  %s\n", head.c_str(), option.help);
  }
}

int printHelp(const char* programPath) {
  std::printf("Usage: %s [options] [config_file]\n", programPath);
  std::printf(
      "Options act one by one in the order they stand; the configuration file, if named,\n"
      "is compiled and downloaded last. Options end at the first word that is not one;\n"
      "words after the configuration file are ignored (and named on stderr).\n"
      "  -d hex      debug bits (hexadecimal): 1 progress, 2 SysEx sent, 4 pages and sizing,\n"
      "              8 hex dump, 10 configuration listing, 20 program listing,\n"
      "              40 SysEx received, 80 protocol detail, 100 parser trace\n"
      "  -i n, -o n  MIDI input and output device numbers (plenum --devices lists them)\n"
      "  -m n        module number (zero based) for the options after it; for -S, -U and -C\n"
      "              the first memory bank instead (they act on every module with\n"
      "              combination action)\n"
      "  -n n        number of memory banks or copies for -S, -U, -C\n"
      "  -L          monitor MIDI input until Enter is pressed\n"
      "  -E, -H      execute or halt the user program\n"
      "  -R          send a MIDI System Reset\n"
      "  -V          report module types and executive versions\n"
      "  -S f, -U f  save the registration to file f, load it back\n"
      "  -C bank     copy one memory bank to others\n"
      "  -v, -w f    verify the executive against the standard files or file f\n"
      "  -p f        program the code of firmware file f\n"
      "  -%%, -^ f    reprogram the executive from the standard file or file f\n"
      "  -P          from here on, wait for Enter before every exit\n"
      "  -f          download even when the executive check fails\n"
      "  -u          program only the code pages that differ\n"
      "  -D n        run the loop data diagnostic n times\n"
      "  -t          compile (and list) the configuration but download nothing\n"
      "  -x          do not ask the modules for their types: every module counts as type B;\n"
      "              this does not stop a download (use -t for that)\n");
  printWalkOptions();
  std::printf(
      "  --help      this text\n"
      "  --version   the package version and the executive version plenum targets\n"
      "  --devices   the MIDI input and output devices with the numbers -i and -o take\n"
      "  --chart[=text|csv|html] [--output f] config_file\n"
      "              the wiring chart of the configuration, without MIDI traffic\n"
      "  --xref [--output f] config_file\n"
      "              every name and MIDI item with the lines that define and use it\n"
      "--check and --names stand among the letter options and act where they stand; the others\n"
      "count only as the first word, and only --chart and --xref take words after.\n"
      "Exit statuses: 0 success (-E, -H, -R, -v and -p print nothing then; -D also with\n"
      "differences); 1 an operation failed, or an option's action failed and the later\n"
      "options still ran; 2 module count inquiry, programming or verify failed during a\n"
      "download, or a SysEx output error; 3 an unknown option, a missing option argument,\n"
      "or a number option whose argument is not a number; 4 an internal fault of plenum;\n"
      "5 --check found a module that differs from the file; 6 --check found more or\n"
      "fewer modules than the file defines.\n"
      "The manual: man plenum (docs/plenum.1 in the source tree).\n");
  return 0;
}

int printVersion(const char*) {
  std::printf("plenum %s\n", PLENUM_PACKAGE_VERSION);
  std::printf("Targets the executive of %s\n", programVersionLine());
  return 0;
}

// The numbers shown are those the port's own device choice counts, from the same lists.
int listDevices(const char*) {
  const std::string loop = portSourceDescription();
  if (!loop.empty()) {
    std::printf("MIDI input and output: %s\n", loop.c_str());
    std::puts("No MIDI device is opened while PLENUM_LOOP is set; -i and -o are not used.");
    return 0;
  }
  printMidiDevices(portDeviceLists());
  return 0;
}

struct LongOption {
  const char* word;
  LongOptionAction action;
};

constexpr LongOption kLongOptions[] = {
    {"--help", printHelp},
    {"--version", printVersion},
    {"--devices", listDevices},
};

struct LongCommand {
  const char* word;
  LongCommandAction action;
};

constexpr LongCommand kLongCommands[] = {
    {"--chart", runChartOption},
    {"--xref", runCrossReferenceOption},
};

}  // namespace

LongCommandAction findLongCommand(const char* word) {
  for (const LongCommand& command : kLongCommands) {
    const std::size_t length = std::strlen(command.word);
    if (std::strncmp(word, command.word, length) == 0 &&
        (word[length] == '\0' || word[length] == '='))
      return command.action;
  }
  return nullptr;
}

LongOptionAction findLongOption(const char* word) {
  for (const LongOption& option : kLongOptions) {
    if (std::strcmp(word, option.word) == 0) return option.action;
  }
  return nullptr;
}

const WalkOption* findWalkOption(const char* word, const char*& inlineArgument) {
  inlineArgument = nullptr;
  for (const WalkOption& option : kWalkOptions) {
    const std::size_t length = std::strlen(option.word);
    if (std::strncmp(word, option.word, length) != 0) continue;
    if (word[length] == '\0') return &option;
    if (word[length] == '=' && option.takesArgument) {
      inlineArgument = word + length + 1;
      return &option;
    }
  }
  return nullptr;
}

}  // namespace plenum
