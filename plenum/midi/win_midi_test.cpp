#include "plenum/midi/win_midi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "plenum/midi/device_list.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/settings.h"

namespace plenum {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Plays the multimedia MIDI driver: devices from lists, call results from a table, buffer
// flags kept as the system keeps them, and the callbacks made when the test says so.
class ScriptedDriver final : public WinMidiApi {
 public:
  std::vector<std::string> inputs{"USB MIDI"};
  std::vector<std::string> outputs{"USB MIDI"};
  std::map<std::string, MMRESULT> failures;  // call name -> result it gives
  std::vector<std::string> calls;
  int openedInput = -1;
  int openedOutput = -1;
  bool inOpen_ = false;
  bool outOpen_ = false;
  std::deque<MIDIHDR*> inBuffers;   // added, waiting to be filled
  std::vector<MIDIHDR*> outSending;  // long messages not yet finished
  std::vector<Bytes> sentLong;
  std::vector<DWORD> sentShort;
  DWORD_PTR inInstance = 0;
  DWORD_PTR outInstance = 0;

  static HMIDIIN inHandle() { return reinterpret_cast<HMIDIIN>(0x1001); }
  static HMIDIOUT outHandle() { return reinterpret_cast<HMIDIOUT>(0x2002); }

  // Fills the next input buffer and calls back; false when the driver has none.
  bool receiveSysex(const Bytes& bytes, UINT message = MIM_LONGDATA) {
    if (inBuffers.empty()) return false;
    MIDIHDR* header = inBuffers.front();
    inBuffers.pop_front();
    std::memcpy(header->lpData, bytes.data(), bytes.size());
    header->dwBytesRecorded = static_cast<DWORD>(bytes.size());
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    WinMidi::onInput(inHandle(), message, inInstance, reinterpret_cast<DWORD_PTR>(header), 0);
    return true;
  }
  void receiveShort(DWORD word) { WinMidi::onInput(inHandle(), MIM_DATA, inInstance, word, 1234); }
  void inputSays(UINT message) { WinMidi::onInput(inHandle(), message, inInstance, 0, 0); }

  // The driver has sent every long message it holds.
  void finishSending() {
    for (MIDIHDR* header : outSending) {
      header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
      WinMidi::onOutput(outHandle(), MOM_DONE, outInstance, reinterpret_cast<DWORD_PTR>(header), 0);
    }
    outSending.clear();
  }

  UINT inGetNumDevs() override { return static_cast<UINT>(inputs.size()); }
  MMRESULT inGetDevCaps(UINT_PTR device, MIDIINCAPSA* caps) override {
    std::snprintf(caps->szPname, sizeof caps->szPname, "%s", inputs.at(device).c_str());
    return 0;
  }
  MMRESULT inOpen(HMIDIIN* handle, UINT device, DWORD_PTR, DWORD_PTR instance) override {
    if (MMRESULT r = result("inOpen")) return r;
    openedInput = static_cast<int>(device);
    inOpen_ = true;
    inInstance = instance;
    *handle = inHandle();
    return 0;
  }
  MMRESULT inPrepareHeader(HMIDIIN, MIDIHDR* header) override {
    if (MMRESULT r = result("inPrepareHeader")) return r;
    header->dwFlags |= MHDR_PREPARED;
    return 0;
  }
  MMRESULT inUnprepareHeader(HMIDIIN, MIDIHDR* header) override {
    if (MMRESULT r = result("inUnprepareHeader")) return r;
    if ((header->dwFlags & MHDR_INQUEUE) != 0) return MIDIERR_STILLPLAYING;
    header->dwFlags &= ~MHDR_PREPARED;
    return 0;
  }
  MMRESULT inAddBuffer(HMIDIIN, MIDIHDR* header) override {
    if (MMRESULT r = result("inAddBuffer")) return r;
    if ((header->dwFlags & MHDR_PREPARED) == 0) return MIDIERR_UNPREPARED;
    header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
    inBuffers.push_back(header);
    return 0;
  }
  MMRESULT inStart(HMIDIIN) override { return result("inStart"); }
  MMRESULT inStop(HMIDIIN) override { return result("inStop"); }
  MMRESULT inReset(HMIDIIN) override {
    if (MMRESULT r = result("inReset")) return r;
    while (!inBuffers.empty()) receiveSysex({});
    return 0;
  }
  MMRESULT inClose(HMIDIIN) override {
    if (MMRESULT r = result("inClose")) return r;
    inOpen_ = false;
    return 0;
  }
  MMRESULT inGetErrorText(MMRESULT code, char* text, UINT size) override {
    std::snprintf(text, size, "input driver text %u", code);
    return 0;
  }

  UINT outGetNumDevs() override { return static_cast<UINT>(outputs.size()); }
  MMRESULT outGetDevCaps(UINT_PTR device, MIDIOUTCAPSA* caps) override {
    std::snprintf(caps->szPname, sizeof caps->szPname, "%s", outputs.at(device).c_str());
    return 0;
  }
  MMRESULT outOpen(HMIDIOUT* handle, UINT device, DWORD_PTR, DWORD_PTR instance) override {
    if (MMRESULT r = result("outOpen")) return r;
    openedOutput = static_cast<int>(device);
    outOpen_ = true;
    outInstance = instance;
    *handle = outHandle();
    return 0;
  }
  MMRESULT outPrepareHeader(HMIDIOUT, MIDIHDR* header) override {
    if (MMRESULT r = result("outPrepareHeader")) return r;
    header->dwFlags |= MHDR_PREPARED;
    return 0;
  }
  MMRESULT outUnprepareHeader(HMIDIOUT, MIDIHDR* header) override {
    if (MMRESULT r = result("outUnprepareHeader")) return r;
    if ((header->dwFlags & MHDR_INQUEUE) != 0) return MIDIERR_STILLPLAYING;
    header->dwFlags &= ~MHDR_PREPARED;
    return 0;
  }
  MMRESULT outLongMsg(HMIDIOUT, MIDIHDR* header) override {
    if (MMRESULT r = result("outLongMsg")) return r;
    if ((header->dwFlags & MHDR_PREPARED) == 0) return MIDIERR_UNPREPARED;
    header->dwFlags |= MHDR_INQUEUE;
    const auto* data = reinterpret_cast<const std::uint8_t*>(header->lpData);
    sentLong.emplace_back(data, data + header->dwBufferLength);
    outSending.push_back(header);
    return 0;
  }
  MMRESULT outShortMsg(HMIDIOUT, DWORD message) override {
    if (MMRESULT r = result("outShortMsg")) return r;
    sentShort.push_back(message);
    return 0;
  }
  MMRESULT outReset(HMIDIOUT) override {
    if (MMRESULT r = result("outReset")) return r;
    finishSending();
    return 0;
  }
  MMRESULT outClose(HMIDIOUT) override {
    if (MMRESULT r = result("outClose")) return r;
    if (!outSending.empty()) return MIDIERR_STILLPLAYING;
    outOpen_ = false;
    return 0;
  }
  MMRESULT outGetErrorText(MMRESULT code, char* text, UINT size) override {
    std::snprintf(text, size, "output driver text %u", code);
    return 0;
  }

  int callCount(const std::string& name) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
  }

 private:
  MMRESULT result(const char* name) {
    calls.push_back(name);
    const auto failure = failures.find(name);
    return failure == failures.end() ? MMSYSERR_NOERROR : failure->second;
  }
};

// Opening that must end the run: its status and everything printed.
struct FailedOpening {
  int status = -1;
  std::string printed;
};

FailedOpening openExpectingExit(ScriptedDriver& driver, int input = -1, int output = -1) {
  FailedOpening failed;
  testing::internal::CaptureStdout();
  try {
    WinMidi port(input, output, driver);
    ADD_FAILURE() << "the port opened";
  } catch (const ExitRequest& exit) {
    failed.status = exit.status;
  }
  failed.printed = testing::internal::GetCapturedStdout();
  return failed;
}

TEST(WinMidiOpening, OneDeviceEachAndNoRequestOpensDeviceZeroSilentlyWithFourBuffersStarted) {
  ScriptedDriver driver;
  testing::internal::CaptureStdout();
  {
    WinMidi port(-1, -1, driver);
    EXPECT_EQ(driver.openedInput, 0);
    EXPECT_EQ(driver.openedOutput, 0);
    ASSERT_EQ(driver.inBuffers.size(), 4u);
    for (MIDIHDR* header : driver.inBuffers) {
      EXPECT_EQ(header->dwBufferLength, 350u);
      EXPECT_NE(header->lpData, nullptr);
    }
    EXPECT_EQ(driver.calls.back(), "inStart");  // buffers are there before input flows
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(WinMidiOpening, RequestedNumbersAreUsedEvenWithSeveralDevices) {
  ScriptedDriver driver;
  driver.inputs = {"A", "B", "C"};
  driver.outputs = {"A", "B"};
  WinMidi port(2, 1, driver);
  EXPECT_EQ(driver.openedInput, 2);
  EXPECT_EQ(driver.openedOutput, 1);
}

// plenum --devices on Windows: every number it shows opens the device of the name beside it.
TEST(WinMidiDevices, EachListedNumberOpensTheDeviceNamedBesideIt) {
  ScriptedDriver driver;
  driver.inputs = {"Loop out", "USB MIDI", "Synth"};
  driver.outputs = {"Synth", "Loop in"};
  testing::internal::CaptureStdout();
  printMidiDevices(winMidiDeviceLists(driver));
  const std::string shown = testing::internal::GetCapturedStdout();
  EXPECT_EQ(shown,
            "MIDI system: Windows multimedia MIDI\n"
            "MIDI input devices, for -i:\n"
            "Input device number 0 is Loop out\nInput device number 1 is USB MIDI\n"
            "Input device number 2 is Synth\n"
            "MIDI output devices, for -o:\n"
            "Output device number 0 is Synth\nOutput device number 1 is Loop in\n"
            "Give -i and -o with these numbers before the first option that uses MIDI.\n");
  std::istringstream lines(shown);
  int opened = 0;
  for (std::string line; std::getline(lines, line);) {
    int number = -1;
    char name[64] = "";
    if (std::sscanf(line.c_str(), "Input device number %d is %63[^\n]", &number, name) == 2) {
      WinMidi port(number, 0, driver);
      EXPECT_EQ(driver.inputs.at(driver.openedInput), name);
      ++opened;
    } else if (std::sscanf(line.c_str(), "Output device number %d is %63[^\n]", &number, name) == 2) {
      WinMidi port(0, number, driver);
      EXPECT_EQ(driver.outputs.at(driver.openedOutput), name);
      ++opened;
    }
  }
  EXPECT_EQ(opened, 5);
}

TEST(WinMidiOpening, ASideNotOpenedIsNeitherRequiredNorTouched) {
  struct Case {
    const char* what;
    std::vector<std::string> inputs, outputs;
    int input, output;
    std::vector<std::string> closing;
  } cases[] = {
      {"output only, no input device at all", {}, {"A", "B"}, WinMidi::kNotOpened, 1,
       {"outClose"}},
      {"input only, no output device at all", {"A"}, {}, 0, WinMidi::kNotOpened,
       {"inStop", "inReset", "inUnprepareHeader", "inUnprepareHeader", "inUnprepareHeader",
        "inUnprepareHeader", "inClose"}},
  };
  for (const Case& c : cases) {
    ScriptedDriver driver;
    driver.inputs = c.inputs;
    driver.outputs = c.outputs;
    testing::internal::CaptureStdout();
    {
      WinMidi port(c.input, c.output, driver);
      EXPECT_EQ(driver.inOpen_, c.input != WinMidi::kNotOpened) << c.what;
      EXPECT_EQ(driver.outOpen_, c.output != WinMidi::kNotOpened) << c.what;
      if (c.output != WinMidi::kNotOpened) {
        EXPECT_EQ(driver.openedOutput, c.output) << c.what;
      }
      EXPECT_EQ(driver.inBuffers.size(), c.input != WinMidi::kNotOpened ? 4u : 0u) << c.what;
      driver.calls.clear();
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.what;
    EXPECT_EQ(driver.calls, c.closing) << c.what;
    EXPECT_FALSE(driver.inOpen_ || driver.outOpen_) << c.what;
  }
}

TEST(WinMidiOpening, DeviceRulesEndTheRunAndLeaveNothingOpen) {
  struct Case {
    std::vector<std::string> inputs, outputs;
    std::string printed;
    bool inputWasOpened;
  };
  const Case cases[] = {
      {{}, {"Out"}, "Oh my, I can't find any MIDI input devices!\n", false},
      {{"In"}, {}, "Oh my, I can't find any MIDI output devices!\n", false},
      {{"In"}, {"Out"}, "", true},  // control: these devices open
      {{"USB MIDI", "Loop box"},
       {"Out 1", "Out 2"},
       "There are 2 MIDI input devices:\nInput device number 0 is USB MIDI\n"
       "Input device number 1 is Loop box\nPlease select one of them with the -i option\n",
       false},
      {{"In"},
       {"Out 1", "Out 2", "Out 3"},
       "There are 3 MIDI output devices:\nOutput device number 0 is Out 1\n"
       "Output device number 1 is Out 2\nOutput device number 2 is Out 3\n"
       "Please select one of them with the -o option\n",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printed);
    ScriptedDriver driver;
    driver.inputs = c.inputs;
    driver.outputs = c.outputs;
    if (c.printed.empty()) {
      WinMidi port(-1, -1, driver);
      continue;
    }
    const FailedOpening failed = openExpectingExit(driver);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.printed, c.printed);
    EXPECT_EQ(driver.callCount("outOpen"), 0);
    EXPECT_EQ(driver.callCount("inOpen"), c.inputWasOpened ? 1 : 0);
    EXPECT_FALSE(driver.inOpen_);
  }
}

TEST(WinMidiOpening, DriverFailuresPrintCaptionAndDriverTextAndCloseWhatWasOpened) {
  struct Case {
    const char* call;
    MMRESULT code;
    std::string printed;
  };
  const Case cases[] = {
      {"inOpen", 4, "An error has occurred opening the MIDI input device::\ninput driver text 4"},
      {"outOpen", 2, "An error has occurred opening the MIDI output device:\noutput driver text 2"},
      {"inPrepareHeader", 11, "midiInPrepareHeader:\ninput driver text 11"},
      {"inAddBuffer", 65, "midiInAddBuffer:\ninput driver text 65"},
      {"inStart", 5, "Error in midiInStart()\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    ScriptedDriver driver;
    driver.failures[c.call] = c.code;
    const FailedOpening failed = openExpectingExit(driver);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.printed, c.printed);
    EXPECT_FALSE(driver.inOpen_);
    EXPECT_FALSE(driver.outOpen_);
    EXPECT_TRUE(driver.inBuffers.empty());  // none left with the driver
  }
}

TEST(WinMidiInput, ShortMessagesArriveInOrderAndThoseBeyondThreeHundredNinetyNineAreDropped) {
  ScriptedDriver driver;
  WinMidi port(-1, -1, driver);
  std::uint32_t word = 0;
  EXPECT_FALSE(port.pollShort(word));
  for (DWORD i = 0; i < 405; ++i) driver.receiveShort(0x90 | (i % 128) << 8 | 0x40 << 16);
  for (DWORD i = 0; i < 399; ++i) {
    ASSERT_TRUE(port.pollShort(word));
    EXPECT_EQ(word, 0x90 | (i % 128) << 8 | 0x40 << 16);
  }
  EXPECT_FALSE(port.pollShort(word));
  driver.receiveShort(0xFE);  // room again after the polls
  ASSERT_TRUE(port.pollShort(word));
  EXPECT_EQ(word, 0xFEu);
}

TEST(WinMidiInput, SysexIsCopiedOutAndItsBufferHandedBackEvenWhenAllFourFilledBeforeAPoll) {
  ScriptedDriver driver;
  WinMidi port(-1, -1, driver);
  const Bytes replies[] = {{0xF0, 0x47, 0x01, 'G', 0xF7}, {0xF0, 0x47, 0x02, 0xF7}, {0xF0, 0xF7},
                           Bytes(350, 0x11)};
  for (const Bytes& reply : replies) ASSERT_TRUE(driver.receiveSysex(reply));
  EXPECT_FALSE(driver.receiveSysex({0xF0, 0xF7}));  // the driver has no buffer left: lost there
  std::uint8_t buffer[350];
  std::size_t length = 0;
  for (const Bytes& reply : replies) {
    ASSERT_TRUE(port.pollSysex(buffer, sizeof buffer, length, 0));
    EXPECT_EQ(Bytes(buffer, buffer + length), reply);
  }
  EXPECT_FALSE(port.pollSysex(buffer, sizeof buffer, length, 0));
  EXPECT_EQ(driver.inBuffers.size(), 4u);
  // The recycled buffers carry the next messages whole.
  ASSERT_TRUE(driver.receiveSysex({0xF0, 0x47, 0x7F, 0xF7}));
  ASSERT_TRUE(port.pollSysex(buffer, sizeof buffer, length, 0));
  EXPECT_EQ(Bytes(buffer, buffer + length), (Bytes{0xF0, 0x47, 0x7F, 0xF7}));
}

TEST(WinMidiInput, ASysexLongerThanTheCallersBufferEndsTheRun) {
  ScriptedDriver driver;
  WinMidi port(-1, -1, driver);
  ASSERT_TRUE(driver.receiveSysex(Bytes(12, 0x22)));
  std::uint8_t buffer[11];
  std::size_t length = 0;
  testing::internal::CaptureStdout();
  try {
    port.pollSysex(buffer, sizeof buffer, length, 0);
    ADD_FAILURE() << "no exit";
  } catch (const ExitRequest& exit) {
    EXPECT_EQ(exit.status, 1);
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Buffer too short in winmidi: 379\n");
}

TEST(WinMidiInput, AWaitingPollWakesForASysexFromTheDriversThread) {
  ScriptedDriver driver;
  WinMidi port(-1, -1, driver);
  std::uint8_t buffer[350];
  std::size_t length = 0;
  EXPECT_FALSE(port.pollSysex(buffer, sizeof buffer, length, 20));  // nothing comes
  std::thread driverThread([&driver] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    driver.receiveSysex({0xF0, 0x47, 0x00, 'L', 0xF7});
  });
  const bool got = port.pollSysex(buffer, sizeof buffer, length, 60000);
  driverThread.join();
  ASSERT_TRUE(got);
  EXPECT_EQ(Bytes(buffer, buffer + length), (Bytes{0xF0, 0x47, 0x00, 'L', 0xF7}));
}

TEST(WinMidiInput, DriverErrorsAreReportedOnceByTheNextTakeError) {
  struct Case {
    UINT message;
    const char* printed;
  };
  const Case cases[] = {
      {MIM_ERROR, "WinMidi error: MIM_ERROR\n"},
      {MIM_LONGERROR, "WinMidi error: MIM_LONGERROR\n"},
      {MIM_MOREDATA, "WinMidi error: MIM_MOREDATA\n"},
      {0x7777, "WinMidi error: default\n"},
      {MIM_OPEN, ""},
      {MIM_CLOSE, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printed);
    ScriptedDriver driver;
    WinMidi port(-1, -1, driver);
    if (c.message == MIM_LONGERROR)
      ASSERT_TRUE(driver.receiveSysex({0xF0, 0x01}, MIM_LONGERROR));
    else
      driver.inputSays(c.message);
    testing::internal::CaptureStdout();
    EXPECT_EQ(port.takeError(false), *c.printed != '\0');
    EXPECT_FALSE(port.takeError(false));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
  }
}

TEST(WinMidiInput, ALaterErrorReplacesAnUntakenOneAndQuietTakesPrintNothing) {
  ScriptedDriver driver;
  WinMidi port(-1, -1, driver);
  driver.inputSays(MIM_ERROR);
  driver.inputSays(MIM_MOREDATA);
  testing::internal::CaptureStdout();
  EXPECT_TRUE(port.takeError(false));
  driver.inputSays(MIM_ERROR);
  EXPECT_TRUE(port.takeError(true));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "WinMidi error: MIM_MOREDATA\n");
}

TEST(WinMidiInput, ABrokenSysexIsNotDeliveredButItsBufferGoesBackToTheDriver) {
  ScriptedDriver driver;
  WinMidi port(-1, -1, driver);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(driver.receiveSysex({0xF0, 0x47}, MIM_LONGERROR));
  EXPECT_TRUE(driver.inBuffers.empty());
  std::uint8_t buffer[350];
  std::size_t length = 0;
  EXPECT_FALSE(port.pollSysex(buffer, sizeof buffer, length, 0));
  EXPECT_EQ(driver.inBuffers.size(), 4u);
  ASSERT_TRUE(driver.receiveSysex({0xF0, 0x47, 0x00, 'V', 0xF7}));
  ASSERT_TRUE(port.pollSysex(buffer, sizeof buffer, length, 0));
  EXPECT_EQ(length, 5u);
}

TEST(WinMidiOutput, ShortMessagesArePackedLowByteFirst) {
  ScriptedDriver driver;
  WinMidi port(-1, -1, driver);
  const Bytes messages[] = {{0x90, 0x3C, 0x40}, {0xC5, 0x07}, {0xFF}, {0xB0, 0x7B, 0x00, 0x55}};
  for (const Bytes& message : messages) port.sendShort(message.data(), message.size());
  port.sendShort(nullptr, 0);
  EXPECT_EQ(driver.sentShort, (std::vector<DWORD>{0x403C90, 0x07C5, 0xFF, 0x7BB0}));
}

TEST(WinMidiOutput, AFinishedHeaderIsUnpreparedAndReusedForTheNextSysex) {
  ScriptedDriver driver;
  WinMidi port(-1, -1, driver);
  Bytes request = {0xF0, 0x47, 0x00, 'V', 0xF7};
  EXPECT_EQ(port.sendSysex(request.data(), request.size()), 0);
  request[3] = 'X';  // the port sends its own copy
  ASSERT_EQ(driver.outSending.size(), 1u);
  MIDIHDR* first = driver.outSending[0];
  driver.finishSending();
  const Bytes longer = {0xF0, 0x47, 0x01, 'P', '0', '1', '2', 0xF7};
  port.sendSysex(longer.data(), longer.size());
  ASSERT_EQ(driver.outSending.size(), 1u);
  EXPECT_EQ(driver.outSending[0], first);
  EXPECT_EQ(driver.callCount("outUnprepareHeader"), 1);
  EXPECT_EQ(first->dwBufferLength, longer.size());
  // While that one is still in the driver, the next needs a header of its own.
  port.sendSysex(request.data(), request.size());
  ASSERT_EQ(driver.outSending.size(), 2u);
  EXPECT_NE(driver.outSending[1], first);
  EXPECT_EQ(driver.sentLong,
            (std::vector<Bytes>{{0xF0, 0x47, 0x00, 'V', 0xF7}, longer, {0xF0, 0x47, 0x00, 'X', 0xF7}}));
}

TEST(WinMidiOutput, FinishedHeadersBeyondTheQueueAreNotReusedAndOtherMessagesAreIgnored) {
  ScriptedDriver driver;
  WinMidi port(-1, -1, driver);
  const Bytes request = {0xF0, 0x47, 0x00, 'L', 0xF7};
  for (int i = 0; i < 5; ++i) port.sendSysex(request.data(), request.size());
  const std::vector<MIDIHDR*> five = driver.outSending;
  driver.finishSending();  // only three find room
  WinMidi::onOutput(ScriptedDriver::outHandle(), MOM_OPEN, driver.outInstance, 0, 0);
  WinMidi::onOutput(ScriptedDriver::outHandle(), MOM_CLOSE, driver.outInstance, 0, 0);
  for (int i = 0; i < 4; ++i) port.sendSysex(request.data(), request.size());
  ASSERT_EQ(driver.outSending.size(), 4u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(driver.outSending[i], five[i]);
  for (MIDIHDR* unused : five) EXPECT_NE(driver.outSending[3], unused);
}

TEST(WinMidiOutput, SendFailuresEndTheRunWithTheirStatus) {
  struct Case {
    const char* call;
    bool afterOneSend;  // the failing call is the reuse of a finished header
    int status;
    std::string printed;
  };
  const Case cases[] = {
      {"outPrepareHeader", false, 2, "Error in midiOutPrepareHeader()\n"},
      {"outLongMsg", false, 2, "Error in midiOutLongMsg()\n"},
      {"outUnprepareHeader", true, 1, "Error in midiOutUnprepareHeader\n"},
      {"outShortMsg", false, 1, "Output Error:\noutput driver text 7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    ScriptedDriver driver;
    auto port = std::make_unique<WinMidi>(-1, -1, driver);
    const Bytes message = {0xF0, 0x47, 0x00, 'H', 0xF7};
    if (c.afterOneSend) {
      port->sendSysex(message.data(), message.size());
      driver.finishSending();
    }
    driver.failures[c.call] = 7;
    testing::internal::CaptureStdout();
    try {
      if (std::string(c.call) == "outShortMsg")
        port->sendShort(message.data(), 3);
      else
        port->sendSysex(message.data(), message.size());
      ADD_FAILURE() << "no exit";
    } catch (const ExitRequest& exit) {
      EXPECT_EQ(exit.status, c.status);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
    driver.failures.clear();
    port.reset();
    EXPECT_FALSE(driver.outOpen_);
  }
}

TEST(WinMidiOutput, DebugBitTwoTracesEverySysexSent) {
  ScriptedDriver driver;
  WinMidi port(-1, -1, driver);
  const Bytes message = {0xF0, 0x47, 0x0A, 0xF7};
  settings().debugFlags = DebugSysexSent;
  testing::internal::CaptureStdout();
  port.sendSysex(message.data(), message.size());
  settings().debugFlags = 0;
  port.sendSysex(message.data(), message.size());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Sending Sysex: 0xf0 0x47 0x0a 0xf7\n");
}

TEST(WinMidiClosing, StopsResetsAndUnpreparesInputThenClosesOutputThenInput) {
  ScriptedDriver driver;
  {
    WinMidi port(-1, -1, driver);
    const Bytes message = {0xF0, 0x47, 0x00, 'L', 0xF7};
    port.sendSysex(message.data(), message.size());
    driver.finishSending();
    driver.calls.clear();
  }
  EXPECT_EQ(driver.calls, (std::vector<std::string>{"inStop", "inReset", "inUnprepareHeader", "inUnprepareHeader",
                                                    "inUnprepareHeader", "inUnprepareHeader",
                                                    "outUnprepareHeader", "outClose", "inClose"}));
  EXPECT_FALSE(driver.inOpen_);
  EXPECT_FALSE(driver.outOpen_);
}

TEST(WinMidiClosing, FailuresAreReportedAndPassedOver) {
  ScriptedDriver driver;
  auto port = std::make_unique<WinMidi>(-1, -1, driver);
  driver.failures = {{"inStop", 1}, {"inReset", 2}, {"inUnprepareHeader", 3}};
  testing::internal::CaptureStdout();
  port.reset();
  std::string unprepare;
  for (int i = 0; i < 4; ++i) unprepare += "Error in midiInUnprepareHeader:\ninput driver text 3";
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "An error has occurred in midiInStop:\ninput driver text 1"
            "An error has occurred in midiInReset:\ninput driver text 2" + unprepare);
  EXPECT_FALSE(driver.outOpen_);
  EXPECT_EQ(driver.callCount("inClose"), 1);
}

TEST(WinMidiClosing, ASysexStillInTheDriverIsTakenBackBeforeThePortGoes) {
  ScriptedDriver driver;
  {
    WinMidi port(-1, -1, driver);
    const Bytes message = {0xF0, 0x47, 0x00, 'S', 0xF7};
    port.sendSysex(message.data(), message.size());
  }
  EXPECT_EQ(driver.callCount("outReset"), 1);
  EXPECT_TRUE(driver.outSending.empty());
  EXPECT_FALSE(driver.outOpen_);
  // With nothing in flight, closing does not reset (a reset also silences notes).
  ScriptedDriver quiet;
  { WinMidi port(-1, -1, quiet); }
  EXPECT_EQ(quiet.callCount("outReset"), 0);
}

}  // namespace
}  // namespace plenum
