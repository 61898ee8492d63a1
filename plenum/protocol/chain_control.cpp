#include "plenum/protocol/chain_control.h"

#include <cstdint>

#include "plenum/midi/current_port.h"
#include "plenum/protocol/chain_inquiry.h"
#include "plenum/protocol/sysex_exchange.h"

namespace plenum {

void broadcastCommand(int module, std::string_view text) {
  currentPort();
  if (module >= 0) {
    sendCommand(module, text);
    discardCommandReplies(1);
    return;
  }
  const int count = countModules(false);
  for (int n = 0; n < count; ++n) sendCommand(n, text);
  discardCommandReplies(count);
}

void sendSystemReset() {
  const std::uint8_t systemReset = 0xFF;
  currentPort().sendShort(&systemReset, 1);
}

}  // namespace plenum
