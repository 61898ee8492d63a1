#include "tirasse/core/device_choice.h"

namespace tirasse {

DeviceChoice chooseDevice(const QStringList& deviceNames, const RememberedDevice& remembered) {
  if (deviceNames.isEmpty()) return {DeviceOutcome::NoDevices, {}};
  RememberedDevice device = remembered;
  // Device numbers shift when hardware is added or removed: a number is trusted only while
  // it still names the device it named when it was chosen.
  if (device.number < 0 || device.number >= deviceNames.size() ||
      deviceNames[device.number] != device.name) {
    device = {};
  }
  if (deviceNames.size() == 1) return {DeviceOutcome::Chosen, {0, deviceNames[0]}};
  if (device.number < 0) return {DeviceOutcome::AskUser, {}};
  return {DeviceOutcome::Chosen, device};
}

}  // namespace tirasse
