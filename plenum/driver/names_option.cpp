#include "plenum/driver/names_option.h"

#include <memory>
#include <vector>

#include "plenum/consolemap/console_map.h"
#include "plenum/consolemap/midi_names.h"
#include "plenum/driver/compile_without_midi.h"
#include "plenum/language/compiler_context.h"
#include "plenum/model/configuration.h"

namespace plenum {

namespace {

std::shared_ptr<const MidiNames>& loadedNames() {
  static std::shared_ptr<const MidiNames> names;
  return names;
}

}  // namespace

void loadMonitorNames(const char* fileName) {
  // A context of its own: the download that may follow compiles its file afresh, and
  // would otherwise meet this file's names as already defined.
  const CompilerContextScope compiler;
  Configuration configuration;
  compileWithoutMidi(configuration, fileName);
  loadedNames() = std::make_shared<const MidiNames>(buildConsoleMap(configuration));
}

MessageNamer monitorNamer() {
  std::shared_ptr<const MidiNames> names = loadedNames();
  if (!names) return {};
  return [names](std::uint32_t word) { return monitorSuffix(*names, word); };
}

void forgetMonitorNames() { loadedNames().reset(); }

std::string monitorSuffix(const MidiNames& names, std::uint32_t word) {
  const auto status = static_cast<std::uint8_t>(word & 0xFF);
  if (status < 0x80 || status >= 0xF0) return "";
  const std::vector<std::string> found = names.namesOf(
      status, static_cast<std::uint8_t>((word >> 8) & 0x7F), static_cast<std::uint8_t>((word >> 16) & 0x7F));
  if (found.empty()) return "   (not in the configuration)";
  std::string text = "   ";
  for (std::size_t i = 0; i < found.size(); ++i) text += (i == 0 ? "" : " / ") + found[i];
  return text;
}

}  // namespace plenum
