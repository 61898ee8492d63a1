#include "plenum/codegen/output_bits.h"

#include <cstdio>

#include "plenum/codegen/bit_masks.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/item_dispatch.h"
#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/pbus_dev.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
// Work-memory byte of the first output byte of the chain, as the stack ops address it.
constexpr int OutputImageByte = 0x30;
constexpr int OutputBitInUse = 2;
constexpr unsigned OneOfNUse = UseOutputs | UseRelays;

// Bits from the board's first output bit to the end of the module's output chain.
int roomOf(const PbusDev& board) { return (board.module->outputBytes - board.outputOffset) * 8; }

NvPbusMod& moduleOf(PbusDev* board, const char* where) {
  if (!board || !board->module) throw ProgramBug{where};
  return *board->module;
}

ModInputBit* inputBitNamed(IdentifierRecord* name, const char* undefinedMessage) {
  if (!name || !name->element) {
    reportHere(undefinedMessage);
    return nullptr;
  }
  auto* input = dynamic_cast<ModInputBit*>(name->element);
  if (!input) reportHere("Not an input bit");
  return input;
}

void printItem(const ModInputBit& item) { item.print(true); }
}  // namespace

void ModOutputBit::setBit(int value) {
  if (value < 1) reportHere("Bit not greater than zero");
  if (bit != -1) reportHere("Bit already set for this item");
  bit = value;
}

void ModOutputBit::print(bool indent) const {
  std::printf("%sbit %d", indent ? "    " : "", bit);
  if (identifier) std::printf(" = %s", name());
  if (expression) {
    std::printf(": ");
    expression->print();
  }
  std::printf("\n");
}

void ModOutputBit::generate(ModuleProgram& program, PbusDev* board) {
  NvPbusMod& home = moduleOf(board, "output_bits: output bit");
  if (!expression) {
    reportAt(*this, "The (expression) for this bit is missing");
    return;
  }
  if (bit == -1) {
    reportAt(*this, "Missing '*bit ='");
    return;
  }
  if (bit > roomOf(*board)) {
    reportAt(*this, "The bit number is too large");
    return;
  }
  if (bit < 1) return;  // reported by the setter
  int entry = board->outputOffset * 8 + bit - 1;
  if (entry < OutputChainBits) {
    auto& use = home.outputBitUse[static_cast<std::size_t>(entry)];
    if (use > 1) reportAt(*this, "This bit has been used previously");
    use = OutputBitInUse;
  }
  expression->generate(program.mainList(), home);
  appendRecord(program.mainList(), Sstb,
               {OutputImageByte + board->outputOffset + (bit - 1) / 8, bitFromTop((bit - 1) % 8)});
  home.markFunctionUse(UseOutputs);
}

void ModOutputOneOfN::setBits(int first, int bitCount) {
  if (first < 1) reportHere("Bit must be greater than zero");
  if (firstBit != -1) reportHere("Bit already set for this item");
  if (bitCount < 2) reportHere("Count must be at least two");
  firstBit = first;
  count = bitCount;
}

void ModOutputOneOfN::setCancel(IdentifierRecord* name) {
  if (name && name->element && cancel) {
    reportHere("The Cancel bit has already been defined");
    return;
  }
  if (ModInputBit* input = inputBitNamed(name, "Identifier for CANCEL not defined")) cancel = input;
}

void ModOutputOneOfN::addSet(IdentifierRecord* name) {
  if (ModInputBit* input = inputBitNamed(name, "Identifier for SET not defined"))
    sets.push_back(input);
}

void ModOutputOneOfN::print(bool indent) const {
  (void)indent;  // the group's lines have their own fixed indents
  std::printf("  One-of-n Output bits\n");
  std::printf("    Bits %d, %d\n", firstBit, count);
  if (cancel) {
    std::printf("    Cancel: ");
    printItem(*cancel);
  } else {
    std::printf("    Cancel: Missing\n");
  }
  if (sets.empty()) {
    std::printf("    No set bits defined\n");
    return;
  }
  std::printf("    Set bits:\n");
  for (std::size_t i = 0; i < sets.size(); ++i) {
    std::printf("      %d: ", firstBit + static_cast<int>(i));
    printItem(*sets[i]);
  }
}

void ModOutputOneOfN::generate(ModuleProgram& program, PbusDev* board) {
  NvPbusMod& home = moduleOf(board, "output_bits: one of n");
  const int f = firstBit;
  const int n = count;
  const int o = board->outputOffset;
  // A group without its bits has no bytes to address.
  if (f < 1 || n < 1) {
    if (f == -1) reportAt(*this, "Missing '*bits ='");
    return;
  }
  if (static_cast<long long>(f) + n - 1 > roomOf(*board)) {
    reportAt(*this, "The bits extend beyond the end of the output board(s)");
    if (f > OutputChainBits || n > OutputChainBits) return;  // no byte of the chain is meant
  }

  const int offset = (f - 1) / 8 + o;
  const int byteCount = (f + n + 6) / 8 - (f - 1) / 8 - 1;
  // The bits of the first and the last byte that lie outside the group.
  int outsideFirst = ~(0xFF >> ((f - 1) % 8)) & 0xFF;
  const int outsideLast = ~(0xFF << (7 - (f + n - 2) % 8)) & 0xFF;
  if (byteCount == 0) outsideFirst |= outsideLast;

  auto emit = [&](const ModInputBit& item, int bitOffset, int mask) {
    ByteString* list = dispatchListOf(program, item,
                                      item.programChange ? ItemKind::ProgramChange : ItemKind::Note);
    if (!list) return;
    appendRecord(*list, SFoneOfNOut,
                 {item.number, offset, byteCount, outsideFirst, outsideLast, bitOffset, mask});
  };
  if (cancel) emit(*cancel, 0, 0);
  for (std::size_t i = 0; i < sets.size(); ++i) {
    int lit = static_cast<int>(i) + f - 1;
    emit(*sets[i], lit / 8 + o, bitFromTop(lit % 8));
  }
  home.markFunctionUse(OneOfNUse);
}

ModPulseCmd::ModPulseCmd(SourceLocation where, int pulseBit, const std::string& noteLiteral)
    : ModFunction(where), bit(pulseBit), note(std::make_unique<Literal>(Literal::Note, noteLiteral, where)) {}

ModPulseCmd::~ModPulseCmd() = default;

void ModPulseCmd::print(bool indent) const { std::printf("%sModPulseCmd()\n", indent ? "    " : ""); }

void ModPulseCmd::generate(ModuleProgram& program, PbusDev* board) {
  moduleOf(board, "output_bits: pulse");
  bool bitValid = bit >= 1 && bit <= board->outputBitCount();
  if (!bitValid) reportHere("Illegal bit number");
  if (!board->usesCombinationAction())
    reportHere("This is only valid as part of a combination action");
  if (!bitValid || note->channel < 0 || note->channel >= MidiChannels) return;
  appendRecord(program.noteList(note->channel), SFmn2bitPulse,
               {note->number, OutputImageByte + board->outputOffset + (bit - 1) / 8,
                bitFromTop((bit - 1) % 8)});
}

}  // namespace plenum
