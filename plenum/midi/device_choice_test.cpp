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

}  // namespace
}  // namespace plenum
