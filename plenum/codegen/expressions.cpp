#include "plenum/codegen/expressions.h"

#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/local_values.h"
#include "plenum/codegen/module_program.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

namespace {

// The (offset, mask) form of a work-memory bit address.
int byteOf(int bitAddress) { return bitAddress / 8; }
int maskOf(int bitAddress) { return 1 << (bitAddress % 8); }

// The work-memory place an identifier reads, by the kind of element it names.
struct NamedPlace {
  enum Kind { Nothing, Byte, Bit } kind = Nothing;
  int address = 0;  // byte address, or bit address for a bit
};

// A mirrored item needs its channel: the mirror listens on it.
bool hasChannel(const ExpId& node, const ModMidiFunction& item) {
  if (item.channel >= 0 && item.channel < MidiChannels) return true;
  reportAt(node, "midi_channel not defined");
  return false;
}

NamedPlace placeOf(const ExpId& node, Element* element, NvPbusMod& module,
                   bool valuesAllowed) {
  ModuleProgram& program = module.program;
  if (auto* controller = dynamic_cast<ModInControl*>(element)) {
    if (!hasChannel(node, *controller)) return {};
    return {NamedPlace::Byte,
            module.remoteControllerAddress(program, *controller, controller->channel,
                                           controller->controller, controller->valueByte)};
  }
  if (auto* value = dynamic_cast<ModValue*>(element); value && valuesAllowed) {
    if (!value->isAvailableIn(module.number))
      reportAt(node, "A value is only available in the module that generated it");
    return {NamedPlace::Byte, value->workByte()};
  }
  if (auto* inputBit = dynamic_cast<ModInputBit*>(element)) {
    if (inputBit->programChange) reportAt(node, "Program Change not valid in an expression");
    if (!hasChannel(node, *inputBit)) return {};
    return {NamedPlace::Bit, module.remoteBitAddress(program, *inputBit, inputBit->channel,
                                                     inputBit->number)};
  }
  if (auto* bit = dynamic_cast<ModBit*>(element)) {
    if (!bit->isAvailableIn(module.number))
      reportAt(node, "A bit is only available in the module that generated it");
    return {NamedPlace::Bit, bit->workBit()};
  }
  reportAt(node, "Expected a controller or an input bit");
  return {};
}

}  // namespace

void Exp::print(std::FILE* out) const { std::fputs("Expression", out); }
const char* Exp::opName() const { return "?"; }
void Exp::generate(ByteString&, NvPbusMod&) const {
  reportAt(*this, "Call to base Exp::generate()");
}
void Exp::operate(ByteString&, NvPbusMod&, bool) const {
  reportAt(*this, "Bug: Call to Exp::operate");
}
bool Exp::isSimple() const { return false; }
bool Exp::canSwap() const { return false; }
bool Exp::isConstant() const { return false; }
int Exp::constantValue() const { return 0; }
bool Exp::isSimpleAnd() const { return false; }
void Exp::simpleAnd(ByteString&, ModuleProgram&, NvPbusMod&) const {
  reportAt(*this, "Bug in simpleAnd");
}

void ExpInt::print(std::FILE* out) const { std::fprintf(out, "%d", value); }
void ExpInt::generate(ByteString& list, NvPbusMod&) const { appendRecord(list, Sldi, {value}); }

ExpId::ExpId(SourceLocation where, IdentifierRecord* name)
    : Exp(std::move(where)), element(name ? name->element : nullptr) {
  identifier = name;
  if (name && !name->element) reportAt(*this, "Identifier '%s' not defined", name->name.c_str());
}

void ExpId::print(std::FILE* out) const { std::fputs(name(), out); }

void ExpId::generate(ByteString& list, NvPbusMod& module) const {
  NamedPlace place = placeOf(*this, element, module, true);
  if (place.kind == NamedPlace::Byte) appendRecord(list, Slda, {place.address});
  if (place.kind == NamedPlace::Bit)
    appendRecord(list, Sldb, {byteOf(place.address), maskOf(place.address)});
}

void ExpId::simpleAnd(ByteString& pairs, ModuleProgram&, NvPbusMod& module) const {
  // A controller counts as on whenever any bit of its value is.
  NamedPlace place = placeOf(*this, element, module, false);
  if (place.kind == NamedPlace::Byte) {
    pairs.push_back(static_cast<std::uint8_t>(place.address));
    pairs.push_back(0xFF);
  }
  if (place.kind == NamedPlace::Bit) {
    pairs.push_back(static_cast<std::uint8_t>(byteOf(place.address)));
    pairs.push_back(static_cast<std::uint8_t>(maskOf(place.address)));
  }
}

void ExpParen::print(std::FILE* out) const {
  std::fputc('(', out);
  operand->print(out);
  std::fputc(')', out);
}

void ExpParen::generate(ByteString& list, NvPbusMod& module) const {
  operand->generate(list, module);
}

void ExpNot::generate(ByteString& list, NvPbusMod& module) const {
  operand->generate(list, module);
  appendRecord(list, Snot, {});
}

void ExpNot::simpleAnd(ByteString& pairs, ModuleProgram& program, NvPbusMod& module) const {
  std::size_t first = pairs.size();
  operand->simpleAnd(pairs, program, module);
  if (first < pairs.size()) pairs[first] = static_cast<std::uint8_t>(~pairs[first]);
}

void ExpCom::generate(ByteString& list, NvPbusMod& module) const {
  operand->generate(list, module);
  appendRecord(list, Scom, {});
}

void ExpNeg::generate(ByteString& list, NvPbusMod& module) const {
  operand->generate(list, module);
  appendRecord(list, Scom, {});
  appendRecord(list, Sldi, {1});
  appendRecord(list, Sadd, {});
}

void Exp2arg::print(std::FILE* out) const {
  std::fputc('(', out);
  left->print(out);
  std::fprintf(out, " %s ", opName());
  right->print(out);
  std::fputc(')', out);
}

void Exp2arg::generate(ByteString& list, NvPbusMod& module) const {
  if (right->isSimple()) {
    left->generate(list, module);
    right->generate(list, module);
    operate(list, module, false);
    return;
  }
  if (left->isSimple() && canSwap()) {
    right->generate(list, module);
    left->generate(list, module);
    operate(list, module, true);
    return;
  }
  // Neither side can simply be pushed second: park one operand in a work byte.
  const Exp& first = canSwap() ? *left : *right;
  const Exp& second = canSwap() ? *right : *left;
  first.generate(list, module);
  int temporary = module.getWorkByte();
  appendRecord(list, Ssta, {temporary});
  second.generate(list, module);
  appendRecord(list, Slda, {temporary});
  module.releaseWorkByte(temporary);
  operate(list, module, canSwap());
}

void ExpAnd::simpleAnd(ByteString& pairs, ModuleProgram& program, NvPbusMod& module) const {
  left->simpleAnd(pairs, program, module);
  right->simpleAnd(pairs, program, module);
}

namespace {
// The right operand runs only when the left one has not decided; the result is made
// boolean either way.
void generateShortCircuit(const Exp2arg& node, RecordCode shortSkip, RecordCode longSkip,
                          ByteString& list, NvPbusMod& module) {
  node.left->generate(list, module);
  int branch = ModuleProgram::emitForwardBranch(list, shortSkip, longSkip);
  node.right->generate(list, module);
  ModuleProgram::patchForwardBranch(list, branch);
  appendRecord(list, St, {});
}
}  // namespace

void ExpAndand::generate(ByteString& list, NvPbusMod& module) const {
  generateShortCircuit(*this, Sbf, Sjf, list, module);
}

void ExpOror::generate(ByteString& list, NvPbusMod& module) const {
  generateShortCircuit(*this, Sbt, Sjt, list, module);
}

std::unique_ptr<Exp> makeNegation(SourceLocation where, std::unique_ptr<Exp> operand) {
  if (auto* number = dynamic_cast<ExpInt*>(operand.get())) {
    number->value = -number->value;
    return operand;
  }
  return std::make_unique<ExpNeg>(std::move(where), std::move(operand));
}

}  // namespace plenum
