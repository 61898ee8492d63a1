#pragma once
// For tests of every front end: the shared table of the main window's command lines
// (testdata/command_lines.txt), read into cases, and the controls and buttons it names
// applied to the flow's OptionControls.

#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tirasse/core/utf8_path.h"
#include "tirasse/flow/main_flow.h"

namespace tirasse {

inline constexpr const char* kTableConfigFile = "/x/organ.ncf";

struct CommandLineCase {
  std::string button;                                        // e.g. "cmdHalt"
  std::vector<std::pair<std::string, std::string>> controls;  // e.g. {"txtModule", "2"}
  std::string line;
  std::vector<std::string> words;  // after the program
};

inline std::vector<std::string> splitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

// The cases of the table at `path` (UTF-8); empty when it cannot be read.
inline std::vector<CommandLineCase> readCommandLineTable(const std::string& path) {
  std::vector<CommandLineCase> cases;
  std::ifstream in(pathFromUtf8(path), std::ios::binary);
  std::string row;
  while (std::getline(in, row)) {
    if (!row.empty() && row.back() == '\r') row.pop_back();
    if (row.empty() || row[0] == '#') continue;
    const std::vector<std::string> fields = splitAt(row, '\t');
    if (fields.size() != 4) continue;
    CommandLineCase c;
    c.button = fields[0];
    for (const std::string& control : splitAt(fields[1], ';')) {
      const std::size_t equals = control.find('=');
      c.controls.emplace_back(control.substr(0, equals),
                              equals == std::string::npos ? "" : control.substr(equals + 1));
    }
    c.line = fields[2];
    c.words = splitAt(fields[3], '|');
    cases.push_back(std::move(c));
  }
  return cases;
}

// The button the table names, by its Qt object name.
inline std::optional<PlenumButton> tableButton(const std::string& name) {
  const std::pair<const char*, PlenumButton> buttons[] = {
      {"cmdDownload", PlenumButton::Download}, {"cmdVersion", PlenumButton::Version},
      {"cmdReset", PlenumButton::Reset},       {"cmdMonitor", PlenumButton::Monitor},
      {"cmdHalt", PlenumButton::Halt},         {"cmdRun", PlenumButton::Run},
      {"cmdProgram", PlenumButton::ProgramExecutive},
      {"cmdVerify", PlenumButton::VerifyExecutive},
      {"cmdDataDiag", PlenumButton::DataDiagnostic},
      {"cmdCheckConsole", PlenumButton::CheckConsole}};
  for (const auto& [known, button] : buttons) {
    if (name == known) return button;
  }
  return std::nullopt;
}

// Sets the control the table names; false for a name it does not know.
inline bool setTableControl(OptionControls& controls, const std::string& name,
                            const std::string& value) {
  const bool ticked = value == "1";
  if (name == "chkBat") {
    controls.keepWindowOpen = ticked;
  } else if (name == "chkModuleOnly") {
    controls.startAtModule = ticked;
  } else if (name == "txtModule") {
    controls.moduleText = value;
  } else if (name == "txtOtherOptions") {
    controls.otherOptions = value;
  } else if (name == "chkSkipUnchanged") {
    controls.skipUnchangedRelayCode = ticked;
  } else if (name == "chkNameMessages") {
    controls.nameMessages = ticked;
  } else if (name == "chkDispData") {
    controls.displayComparison = ticked;
  } else if (name == "txtDiagCount") {
    controls.repeatCount = value;
  } else if (name.size() == 9 && name.starts_with("chkDebug") && name[8] >= '0' && name[8] <= '8') {
    const unsigned bit = 1u << (name[8] - '0');
    controls.debugBoxes = ticked ? controls.debugBoxes | bit : controls.debugBoxes & ~bit;
  } else {
    return false;
  }
  return true;
}

}  // namespace tirasse
