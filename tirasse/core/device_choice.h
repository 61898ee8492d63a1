#pragma once
// Which MIDI device to use: the remembered one while it still exists under the same name, the
// only one when there is just one, otherwise the user chooses.

#include <QString>
#include <QStringList>

namespace tirasse {

struct RememberedDevice {
  int number = -1;  // -1: not chosen
  QString name;
};

enum class DeviceOutcome {
  NoDevices,  // nothing to choose from: the program cannot work
  Chosen,     // use `device`
  AskUser,    // show the device list, first line selected
};

struct DeviceChoice {
  DeviceOutcome outcome = DeviceOutcome::NoDevices;
  RememberedDevice device;
};

DeviceChoice chooseDevice(const QStringList& deviceNames, const RememberedDevice& remembered);

// The system's MIDI device names, numbered as plenum's -i and -o count them.
class MidiDeviceLists {
 public:
  virtual ~MidiDeviceLists() = default;
  virtual QStringList inputNames() const = 0;
  virtual QStringList outputNames() const = 0;
};

}  // namespace tirasse
