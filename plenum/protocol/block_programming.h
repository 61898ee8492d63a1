#pragma once
// Writing and comparing module memory in blocks: one request carries an address and up to
// a page of data as hex text, and the module answers with the request echoed and one
// status character ('G' = done). Module code and programs, executives and registrations
// all go through the one writer here; what differs between them is spelt out in
// BlockRules.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plenum/protocol/sysex_exchange.h"

namespace plenum {

inline constexpr char kStatusDone = 'G';
// What the writer returns when the exchange itself failed (an input error).
inline constexpr char kStatusExchangeFailed = 'X';
// What it returns, under ReplyCheck::StatusOnly, for a reply too short to hold a status.
inline constexpr char kStatusMissing = '\0';
// A type letter for programBlock when the letter plays no part (codeCommands false).
inline constexpr char kNoTypeLetter = 0;

enum class BlockAction { Program, Verify };

// How a reply is judged.
enum class ReplyCheck {
  // The reply must be the request echoed with one status byte. Any other reply means the
  // loop is out of step, which ends the run (status 1); an input error is reported as
  // "Programming terminated due to error".
  WholeEcho,
  // Only the status byte before the final 0xF7 counts; failures are the caller's to report.
  StatusOnly,
};

// How the debug trace shows the traffic.
enum class BlockTrace {
  // Debug bit 0x4: "Programming 0x..." or "Verifying 0x..."; debug bit 0x80: the request
  // and the whole reply frame, each under a heading line.
  Pages,
  // Debug bit 0x80: "Sending: ..." and "Got:     ..." with the reply's payload.
  Registration,
};

struct BlockRules {
  ReplyCheck check;
  BlockTrace trace;
};

// Code, executives and module programs.
inline constexpr BlockRules kProgramBlockRules{ReplyCheck::WholeEcho, BlockTrace::Pages};
// Registration stores.
inline constexpr BlockRules kRegistrationBlockRules{ReplyCheck::StatusOnly, BlockTrace::Registration};

struct BlockRequest {
  int module = 0;
  BlockAction action = BlockAction::Program;
  char letter = 'Y';
  std::uint32_t address = 0;
  // Two per data byte, sent as they stand: bytes go through hexDigitsOf (lower case); a
  // registration's digits are the file's own, in whichever case it holds them.
  std::string_view digits;
};

// Two lower-case hex digits per byte.
std::string hexDigitsOf(const Bytes& data);

// The command letter: 'p'/'c' for code on type B, 'P'/'C' for code on other types,
// 'Y'/'Z' for everything else (module programs, registration, markers).
char blockCommandLetter(BlockAction action, bool codeCommands, char typeLetter);

// Sends one block request and returns the status character of its reply, or
// kStatusExchangeFailed after an input error (kStatusMissing: see ReplyCheck). Addresses
// are 16 bits; a block that would reach past 0xFFFF is a fault of the caller (ProgramBug).
char writeBlock(const BlockRequest& request, const BlockRules& rules);

// One program or verify request for `data` at `address` under kProgramBlockRules.
char programBlock(int module, std::uint32_t address, const Bytes& data, BlockAction action,
                  bool codeCommands, char typeLetter);

// Programs `data` page by page from `address` (64-byte pages on type A, 128 on others).
// Returns 0; a misaligned start or a page the module does not acknowledge ends the run
// (status 2).
int programPages(int module, std::uint32_t address, const Bytes& data, bool codeCommands,
                 char typeLetter);

// A page that did not verify: where it is and the module's answer ('N' when the bytes
// differ; anything else when the module could not compare them).
struct PageDifference {
  std::uint32_t address;
  std::uint32_t length;
  char status;
};

// Compares `data` page by page from `address`, cut into the same pages as programPages
// writes, and writes nothing. Returns the pages that did not answer 'G', in order. A
// misaligned start ends the run (status 2), as it does for programPages.
std::vector<PageDifference> verifyPages(int module, std::uint32_t address, const Bytes& data,
                                        bool codeCommands, char typeLetter);

}  // namespace plenum
