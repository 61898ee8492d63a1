#include "plenum/midi/device_choice.h"

#include <gtest/gtest.h>

#include "plenum/runtime/exits.h"

namespace plenum {
namespace {

const std::vector<std::string> kOne = {"USB MIDI 1"};
const std::vector<std::string> kTwo = {"USB MIDI 1", "Loop box"};

TEST(DeviceChoice, OneDeviceAndNoRequestMeansDeviceZeroWithoutListing) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(chooseDevice(MidiDirection::Input, -1, kOne), 0);
  EXPECT_EQ(chooseDevice(MidiDirection::Output, -1, kOne), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(DeviceChoice, ARequestIsUsedUnchangedEvenOutOfRange) {
  EXPECT_EQ(chooseDevice(MidiDirection::Input, 1, kTwo), 1);
  EXPECT_EQ(chooseDevice(MidiDirection::Output, 5, kOne), 5);
}

TEST(DeviceChoice, SeveralDevicesAndNoRequestListThemAndEndWithStatusOne) {
  testing::internal::CaptureStdout();
  try {
    chooseDevice(MidiDirection::Input, -1, kTwo);
    ADD_FAILURE() << "no exit";
  } catch (const ExitRequest& exit) {
    EXPECT_EQ(exit.status, 1);
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "There are 2 MIDI input devices:\nInput device number 0 is USB MIDI 1\n"
            "Input device number 1 is Loop box\nPlease select one of them with the -i option\n");
  testing::internal::CaptureStdout();
  EXPECT_THROW(chooseDevice(MidiDirection::Output, -1, kTwo), ExitRequest);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "There are 2 MIDI output devices:\nOutput device number 0 is USB MIDI 1\n"
            "Output device number 1 is Loop box\nPlease select one of them with the -o option\n");
}

TEST(DeviceChoice, NoDeviceEndsWithStatusOne) {
  testing::internal::CaptureStdout();
  EXPECT_THROW(requireSomeDevice(MidiDirection::Input, {}), ExitRequest);
  EXPECT_THROW(requireSomeDevice(MidiDirection::Output, {}), ExitRequest);
  EXPECT_NO_THROW(requireSomeDevice(MidiDirection::Output, kOne));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Oh my, I can't find any MIDI input devices!\nOh my, I can't find any MIDI output devices!\n");
}

TEST(RememberedDeviceChoice, Rules) {
  const std::vector<std::string> two{"Port A", "Port B"};
  struct Case {
    const char* what;
    std::vector<std::string> names;
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
    const RememberedChoice choice = chooseRememberedDevice(c.names, c.remembered);
    EXPECT_EQ(choice.outcome, c.outcome) << c.what;
    EXPECT_EQ(choice.device.number, c.number) << c.what;
    if (choice.outcome == DeviceOutcome::Chosen) {
      EXPECT_EQ(choice.device.name, c.names[c.number]) << c.what;
    }
  }
}

}  // namespace
}  // namespace plenum
