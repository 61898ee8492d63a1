#include <gtest/gtest.h>

#include <string>

#include "plenum/midi/midi.h"

namespace plenum {
namespace {

struct ShortCase {
  std::uint32_t word;
  const char* text;
};

class DescribeShort : public ::testing::TestWithParam<ShortCase> {};

TEST_P(DescribeShort, GivesTheMonitorText) {
  EXPECT_EQ(std::string(Midi::describeShort(GetParam().word)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStatusKind, DescribeShort,
    ::testing::Values(ShortCase{0x40'3D'85, "403d85 C  6 N  61 Off V  64"},
                      ShortCase{0x64'3C'90, "643c90 C  1 N  60 On  V 100"},
                      ShortCase{0x00'3C'90, "003c90 C  1 N  60 On  V   0 (Off)"},
                      ShortCase{0x1E'3E'A2, "1e3ea2 C  3 N  62 Press  30"},
                      ShortCase{0x7F'07'B0, "7f07b0 C  1 Control   7 Value 127"},
                      ShortCase{0x05'CF, "  05cf C 16 Program Change   5"},
                      ShortCase{0x28'D3, "  28d3 C  4 Pressure  40"},
                      ShortCase{0x40'00'E0, "4000e0 C  1 Pitch wheel 8192"},
                      ShortCase{0x7F'7F'EF, "7f7fef C 16 Pitch wheel 16383"},
                      ShortCase{0xF8, "    f8 Timing Clock"}, ShortCase{0xF9, "    f9 Undefined"},
                      ShortCase{0xFD, "    fd Undefined"}, ShortCase{0xFA, "    fa Start"},
                      ShortCase{0xFB, "    fb Continue"}, ShortCase{0xFC, "    fc Stop"},
                      ShortCase{0xFE, "    fe Active Sensing"}, ShortCase{0xFF, "    ff System Reset"},
                      ShortCase{0xF0, "    f0 System common message"},
                      ShortCase{0xF7, "    f7 System common message"},
                      ShortCase{0x45, "Unexpected value for system byte (45)"}));

// A port that reports errors on demand, to see takeError's one-time report.
class ErrorPort : public Midi {
 public:
  int sendSysex(const std::uint8_t*, std::size_t) override { return 0; }
  void sendShort(const std::uint8_t*, std::size_t) override {}
  bool pollSysex(std::uint8_t*, std::size_t, std::size_t&, int) override { return false; }
  bool pollShort(std::uint32_t&) override { return false; }
  void fail(const char* text) { signalError(text); }
};

TEST(TakeError, ReportsAnInputErrorOnceThenClearsIt) {
  ErrorPort port;
  port.fail("MIM_LONGERROR");
  testing::internal::CaptureStdout();
  EXPECT_TRUE(port.takeError(false));
  EXPECT_FALSE(port.takeError(false));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "WinMidi error: MIM_LONGERROR\n");
}

TEST(TakeError, QuietTakesWithoutPrintingAndALaterErrorReplacesAnEarlierOne) {
  ErrorPort port;
  port.fail("MIM_ERROR");
  port.fail("MIM_MOREDATA");
  testing::internal::CaptureStdout();
  EXPECT_TRUE(port.takeError(true));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  port.fail("MIM_MOREDATA");
  testing::internal::CaptureStdout();
  EXPECT_TRUE(port.takeError(false));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "WinMidi error: MIM_MOREDATA\n");
}

}  // namespace
}  // namespace plenum
