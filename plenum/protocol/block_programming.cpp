#include "plenum/protocol/block_programming.h"

#include <algorithm>
#include <cstdio>

#include "plenum/protocol/registration_blocks.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/memory_map.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {

// A letter that names no module type (a version reply without one) pages like type B.
int pageSizeOfType(char typeLetter) {
  const ModuleMemoryMap* map = memoryMapOf(typeLetter);
  return (map != nullptr ? map : memoryMapOf('B'))->pageSize;
}

void appendHex(Bytes& text, const char* format, unsigned value) {
  char digits[8];
  const int n = std::snprintf(digits, sizeof digits, format, value);
  text.insert(text.end(), digits, digits + n);
}

void printText(const Bytes& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::printf("\n");
}

void traceBlock(const BlockRequest& block, const BlockRules& rules) {
  if (rules.trace == BlockTrace::Pages && settings().debug(DebugPages)) {
    std::printf("%s 0x%04x\n", block.action == BlockAction::Verify ? "Verifying" : "Programming",
                block.address);
  }
}

void traceRequest(const BlockRules& rules, const Bytes& request) {
  if (!settings().debug(DebugProtocolDetail)) return;
  std::fputs(rules.trace == BlockTrace::Pages ? "Sending:\n" : "Sending: ", stdout);
  printText(request);
}

// The registration trace shows what came back even after an input error (nothing, then).
void traceReply(const BlockRules& rules, bool exchanged, const Bytes& reply) {
  if (!settings().debug(DebugProtocolDetail)) return;
  if (rules.trace == BlockTrace::Pages) {
    if (!exchanged) return;
    std::printf("That's\n");
    printText(reply);
  } else {
    std::printf("Got:     %s\n", framePayload(reply).c_str());
  }
}

}  // namespace

std::string hexDigitsOf(const Bytes& data) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * data.size());
  for (std::uint8_t byte : data) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

char blockCommandLetter(BlockAction action, bool codeCommands, char typeLetter) {
  const bool verify = action == BlockAction::Verify;
  if (!codeCommands) return verify ? 'Z' : 'Y';
  if (typeLetter == 'B') return verify ? 'c' : 'p';
  return verify ? 'C' : 'P';
}

char writeBlock(const BlockRequest& block, const BlockRules& rules) {
  if (block.address + (block.digits.size() + 1) / 2 > kModuleMemorySize)
    throw ProgramBug{"block_programming:address"};
  traceBlock(block, rules);
  Bytes request{moduleAddressByte(block.module), static_cast<std::uint8_t>(block.letter)};
  request.reserve(6 + block.digits.size());
  appendHex(request, "%04x", block.address);
  request.insert(request.end(), block.digits.begin(), block.digits.end());
  traceRequest(rules, request);

  Bytes reply;
  const bool exchanged = exchangeText(request, reply, false) == kExchangeOk;
  traceReply(rules, exchanged, reply);
  if (!exchanged) {
    if (rules.check == ReplyCheck::WholeEcho) std::printf("Programming terminated due to error\n");
    return kStatusExchangeFailed;
  }
  if (rules.check == ReplyCheck::WholeEcho) {
    // The module echoes the request and adds one status byte inside the frame.
    if (reply.size() != request.size() + 4) {
      std::printf("Error!  Wrong message returned!\n");
      exitWith(1);
    }
  } else if (reply.size() < 2) {
    return kStatusMissing;
  }
  return static_cast<char>(reply[reply.size() - 2]);
}

char programBlock(int module, std::uint32_t address, const Bytes& data, BlockAction action,
                  bool codeCommands, char typeLetter) {
  const std::string digits = hexDigitsOf(data);
  return writeBlock({module, action, blockCommandLetter(action, codeCommands, typeLetter), address, digits},
                    kProgramBlockRules);
}

namespace {

// Cuts data into pages from a page-aligned address and hands each to `page` with its
// address.
template <class PageAction>
void forEachPage(std::uint32_t address, const Bytes& data, char typeLetter, PageAction&& page) {
  const std::size_t pageSize = static_cast<std::size_t>(pageSizeOfType(typeLetter));
  if (address % pageSize != 0) {
    std::printf("Bug! Programming must start at page boundary\n");
    exitWith(2);
  }
  for (std::size_t offset = 0; offset < data.size(); offset += pageSize) {
    const std::size_t end = std::min(offset + pageSize, data.size());
    const Bytes bytes(data.begin() + static_cast<std::ptrdiff_t>(offset),
                      data.begin() + static_cast<std::ptrdiff_t>(end));
    page(address + static_cast<std::uint32_t>(offset), bytes);
  }
}

}  // namespace

int programPages(int module, std::uint32_t address, const Bytes& data, bool codeCommands,
                 char typeLetter) {
  forEachPage(address, data, typeLetter, [&](std::uint32_t at, const Bytes& page) {
    const char status = programBlock(module, at, page, BlockAction::Program, codeCommands, typeLetter);
    if (settings().debug(DebugPages)) std::printf("%c", status);
    if (status != kStatusDone) {
      std::printf("\nFailure downloading program\n");
      exitWith(2);
    }
    if (settings().debug(DebugPages)) std::printf("\n");
  });
  return 0;
}

std::vector<PageDifference> verifyPages(int module, std::uint32_t address, const Bytes& data,
                                        bool codeCommands, char typeLetter) {
  std::vector<PageDifference> differences;
  forEachPage(address, data, typeLetter, [&](std::uint32_t at, const Bytes& page) {
    const char status = programBlock(module, at, page, BlockAction::Verify, codeCommands, typeLetter);
    if (status != kStatusDone) {
      differences.push_back({at, static_cast<std::uint32_t>(page.size()), status});
    }
  });
  return differences;
}

}  // namespace plenum
