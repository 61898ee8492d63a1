#include "tirasse/core/device_choice.h"

#include <gtest/gtest.h>

namespace tirasse {
namespace {

TEST(DeviceChoice, Rules) {
  const QStringList two{"Port A", "Port B"};
  struct Case {
    const char* what;
    QStringList names;
    RememberedDevice remembered;
    DeviceOutcome outcome;
    int number;
  } cases[] = {
      {"no devices", {}, {1, "Port B"}, DeviceOutcome::NoDevices, -1},
      {"one device beats a saved number", {"Only"}, {3, "Other"}, DeviceOutcome::Chosen, 0},
      {"one device, nothing saved", {"Only"}, {-1, ""}, DeviceOutcome::Chosen, 0},
      {"saved device still there", two, {1, "Port B"}, DeviceOutcome::Chosen, 1},
      {"saved name now elsewhere", two, {1, "Port A"}, DeviceOutcome::AskUser, -1},
      {"saved number past the list", two, {2, "Port C"}, DeviceOutcome::AskUser, -1},
      {"nothing saved", two, {-1, ""}, DeviceOutcome::AskUser, -1},
      {"negative number", two, {-7, "Port A"}, DeviceOutcome::AskUser, -1},
  };
  for (const Case& c : cases) {
    const DeviceChoice choice = chooseDevice(c.names, c.remembered);
    EXPECT_EQ(choice.outcome, c.outcome) << c.what;
    EXPECT_EQ(choice.device.number, c.number) << c.what;
    if (choice.outcome == DeviceOutcome::Chosen) {
      EXPECT_EQ(choice.device.name, c.names[c.number]) << c.what;
    }
  }
}

}  // namespace
}  // namespace tirasse
