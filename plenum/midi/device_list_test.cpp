#include "plenum/midi/device_list.h"

#include <gtest/gtest.h>

#include <string>

namespace plenum {
namespace {

std::string printed(const MidiDeviceLists& lists) {
  testing::internal::CaptureStdout();
  printMidiDevices(lists);
  return testing::internal::GetCapturedStdout();
}

TEST(DeviceList, ListsAreNumberedAsTheDeviceChoiceNumbersThemWithTheRuleForMinusIAndMinusO) {
  struct Case {
    MidiDeviceLists lists;
    std::string shown;
  };
  const Case cases[] = {
      {{"jack", {"loop:out"}, {"loop:in"}},
       "MIDI system: jack\n"
       "MIDI input devices, for -i:\nInput device number 0 is loop:out\n"
       "MIDI output devices, for -o:\nOutput device number 0 is loop:in\n"
       "With one device each way plenum uses them without -i and -o.\n"},
      {{"alsa", {"Midi Through", "USB MIDI"}, {"Midi Through", "USB MIDI"}},
       "MIDI system: alsa\n"
       "MIDI input devices, for -i:\nInput device number 0 is Midi Through\n"
       "Input device number 1 is USB MIDI\n"
       "MIDI output devices, for -o:\nOutput device number 0 is Midi Through\n"
       "Output device number 1 is USB MIDI\n"
       "Give -i and -o with these numbers before the first option that uses MIDI.\n"},
      {{"alsa", {"a", "b"}, {"c"}},
       "MIDI system: alsa\n"
       "MIDI input devices, for -i:\nInput device number 0 is a\nInput device number 1 is b\n"
       "MIDI output devices, for -o:\nOutput device number 0 is c\n"
       "Give -i with one of these numbers; the only output device needs no -o.\n"},
      {{"alsa", {"c"}, {"a", "b"}},
       "MIDI system: alsa\n"
       "MIDI input devices, for -i:\nInput device number 0 is c\n"
       "MIDI output devices, for -o:\nOutput device number 0 is a\nOutput device number 1 is b\n"
       "Give -o with one of these numbers; the only input device needs no -i.\n"},
      // Without devices on one side nothing can be opened, so no rule is given.
      {{"jack", {}, {"x"}},
       "MIDI system: jack\nMIDI input devices, for -i: none\n"
       "MIDI output devices, for -o:\nOutput device number 0 is x\n"},
      {{"", {}, {}},
       "MIDI system: none can be reached\nMIDI input devices, for -i: none\n"
       "MIDI output devices, for -o: none\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(printed(c.lists), c.shown) << c.shown;
}

}  // namespace
}  // namespace plenum
