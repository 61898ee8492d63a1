#include "plenum/codegen/couplers.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "plenum/codegen/division_names.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

namespace {
constexpr int RelayTruncation = 0x3F;

int noteBytes(int notes) { return (notes + 7) / 8; }

std::vector<ModCoupler*> couplersOf(NvPbusMod& module) {
  std::vector<ModCoupler*> found;
  for (const auto& function : module.functions)
    if (auto* coupler = dynamic_cast<ModCoupler*>(function.get())) found.push_back(coupler);
  return found;
}

bool usable(const ModCoupler& coupler) {
  return coupler.fromDivision && coupler.toDivision && hasNotes(*coupler.fromDivision) &&
         hasNotes(*coupler.toDivision);
}

// The module's coupler buffer, made by its first coupler. Its width covers the widest
// division any coupler of the module reads or writes, plus a byte on either side for the
// shifted bits, so that no destination group writes past its end.
CouplerBuffer& bufferOf(NvPbusMod& module) {
  auto& buffers = context().couplerBuffers;
  auto found = buffers.find(&module);
  if (found != buffers.end()) return found->second;
  int widest = 0;
  for (const ModCoupler* coupler : couplersOf(module))
    if (usable(*coupler))
      widest = std::max({widest, coupler->fromDivision->extension, coupler->toDivision->extension});
  int width = noteBytes(widest) + 2;
  return buffers[&module] = CouplerBuffer{module.allocBytes(width, 0), width};
}

void printDivision(const ModInputKbd* division) {
  if (division)
    division->print(false);
  else
    std::printf("Missing\n");
}
}  // namespace

ModCoupler::ModCoupler(SourceLocation where, Exp* condition, IdentifierRecord* from,
                       IdentifierRecord* to)
    : ModFunction(std::move(where)), expression(condition) {
  fromDivision = divisionNamed(from, *this);
  toDivision = divisionNamed(to, *this);
}

void ModCoupler::print(bool indent) const {
  std::printf("%sCoupler: exp: ", indent ? "    " : "");
  if (expression) expression->print();
  std::printf("\n  From: ");
  printDivision(fromDivision);
  std::printf("  To:   ");
  printDivision(toDivision);
}

void ModCoupler::generateInModule(ModuleProgram& program, NvPbusMod& owner) {
  if (done || !usable(*this)) return;
  const CouplerBuffer& buffer = bufferOf(owner);
  ByteString& main = program.mainList();
  appendRecord(main, SFzeroMem, {buffer.firstByte, buffer.width});

  for (ModCoupler* coupler : couplersOf(owner)) {
    if (!usable(*coupler) || coupler->toDivision->channel != toDivision->channel) continue;
    if (coupler->done) {
      reportAt(*coupler, "Bug: Done is already set");
      return;
    }
    coupler->done = true;
    coupler->orIntoBuffer(program, owner, buffer.firstByte);
  }

  const int toBytes = noteBytes(toDivision->extension);
  appendRecord(main, SFcouplerOut,
               {buffer.firstByte + 1, toBytes, owner.allocBytes(toBytes, 0), toDivision->channel,
                toDivision->number});
  owner.markFunctionUse(UseRelays);
}

void ModCoupler::orIntoBuffer(ModuleProgram& program, NvPbusMod& owner, int bufferFirst) const {
  const ModInputKbd& from = *fromDivision;
  const ModInputKbd& to = *toDivision;
  int in = owner.noteStateBytes(program, from.channel, from.number, from.number + from.count - 1);
  int out = bufferFirst + 1;
  long long wideShift = static_cast<long long>(from.number) + offset - to.number;
  int toBytes = noteBytes(to.extension);
  int fromBytes = noteBytes(from.count);
  // Whole bytes of the shift move the start of the output or of the input; a shift of
  // more bytes than either division has leaves nothing to couple.
  long long wholeBytes = (wideShift < 0 ? -wideShift : wideShift) / 8;
  if (wholeBytes > 16) wholeBytes = 16;
  int steps = static_cast<int>(wholeBytes);
  if (wideShift > 7) {
    wideShift -= 8LL * steps;
    out += steps;
    toBytes -= steps;
  } else if (wideShift < -7) {
    wideShift += 8LL * steps;
    in += steps;
    fromBytes -= steps;
  }
  int shift = static_cast<int>(wideShift % 8);
  if (toBytes <= 0 || fromBytes <= 0) {
    reportAt(*this, "Coupler has no effect: The destination notes do not exist in the division");
    return;
  }
  ByteString& main = program.mainList();
  if (expression) expression->generate(main, owner);
  appendRecord(main, SFcouplerOr, {in, std::min(toBytes, fromBytes), out, shift});
  program.truncation[static_cast<std::size_t>(from.channel)] &= RelayTruncation;
}

}  // namespace plenum
