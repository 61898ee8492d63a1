#pragma once
// The MIDI devices offered in the windows: plenum.exe's own lists (its Windows port over the
// multimedia interface), so that a number chosen here is the device plenum.exe opens for it.

#include <string>
#include <vector>

namespace tirasse::win32 {

class DeviceLists {
 public:
  virtual ~DeviceLists() = default;
  virtual std::vector<std::string> inputNames() const = 0;
  virtual std::vector<std::string> outputNames() const = 0;
  // True when the lists stand for plenum's simulated module loop, which has no MIDI
  // devices to play a file to or record one from.
  virtual bool simulatedLoop() const { return false; }
};

// With PLENUM_LOOP set plenum talks to its simulated loop whatever the device numbers, so an
// empty list is then shown as one simulated device instead of ending the program.
class SystemDeviceLists : public DeviceLists {
 public:
  std::vector<std::string> inputNames() const override;
  std::vector<std::string> outputNames() const override;
  bool simulatedLoop() const override;
};

// The list as the windows show it: `names`, or the simulated device when it is empty and
// `loop` (PLENUM_LOOP's value) is set.
std::vector<std::string> withSimulatedLoop(std::vector<std::string> names, const std::string& loop);

}  // namespace tirasse::win32
