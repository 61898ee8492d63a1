// Text form of a packed short message, for the monitor and for reporting unexpected input.

#include <cstdio>

#include "plenum/midi/midi.h"

namespace plenum {

namespace {

const char* systemMessageName(unsigned status) {
  switch (status) {
    case 0xF8: return "Timing Clock";
    case 0xF9:
    case 0xFD: return "Undefined";
    case 0xFA: return "Start";
    case 0xFB: return "Continue";
    case 0xFC: return "Stop";
    case 0xFE: return "Active Sensing";
    case 0xFF: return "System Reset";
    default: return "System common message";  // 0xF0 to 0xF7
  }
}

}  // namespace

const char* Midi::describeShort(std::uint32_t word) {
  static char text[96];
  const unsigned long w = word;
  const unsigned status = word & 0xFF;
  const int channel = static_cast<int>(status & 15) + 1;
  const int d1 = (word >> 8) & 0xFF;
  const int d2 = (word >> 16) & 0xFF;
  switch (status >> 4) {
    case 0x8:
      std::snprintf(text, sizeof text, "%06lx C %2d N %3d Off V %3d", w, channel, d1, d2);
      break;
    case 0x9:
      std::snprintf(text, sizeof text, "%06lx C %2d N %3d On  V %3d%s", w, channel, d1, d2,
                    d2 == 0 ? " (Off)" : "");
      break;
    case 0xA:
      std::snprintf(text, sizeof text, "%06lx C %2d N %3d Press %3d", w, channel, d1, d2);
      break;
    case 0xB:
      std::snprintf(text, sizeof text, "%06lx C %2d Control %3d Value %3d", w, channel, d1, d2);
      break;
    case 0xC:
      std::snprintf(text, sizeof text, "  %04lx C %2d Program Change %3d", w, channel, d1);
      break;
    case 0xD:
      std::snprintf(text, sizeof text, "  %04lx C %2d Pressure %3d", w, channel, d1);
      break;
    case 0xE:
      std::snprintf(text, sizeof text, "%06lx C %2d Pitch wheel %3d", w, channel, d2 * 128 + d1);
      break;
    case 0xF:
      std::snprintf(text, sizeof text, "    %02lx %s", w, systemMessageName(status));
      break;
    default:
      std::snprintf(text, sizeof text, "Unexpected value for system byte (%02lx)", w);
      break;
  }
  return text;
}

}  // namespace plenum
