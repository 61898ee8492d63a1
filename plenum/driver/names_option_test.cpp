// The names the monitor adds to its lines, from a configuration compiled for them.

#include "plenum/driver/names_option.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "plenum/language/compiler_context.h"

namespace plenum {
namespace {

constexpr const char* kConsole =
    "*NORVO_MODULE\n"
    "  *KX64\n"
    "    *DIVISION = Great *BITS = 1, 61 *MIDI_CHANNEL = 1 *MIDI_NOTE = 36\n"
    "  *INPUT_64\n"
    "    *INPUT_BIT = GreatPrincipal8 *BIT = 33 C4N36\n"
    "    *INPUT_BIT = GeneralOne *BIT = 42 C5P1\n"
    "*END\n";

class MonitorNames : public ::testing::Test {
 protected:
  void SetUp() override {
    // ctest runs each case as its own process at the same time: one file per case, or one
    // case's TearDown removes the file that the other is reading.
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    path = (std::filesystem::path(::testing::TempDir()) / ("monitor_names_" + name + ".ncf")).string();
    std::ofstream(path) << kConsole;
  }
  void TearDown() override {
    forgetMonitorNames();
    std::filesystem::remove(path);
  }
  std::string path;
};

TEST_F(MonitorNames, NamedUnknownAndSystemMessages) {
  EXPECT_FALSE(monitorNamer()) << "no names before --names";
  const CompilerContextScope run;
  testing::internal::CaptureStdout();
  loadMonitorNames(path.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Parsing file " + path + "\nNumber of modules is 1\n");
  const MessageNamer namer = monitorNamer();
  ASSERT_TRUE(namer);
  struct Case {
    std::uint32_t word;
    const char* suffix;
  };
  const Case cases[] = {
      {0x643c90, "   Great key 25 (C4)"},
      {0x002490, "   Great key 1 (C2)"},
      {0x642493, "   GreatPrincipal8 on"},
      {0x002493, "   GreatPrincipal8 off"},  // note on, velocity 0
      {0x402483, "   GreatPrincipal8 off"},
      {0x642494, "   (not in the configuration)"},  // the right note on a wrong channel
      {0x641e90, "   (not in the configuration)"},  // below the Great's keys
      {0x4000e0, "   (not in the configuration)"},
      {0xf8, ""},
      {0xfe, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(namer(c.word), c.suffix) << std::hex << c.word;
  // The program change the piston sends, whichever number it is on the wire.
  const std::string piston = namer(0x01c4) + namer(0x00c4);
  EXPECT_NE(piston.find("GeneralOne"), std::string::npos) << piston;
}

TEST_F(MonitorNames, ALaterCompileOfTheSameFileMeetsNoOldNames) {
  const CompilerContextScope run;
  testing::internal::CaptureStdout();
  loadMonitorNames(path.c_str());
  loadMonitorNames(path.c_str());
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string once = "Parsing file " + path + "\nNumber of modules is 1\n";
  EXPECT_EQ(out, once + once) << "no diagnostics the second time";
  EXPECT_EQ(context().diagnosticCount, 0);
}

}  // namespace
}  // namespace plenum
