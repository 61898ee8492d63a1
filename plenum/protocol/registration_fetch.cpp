#include <cstdio>
#include <string>

#include "plenum/language/diagnostics.h"
#include "plenum/protocol/chain_inquiry.h"
#include "plenum/protocol/registration.h"
#include "plenum/protocol/registration_blocks.h"
#include "plenum/protocol/sysex_exchange.h"
#include "plenum/runtime/memory_map.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {

// A read reply: 0xF0, 0x47, the 8 request characters, 128 hex digits, 0xF7.
constexpr std::size_t kReplyHeader = 10;
constexpr std::size_t kReadReplyLength = kReplyHeader + 2 * kReadBlockBytes + 1;
// Positions in the information block.
constexpr std::size_t kInfoSize = 50;
constexpr std::size_t kInfoPistons = 53;
constexpr std::size_t kInfoLastBank = 54;

// One 64-byte read at address; false (after a message) when the reply is not a whole
// block of hex digits. Input errors leave no reply, so they fail the length check.
bool readBlock(int module, std::uint32_t address, Bytes& reply) {
  const std::string request = formatText("%cR%04x%02x", moduleAddressByte(module),
                                         static_cast<unsigned>(address), kReadBlockBytes);
  const bool detail = settings().debug(DebugProtocolDetail);
  if (detail) std::printf("Sending: %s\n", request.c_str());
  reply.clear();
  exchangeText(Bytes(request.begin(), request.end()), reply, false);
  if (detail) std::printf("Got:     %s\n", framePayload(reply).c_str());
  if (reply.size() != kReadReplyLength) return false;
  for (std::size_t i = kReplyHeader; i + 1 < reply.size(); ++i) {
    if (parseHex(reply, i, 1) < 0) {
      std::printf("Module %d sent a memory block that is not hexadecimal\n", module);
      return false;
    }
  }
  return true;
}

int infoByte(const Bytes& reply, std::size_t index) {
  return parseHex(reply, kReplyHeader + 2 * index, 2);
}

// Reads banks first..last of one module into record.data, lowest address first.
bool readBanks(RegistrationRecord& record, int first, int last, std::uint32_t base) {
  const std::uint32_t bankBytes = static_cast<std::uint32_t>(record.bankBytes());
  std::uint32_t address = base - static_cast<std::uint32_t>(last + 1) * bankBytes;
  const std::uint32_t end = address + static_cast<std::uint32_t>(last - first + 1) * bankBytes;
  record.data.clear();
  BlockProgress progress;
  Bytes reply;
  while (address < end) {
    if (!readBlock(record.module, address, reply)) {
      if (reply.size() != kReadReplyLength) {
        const long left = static_cast<long>(reply.size()) - static_cast<long>(kReplyHeader);
        std::printf("Expected 129, got %ld\n", left < 0 ? 0L : left);
      }
      return false;
    }
    record.data.append(reply.begin() + kReplyHeader, reply.end() - 1);
    progress.step();
    address += kReadBlockBytes;
  }
  progress.finish();
  if (settings().debug(DebugProtocolDetail)) std::printf("Reg str: %s\n", record.data.c_str());
  return true;
}

}  // namespace

long dataDigitsFor(long banks, long pistons, long size) {
  if (banks < 0 || pistons < 0 || size < 0 || banks > 256 || pistons > 255 || size > 255) return -1;
  const long bytes = banks * pistons * size;
  if (bytes > static_cast<long>(kModuleMemorySize)) return -1;
  return 2L * kReadBlockBytes * ((bytes + kReadBlockBytes - 1) / kReadBlockBytes);
}

int fetchRegistration(RegistrationSet& set, bool infoOnly, int firstBank, int count) {
  const int modules = countModules(false);
  const int first = firstBank < 0 ? 0 : firstBank;
  for (int m = 0; m < modules; ++m) {
    char type = 'A';
    queryVersion(m, type);
    const bool isTypeB = type == 'B';
    // The information block, and the banks below the memory base.
    const ModuleMemoryMap& layout = registrationMapOf(isTypeB);

    Bytes info;
    if (!readBlock(m, layout.registrationInfo, info)) {
      if (info.size() != kReadReplyLength) std::printf("Expected 139, got %d\n", static_cast<int>(info.size()));
      return 1;
    }
    const int size = infoByte(info, kInfoSize);
    if (size == 0) continue;  // no combination action in this module

    RegistrationRecord record;
    record.module = m;
    record.banks = infoByte(info, kInfoLastBank) + 1;
    record.pistons = infoByte(info, kInfoPistons);
    record.size = size;
    record.firstBank = firstBank;
    record.isTypeB = isTypeB;
    // The banks lie between the information block and the base; a module that reports
    // more is not to be believed, and the reads would wander over its whole memory.
    const long room = static_cast<long>(layout.registrationBase) -
                     static_cast<long>(layout.registrationInfo + kInfoBlockSize);
    if (static_cast<long>(record.banks) * record.bankBytes() > room) {
      std::printf("Module %d reports %d memory banks of %d pistons of %d bytes, more than its memory holds\n",
                  m, record.banks, record.pistons, record.size);
      return 1;
    }
    std::printf("Found pistons: Mod %d, Banks %d, Pistons %d, Size %d\n", m, record.banks,
                record.pistons, record.size);

    // In long: a bank count from the command line may be anything up to INT_MAX.
    long last = count < 0 ? record.banks - 1L : static_cast<long>(first) + count - 1;
    if (first >= record.banks) {
      std::printf("Module %d has only %d memories, but memory %d was requested\n", m, record.banks, first);
      return 1;
    }
    if (last >= record.banks) {
      if (!infoOnly) {
        std::printf("Module %d has only %d memories, but memory %ld was requested\n", m, record.banks, last);
        std::printf("Only fetching up to bank %d\n", record.banks - 1);
      }
      last = record.banks - 1;
    }
    record.banks = static_cast<int>(last) - first + 1;
    if (!infoOnly && !readBanks(record, first, static_cast<int>(last), layout.registrationBase)) return 1;
    set.push_back(std::move(record));
  }
  return 0;
}

}  // namespace plenum
