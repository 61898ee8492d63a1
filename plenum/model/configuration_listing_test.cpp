// The configuration listing: its frame, the order of modules, boards, module-level
// functions and the combination action, read back from configuration text.

#include <gtest/gtest.h>

#include <string>

#include "plenum/codegen/expressions.h"
#include "plenum/language/compile_in_process.h"
#include "plenum/model/combination_action.h"

namespace plenum {
namespace {

using testing_support::InProcessCompile;
using testing_support::RunOutput;

// The listing of a configuration text that loads without errors.
std::string listingOf(const std::string& text) {
  InProcessCompile compile(text);
  RunOutput run = compile.load();
  EXPECT_EQ(run.status, -1) << run.out << run.err;
  testing::internal::CaptureStdout();
  compile.configuration.print();
  return testing::internal::GetCapturedStdout();
}

TEST(ConfigurationListing, TwoModulesWithoutCombinationAction) {
  EXPECT_EQ(listingOf("*NORVO_MODULE *MQ32\n*NORVO_MODULE_B *SERIAL_LCD \"x\"\n*END\n"),
            "Congifuration:\n"
            "Norvo Module\n"
            "  MQ-32 serial output module\n"
            "Norvo Module\n"
            "  Serial LCD definition:\n"
            "    String \"x\" \n"
            "=============\n\n");
}

TEST(ConfigurationListing, EmptyConfigurationHasOnlyItsFrame) {
  EXPECT_EQ(listingOf("*MIDI_OUTPUT_DEVICE = 1\n*END\n"), "Congifuration:\n=============\n\n");
}

TEST(ConfigurationListing, BoardsComeBeforeModuleFunctionsInTheirOwnOrders) {
  std::string listing = listingOf(
      "*NORVO_MODULE\n"
      "  *CONTROL = Pin *BIT = 1 C1C1\n"
      "  *MQ32\n"
      "  *TRANSPOSE ( 3 )\n"
      "  *SERIAL_LCD ( 4 )\n"
      "*END\n");
  std::size_t stops = listing.find("  MQ-32 serial output module");
  std::size_t lcd = listing.find("  Serial LCD definition:");
  std::size_t pin = listing.find("Controller: Chan = 0, Controller = 1");
  std::size_t transpose = listing.find("Transpose: 3");
  ASSERT_NE(stops, std::string::npos) << listing;
  ASSERT_NE(lcd, std::string::npos) << listing;
  ASSERT_NE(pin, std::string::npos) << listing;
  ASSERT_NE(transpose, std::string::npos) << listing;
  EXPECT_LT(stops, lcd);
  EXPECT_LT(lcd, pin);
  EXPECT_LT(pin, transpose);
  // Module-level functions list without the indent of board items.
  EXPECT_EQ(listing[pin - 1], '\n');
}

TEST(ConfigurationListing, CombinationActionComesAfterEveryModule) {
  std::string listing = listingOf(
      "*NORVO_MODULE *INPUT_64 *INPUT_BIT = Set *BIT = 1 C7N1\n"
      "*COMBINATION_ACTION *SET = Set\n"
      "*NORVO_MODULE *MQ32\n"
      "*END\n");
  EXPECT_EQ(listing.substr(listing.find("  MQ-32")),
            "  MQ-32 serial output module\n"
            "No combination action specified\n"
            "=============\n\n");
}

TEST(ConfigurationListing, DualMagTabWithoutNameStartsWithItsOnLine) {
  std::string listing = listingOf(
      "*NORVO_MODULE *INPUT_64 *INPUT_BIT = P1 *BIT = 1 C7N1\n"
      "*NORVO_MODULE *MQ32 = Magnets\n"
      "*COMBINATION_ACTION *PISTON = P1\n"
      "  *DUAL_MAG_TAB *ON = Magnets:1 *OFF = Magnets:2\n"
      "*END\n");
  std::size_t tab = listing.find("  DualMagTab: ");
  ASSERT_NE(tab, std::string::npos) << listing;
  EXPECT_EQ(listing.compare(tab, 20, "  DualMagTab: \tOn:  "), 0) << listing.substr(tab);
  EXPECT_NE(listing.find("**** No Set bit defined ****\n**** No Map bit defined ****\n"),
            std::string::npos);
}

}  // namespace
}  // namespace plenum
