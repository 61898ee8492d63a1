#pragma once
// The request/reply exchange with the modules over SysEx. Every message is framed as
// 0xF0 0x47 <printable payload> 0xF7; an addressed request starts with 'N' + module
// number, and the loop hands it to that module. The modules sit in a loop, so the first
// SysEx that comes back after a request is taken as its reply.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace plenum {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kSysexStart = 0xF0;
inline constexpr std::uint8_t kNorvoId = 0x47;
inline constexpr std::uint8_t kSysexEnd = 0xF7;

// The longest request payload: with its three framing bytes it fills a receive buffer.
inline constexpr std::size_t kMaxPayload = 347;

// A reply that has not arrived after this many whole milliseconds is a timeout.
inline constexpr int kReplyTimeoutMs = 999;

inline constexpr const char* kTimeoutText =
    "Timeout waiting for sysex response\nPlease check your MIDI connections";

// exchange() results.
inline constexpr int kExchangeOk = 0;
inline constexpr int kExchangeInputError = 2;

// The address byte of module n: 'N' + n. Module numbers that would not give a 7-bit data
// byte (anything outside 0 to 49) are refused with a text exception, since a byte of 0x80
// or more inside a SysEx would break the frame on the wire.
std::uint8_t moduleAddressByte(int module);

// Frames and sends one request. A payload over kMaxPayload ends the run (status 1).
void frameAndSend(const std::uint8_t* payload, std::size_t length);

// Sends one request and waits for the SysEx that comes back. Returns kExchangeOk, or
// kExchangeInputError when the port signalled an input error while waiting (reported
// unless quiet). `reply` points into the one process-wide reply buffer and stays valid
// until the next exchange. No reply within the timeout throws TextException(kTimeoutText).
int exchange(const std::uint8_t* payload, std::size_t length, const std::uint8_t*& reply,
             std::size_t& replyLength, bool quiet);

// exchange() on byte strings: on kExchangeOk `reply` becomes the whole received frame
// (0xF0 to 0xF7); otherwise it is left as it was.
int exchangeText(const Bytes& request, Bytes& reply, bool quiet);

// Sends 'N' + module (0 when negative) and `text` as one frame; reads nothing back.
void sendCommand(int module, std::string_view text);

// Takes and throws away the replies to `count` commands sent with sendCommand, waiting for
// each at most as long as an exchange would; a reply that does not come is no error.
// Without this the reply to a command could arrive just after the next request and be
// taken for that request's reply.
void discardCommandReplies(int count);

// Sends 'N' + module and `text` and waits for any reply, whose content is ignored.
int commandAndWait(int module, std::string_view text, bool quiet);

// exchangeText of 'N' + module and `text`, not quiet.
int addressedExchange(int module, std::string_view text, Bytes& reply);

// After the executive was rewritten: asks the module for a presence reply ('N' 'N') up
// to 20 times, each try waiting as long as an exchange. 0 when it answered, 1 when not.
int waitForReprogramming(int module);

// The value of `count` hex digits (either case) at `position`, or -1 when any of them is
// not a hex digit or lies beyond the end of `text`.
int parseHex(std::span<const std::uint8_t> text, std::size_t position, std::size_t count);
int parseHex(std::string_view text, std::size_t position, std::size_t count);

// The clock that measures reply timeouts, in microseconds; monotonic by default. Tests
// that script a port substitute their own so that no test depends on real time. nullptr
// restores the default.
using MicrosecondClock = std::int64_t (*)();
void setExchangeClock(MicrosecondClock clock);

}  // namespace plenum
