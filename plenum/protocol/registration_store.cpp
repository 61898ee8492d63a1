#include <cstdio>
#include <string>
#include <string_view>

#include "plenum/protocol/block_programming.h"
#include "plenum/protocol/registration.h"
#include "plenum/protocol/registration_blocks.h"
#include "plenum/protocol/sysex_exchange.h"
#include "plenum/runtime/memory_map.h"

namespace plenum {

namespace {

// One stretch of a module's memory to write, and where its digits lie in the record.
struct WritePlan {
  int module = 0;
  std::uint32_t address = 0;
  long bytes = 0;
  int block = 0;
  std::size_t firstDigit = 0;
};

// The write of one record into one connected module, or none after a message. The
// checks stand before any write, so a refused store leaves every module as it was.
bool planWrite(const RegistrationRecord& connected, const RegistrationRecord& supplied, int bank,
               WritePlan& plan) {
  const ModuleMemoryMap& layout = registrationMapOf(connected.isTypeB);
  plan.module = connected.module;
  plan.block = layout.registrationBlock;
  long start = 0;
  if (bank < 0) {
    if (supplied.banks > connected.banks) {
      std::printf("The supplied file holds %d memory banks, but module %d has only %d\n", supplied.banks,
                  connected.module, connected.banks);
      return false;
    }
    plan.bytes = static_cast<long>(connected.pistons) * connected.banks * connected.size;
    const long held = static_cast<long>(supplied.data.size() / 2);
    if (plan.bytes > held) plan.bytes = held;
    start = static_cast<long>(layout.registrationBase) - plan.bytes;
    plan.firstDigit = 0;
  } else {
    plan.bytes = supplied.bankBytes();
    start = static_cast<long>(layout.registrationBase) - (bank + 1L) * plan.bytes;
    if (supplied.data.size() < 2 * static_cast<std::size_t>(plan.bytes)) {
      std::printf("The supplied registration for module %d holds less than one memory bank\n",
                  connected.module);
      return false;
    }
    plan.firstDigit = supplied.data.size() - 2 * static_cast<std::size_t>(plan.bytes);
  }
  // Writes go in whole blocks from a block boundary; a stretch that does not fill whole
  // blocks would shift the banks or overwrite the memory beside them.
  if (start < 0 || start % plan.block != 0 || plan.bytes % plan.block != 0) {
    std::printf("The registration of module %d (%ld bytes at 0x%04lx) is not made of whole %d-byte blocks; "
                "nothing was stored\n",
                connected.module, plan.bytes, start < 0 ? 0L : start, plan.block);
    return false;
  }
  plan.address = static_cast<std::uint32_t>(start);
  return true;
}

bool writeBlocks(const WritePlan& plan, const std::string& digits) {
  const long blocks = plan.bytes / plan.block;
  const std::size_t blockDigits = 2 * static_cast<std::size_t>(plan.block);
  const char letter = blockCommandLetter(BlockAction::Program, false, kNoTypeLetter);
  std::uint32_t address = plan.address;
  std::size_t position = plan.firstDigit;
  BlockProgress progress;
  for (long written = 1; written <= blocks; ++written) {
    const std::string_view blockDigitsText = std::string_view(digits).substr(position, blockDigits);
    const BlockRequest request{plan.module, BlockAction::Program, letter, address, blockDigitsText};
    if (writeBlock(request, kRegistrationBlockRules) != kStatusDone) {
      std::printf("Programming failed\n");
      return false;
    }
    progress.step();
    address += static_cast<std::uint32_t>(plan.block);
    position += blockDigits;
  }
  progress.finish();
  return true;
}

}  // namespace

int storeRegistration(const RegistrationSet& set, int bank, int copies) {
  if (set.empty()) {
    std::printf("There is no registration to store\n");
    return 1;
  }
  if (bank < 0) bank = -1;
  if (copies > 1) {
    if (set.front().banks >= 2) {
      std::printf("Request to save %d copies, but %d memory banks supplied\n", copies, set.front().banks);
      return 1;
    }
    const int from = bank < 0 ? 0 : bank;
    for (int k = 0; k < copies; ++k)
      if (storeRegistration(set, from + k, 1) != 0) return 1;
    return 0;
  }

  RegistrationSet connected;
  if (fetchRegistration(connected, true, -1, -1) != 0) return 1;
  if (connected.size() != set.size()) {
    std::printf("The number of modules with combination action in the connected\n system (%d) does not "
                "agree with the number in the supplied file (%d)\n",
                static_cast<int>(connected.size()), static_cast<int>(set.size()));
    return 1;
  }
  if (bank >= 0 && set.front().banks > 1) {
    std::printf("Request to load specific memory bank, but data suppliedhas multiple banks\n");
    return 1;
  }
  for (std::size_t j = 0; j < set.size(); ++j) {
    const RegistrationRecord& c = connected[j];
    const RegistrationRecord& f = set[j];
    if (bank >= c.banks) {
      std::printf("Request to load registration into memory bank %d of module %d,\nwhich has only %d memory banks\n",
                  bank, c.module, c.banks);
      return 1;
    }
    if (c.pistons != f.pistons) {
      std::printf("The number of pistons in module %d (%d) is not the same\nas the number of pistons in the "
                  "supplied file (%d)\n",
                  c.module, c.pistons, f.pistons);
      return 1;
    }
    if (c.size != f.size) {
      std::printf("The byte size of a preset in module %d (%d) is not the same\nas the byte size of a preset in "
                  "the supplied file (%d)\n",
                  c.module, c.size, f.size);
      return 1;
    }
  }
  std::vector<WritePlan> plans(set.size());
  for (std::size_t j = 0; j < set.size(); ++j)
    if (!planWrite(connected[j], set[j], bank, plans[j])) return 1;
  // Records go by position, as they always have; a file from another loop would otherwise
  // land in other modules without a word.
  for (std::size_t j = 0; j < set.size(); ++j)
    if (connected[j].module != set[j].module)
      std::fprintf(stderr, "the registration of module %d goes to module %d: records load by position\n",
                   set[j].module, connected[j].module);
  for (std::size_t j = 0; j < set.size(); ++j) {
    if (!writeBlocks(plans[j], set[j].data)) return 1;
    Bytes reply;
    addressedExchange(plans[j].module, "E", reply);  // restart the module; its answer does not matter
  }
  return 0;
}

}  // namespace plenum
