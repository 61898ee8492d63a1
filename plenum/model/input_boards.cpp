#include "plenum/model/input_boards.h"

#include <cstdio>

#include "plenum/codegen/mod_function.h"
#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/nv_mod.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
// KX-64 configuration commands.
constexpr int Kx64Mode = 0xC5;
constexpr int Kx64Reset = 0xC7;
constexpr int Kx64AnalogInputs = 0xC6;
constexpr int Kx64Threshold = 0xC8;
constexpr int Kx64Invert = 0xC9;
constexpr int Kx64Voltage = 0xCA;
constexpr int Kx64Debounce = 0xCD;

constexpr int Kx64NoReference = 0x10;
constexpr int Kx64AnalogMode = 0x20;
constexpr int FirstAnalogBit = 57;
constexpr int LastAnalogBit = 64;

bool isByteSetting(int value) { return value >= 1 && value <= 255; }
}  // namespace

void PbusInputDev::print() const { std::printf("Fixme %s:%d\n", "input_boards", __LINE__); }

void PbusInputDev::generate(ModuleProgram&) { std::printf("Fixme %s:%d\n", "input_boards", __LINE__); }

unsigned PbusInputDev::functionUse() const { return UseInputs; }

void PbusInputDev::printTitleAndItems(const char* title) const {
  std::printf("%s\n", title);
  for (const auto& item : items)
    if (auto* function = dynamic_cast<const ModFunction*>(item.get())) function->print(true);
}

void PbusInputDev::generateItems(ModuleProgram& program) {
  for (const auto& item : items) {
    auto* function = dynamic_cast<ModFunction*>(item.get());
    if (!function) throw ProgramBug{"input_boards: item"};
    function->generate(program, this);
  }
}

void PbusKx64::print() const { printTitleAndItems("  KX-64 serial input module"); }

void PbusKx64::sendCommand(ModuleProgram& program, int command, int value) const {
  appendRecord(program.mainList(), SFsendAltCmd, {outputOffset, command, value});
}

void PbusKx64::generate(ModuleProgram& program) {
  generateItems(program);
  sendCommand(program, Kx64Mode, noRef64 ? Kx64NoReference : 0);
  appendRecord(program.mainList(), SFsendReset, {outputOffset, Kx64Reset, 0});
  if (analogMask != 0) sendCommand(program, Kx64AnalogInputs, static_cast<int>(analogMask));
  if (threshold != -1) sendCommand(program, Kx64Threshold, threshold);
  if (debounce != -1) sendCommand(program, Kx64Debounce, debounce);
  if (invertSetting != -1) sendCommand(program, Kx64Invert, invertSetting);
  if (voltage != -1) sendCommand(program, Kx64Voltage, voltage);
  module->markFunctionUse(UseInputs);
}

void PbusKx64::markAnalogBit(int bit) {
  if (bit >= FirstAnalogBit && bit <= LastAnalogBit) analogMask |= 1u << (bit - FirstAnalogBit);
}

void PbusKx64::setThreshold(int value) {
  if (!isByteSetting(value)) {
    reportHere("Threshold must be between 1 and 255");
    return;
  }
  threshold = value;
}

void PbusKx64::setDebounce(int value) {
  if (!isByteSetting(value)) {
    reportHere("Debounce must be between 1 and 255");
    return;
  }
  debounce = value;
}

void PbusKx64::setInvert(int value) {
  if (value < 0 || value > 255) throw ProgramBug{"data:2853"};
  invertSetting = value;
}

void PbusKx64::setVoltage(int value) {
  if (value < 0 || value > 255) throw ProgramBug{"data:2862"};
  voltage = value;
}

void PbusKx64A64::print() const {
  printTitleAndItems("  KX-64 serial input module in 64-channel analog input mode");
}

void PbusKx64A64::generate(ModuleProgram& program) {
  generateItems(program);
  sendCommand(program, Kx64Mode, Kx64AnalogMode | (noRef64 ? Kx64NoReference : 0));
  module->markFunctionUse(UseInputs);
}

void PbusIn64::print() const { printTitleAndItems("  64-bit serial input module"); }

void PbusIn64::generate(ModuleProgram& program) {
  if (plus5) appendRecord(program.mainList(), SFsetFlags, {FlagInvertInput});
  generateItems(program);
}

void PbusIn96::print() const { printTitleAndItems("  96-bit serial input module"); }

void PbusIn96::generate(ModuleProgram& program) { generateItems(program); }

void PbusInHall32::print() const { printTitleAndItems("  32-bit serial input hall-effect module"); }

void PbusInHall32::generate(ModuleProgram& program) {
  appendRecord(program.mainList(), SFsetFlags, {FlagOutputModule});
  generateItems(program);
}

void PbusFatar::print() const { printTitleAndItems("  Fatar keyboard input module"); }

void PbusFatar::generate(ModuleProgram& program) { generateItems(program); }

}  // namespace plenum
