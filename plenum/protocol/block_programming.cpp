#include "plenum/protocol/block_programming.h"

#include <algorithm>
#include <cstdio>

#include "plenum/runtime/exits.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {

constexpr std::uint32_t kAddressSpace = 0x10000;

int pageSizeOfType(char typeLetter) { return typeLetter == 'A' ? 64 : 128; }

void appendHex(Bytes& text, const char* format, unsigned value) {
  char digits[8];
  const int n = std::snprintf(digits, sizeof digits, format, value);
  text.insert(text.end(), digits, digits + n);
}

void printText(const Bytes& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::printf("\n");
}

}  // namespace

char blockCommandLetter(BlockAction action, bool codeCommands, char typeLetter) {
  const bool verify = action == BlockAction::Verify;
  if (!codeCommands) return verify ? 'Z' : 'Y';
  if (typeLetter == 'B') return verify ? 'c' : 'p';
  return verify ? 'C' : 'P';
}

char programBlock(int module, std::uint32_t address, const Bytes& data, BlockAction action,
                  bool codeCommands, char typeLetter) {
  if (address + data.size() > kAddressSpace) throw ProgramBug{"block_programming:address"};
  if (settings().debug(DebugPages)) {
    std::printf("%s 0x%04x\n", action == BlockAction::Verify ? "Verifying" : "Programming",
                address);
  }
  Bytes request{moduleAddressByte(module),
                static_cast<std::uint8_t>(blockCommandLetter(action, codeCommands, typeLetter))};
  request.reserve(6 + 2 * data.size());
  appendHex(request, "%04x", address);
  for (std::uint8_t byte : data) appendHex(request, "%02x", byte);
  if (settings().debug(DebugProtocolDetail)) {
    std::printf("Sending:\n");
    printText(request);
  }

  Bytes reply;
  if (exchangeText(request, reply, false) != kExchangeOk) {
    std::printf("Programming terminated due to error\n");
    return kStatusExchangeFailed;
  }
  if (settings().debug(DebugProtocolDetail)) {
    std::printf("That's\n");
    printText(reply);
  }
  // The module echoes the request and adds one status byte inside the frame.
  if (reply.size() != request.size() + 4) {
    std::printf("Error!  Wrong message returned!\n");
    exitWith(1);
  }
  return static_cast<char>(reply[reply.size() - 2]);
}

int programPages(int module, std::uint32_t address, const Bytes& data, bool codeCommands,
                 char typeLetter) {
  const std::size_t pageSize = static_cast<std::size_t>(pageSizeOfType(typeLetter));
  if (address % pageSize != 0) {
    std::printf("Bug! Programming must start at page boundary\n");
    exitWith(2);
  }
  for (std::size_t offset = 0; offset < data.size(); offset += pageSize) {
    const std::size_t end = std::min(offset + pageSize, data.size());
    const Bytes page(data.begin() + static_cast<std::ptrdiff_t>(offset),
                     data.begin() + static_cast<std::ptrdiff_t>(end));
    const char status = programBlock(module, address + static_cast<std::uint32_t>(offset),
                                     page, BlockAction::Program, codeCommands, typeLetter);
    if (settings().debug(DebugPages)) std::printf("%c", status);
    if (status != kStatusDone) {
      std::printf("\nFailure downloading program\n");
      exitWith(2);
    }
    if (settings().debug(DebugPages)) std::printf("\n");
  }
  return 0;
}

}  // namespace plenum
