#pragma once
// Writing and comparing module memory in blocks: one request carries an address and up to
// a page of data as hex text, and the module answers with the request echoed and one
// status character ('G' = done).

#include <cstdint>

#include "plenum/protocol/sysex_exchange.h"

namespace plenum {

inline constexpr char kStatusDone = 'G';
// What programBlock returns when the exchange itself failed (an input error).
inline constexpr char kStatusExchangeFailed = 'X';
// A type letter for programBlock when the letter plays no part (codeCommands false).
inline constexpr char kNoTypeLetter = 0;

enum class BlockAction { Program, Verify };

// The command letter: 'p'/'c' for code on type B, 'P'/'C' for code on other types,
// 'Y'/'Z' for everything else (module programs, registration, markers).
char blockCommandLetter(BlockAction action, bool codeCommands, char typeLetter);

// One program or verify request for `data` at `address`; returns the module's status
// character, or kStatusExchangeFailed after an input error. A reply whose length does not
// match the request ends the run (status 1). Addresses are 16 bits; a block that would
// reach past 0xFFFF is a fault of the caller (ProgramBug).
char programBlock(int module, std::uint32_t address, const Bytes& data, BlockAction action,
                  bool codeCommands, char typeLetter);

// Programs `data` page by page from `address` (64-byte pages on type A, 128 on others).
// Returns 0; a misaligned start or a page the module does not acknowledge ends the run
// (status 2).
int programPages(int module, std::uint32_t address, const Bytes& data, bool codeCommands,
                 char typeLetter);

}  // namespace plenum
