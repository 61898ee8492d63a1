#pragma once
// What the configuration calls a MIDI message: for a monitor that names what it sees.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "plenum/consolemap/console_map.h"

namespace plenum {

class MidiNames {
 public:
  // The names of everything the map's statements send (keys, stops, pistons,
  // controllers, relay outputs) and the items declared outside the chain.
  explicit MidiNames(const ConsoleMap& map);

  // The names of one channel message, from its status byte and data bytes: "Swell key 25
  // (C4)", "GreatPrincipal8 on", "SwellShoe 64". Empty when the configuration names no
  // such item, and for messages that are not notes, controllers or program changes.
  std::vector<std::string> namesOf(std::uint8_t status, std::uint8_t data1,
                                   std::uint8_t data2 = 0) const;

 private:
  struct Name {
    std::string label;
    bool onOff;  // a switch: "on" or "off" follows its name
  };
  std::multimap<MidiItem, Name> names_;
};

}  // namespace plenum
