#pragma once
// The -D loop test: random data protected by a CRC goes round the loop of modules and
// every reply is compared with what was sent, to find bad cables or a module that
// corrupts data in transit.

#include "plenum/protocol/sysex_exchange.h"

namespace plenum {

// CRC-16 (polynomial 0x8005, initial 0, no reflection, no final XOR) over the 7-bit
// stream of `bytes`: bits 6-0 of every byte but the last, then bits 6-2 of the last. The
// CRC's 16 bits continue the same stream: they replace the last byte's two low bits and
// fill two appended bytes, so the CRC over the whole stream is 0.
void appendLoopCrc(Bytes& bytes);

// The CRC of the 7-bit stream: bits 6-0 of every byte but the last, bits 6 down to
// lastLowBit of the last one.
std::uint16_t loopCrc(const Bytes& bytes, int lastLowBit);

// Sends `count` test messages round the loop and reports every difference; a negative
// count sends them without end.
void loopDiagnostic(int count);

}  // namespace plenum
