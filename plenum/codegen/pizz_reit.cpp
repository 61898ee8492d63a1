#include "plenum/codegen/pizz_reit.h"

#include <cstdio>

#include "plenum/codegen/division_names.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/module_program.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

namespace {
constexpr int PizzicatoFlag = 0x20;
constexpr int LongestLowDelay = 510;
constexpr int LowestLowRate = 2;
constexpr int HighestHighRate = 100;
constexpr int MillisecondsPerSecond = 1000;

// The record counts time in units of two milliseconds.
int recordTime(int milliseconds) { return milliseconds / 2 + milliseconds % 2; }
}  // namespace

ModPizzReit::ModPizzReit(SourceLocation where, IdentifierRecord* name, bool pizzicato)
    : ModMidiFunction(std::move(where)), pizzicato_(pizzicato) {
  bindName(name, BindDefinition);
}

ModPizzReit::~ModPizzReit() = default;

void ModPizzReit::setDivision(IdentifierRecord* name) {
  if (pseudoDivision) reportAt(*this, "Division already set");
  ModInputKbd* source = divisionNamed(name, *this);
  if (!source || pseudoDivision) return;
  sourceDivision = source;
  auto copy = std::make_unique<ModInputKbd>(location);
  copy->firstBit = source->firstBit;
  copy->count = source->count;
  copy->extension = source->extension;
  copy->number = source->number;
  copy->channel = channel;
  // The name now stands for the pseudo division, unless it was another statement's.
  if (identifier && identifier->element == this) {
    identifier->element = copy.get();
    copy->identifier = identifier;
  }
  pseudoDivision = std::move(copy);
}

void ModPizzReit::finish() {
  if (pseudoDivision) pseudoDivision->channel = channel;
}

void ModPizzReit::print(bool indent) const {
  std::printf("%s%s: %s from %s, Chan = %d, Times = %d %d mSec\n", indent ? "    " : "",
              pizzicato_ ? "Pizzicato" : "Reiteration", name(),
              sourceDivision ? sourceDivision->name() : "Missing", channel, lowTime, highTime);
  if (expression) {
    std::printf("%s  exp: ", indent ? "    " : "");
    expression->print();
    std::printf("\n");
  }
}

void ModPizzReit::generateInModule(ModuleProgram& program, NvPbusMod& owner) {
  if (!sourceDivision) {
    reportAt(*this, "*DIVISION missing");
    return;
  }
  if (channel == -1) {
    reportAt(*this, "*MIDI_CHANNEL not defined");
    return;
  }
  if (lowTime == 0 || highTime == 0) reportAt(*this, "*DELAY missing");
  if (!hasNotes(*sourceDivision)) return;  // the division has reported what it lacks

  // Built apart: the expression may add note-state records to the same dispatch list.
  ByteString local;
  if (expression)
    expression->generate(local, owner);
  else
    appendRecord(local, Sldi, {1});
  appendRecord(local, SFpizzReit,
               {sourceDivision->number, sourceDivision->extension,
                channel + (pizzicato_ ? PizzicatoFlag : 0), sourceDivision->number,
                recordTime(lowTime), recordTime(highTime)});
  appendBytes(program.noteList(sourceDivision->channel), local);
  owner.markFunctionUse(UseRelays);
}

ModPizz::ModPizz(SourceLocation where, IdentifierRecord* name)
    : ModPizzReit(std::move(where), name, true) {}

void ModPizz::setDelay(int low, int high) {
  if (low < high) reportAt(*this, "The low delay must not be less than the high delay");
  if (high < 1) reportAt(*this, "The high delay must be greater than zero");
  if (low > LongestLowDelay) reportAt(*this, "The low delay must be less than 511");
  lowTime = low;
  highTime = high;
}

ModReit::ModReit(SourceLocation where, IdentifierRecord* name)
    : ModPizzReit(std::move(where), name, false) {}

void ModReit::setRate(int low, int high) {
  if (low > high) reportAt(*this, "The low rate must not be greater than the high rate");
  if (low < LowestLowRate) reportAt(*this, "The low rate must be at least two");
  if (high > HighestHighRate) reportAt(*this, "The high rate must be less than 100");
  lowTime = MillisecondsPerSecond / (low < LowestLowRate ? LowestLowRate : low);
  if (high != 0) highTime = MillisecondsPerSecond / high;
}

}  // namespace plenum
