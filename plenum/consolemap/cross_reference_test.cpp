#include "plenum/consolemap/cross_reference.h"

#include <gtest/gtest.h>

#include "plenum/language/compile_in_process.h"

namespace plenum {
namespace {

using testing_support::InProcessCompile;

TEST(CrossReference, NamesWithTheirDefiningAndUsingLines) {
  InProcessCompile compile(
      "*NORVO_MODULE\n"                                        // 1
      "  *INPUT_64\n"                                          // 2
      "    *DIVISION = Great *BITS = 1, 61 C1N36\n"            // 3
      "    *INPUT_BIT = Tab *BIT = 62 C5N1\n"                  // 4
      "*NORVO_MODULE\n"                                        // 5
      "  *RELAY *DIVISION = Great *TAB = Tab *MIDI_CHANNEL = 10\n"  // 6
      "  *BIT Loud = ( Tab )\n"                                // 7
      "  *MQ32\n"                                              // 8
      "    *OUTPUT_BIT *BIT = 1 ( Loud || Tab )\n"             // 9
      "*END\n");
  ASSERT_EQ(compile.loadAndGenerate().status, -1);
  const CrossReference reference =
      buildCrossReference(buildConsoleMap(compile.configuration), compile.scope.context().identifiers);
  struct Case {
    const char* name;
    const char* kind;
    int definedAt;
    std::vector<int> usedAt;
  };
  const Case cases[] = {{"Great", "division", 3, {6}},
                        {"Loud", "local bit", 7, {9}},
                        {"Tab", "input", 4, {6, 7, 9}}};
  ASSERT_EQ(reference.names.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(reference.names[i].name, cases[i].name);
    EXPECT_EQ(reference.names[i].kind, cases[i].kind);
    EXPECT_EQ(reference.names[i].definedAt, cases[i].definedAt);
    EXPECT_EQ(reference.names[i].usedAt, cases[i].usedAt);
  }
}

TEST(CrossReference, MidiItemsInRunsWithTheirSendersAndReceivers) {
  InProcessCompile compile(
      "*NORVO_MODULE\n"
      "  *INPUT_64\n"
      "    *DIVISION = Great *BITS = 1, 12 C1N36\n"
      "    *INPUT_BIT = Tab *BIT = 62 C5N1\n"
      "*NORVO_MODULE\n"
      "  *RELAY *DIVISION = Great *TAB = Tab *MIDI_CHANNEL = 10\n"
      "*END\n");
  ASSERT_EQ(compile.loadAndGenerate().status, -1);
  const CrossReference reference =
      buildCrossReference(buildConsoleMap(compile.configuration), compile.scope.context().identifiers);
  ASSERT_EQ(reference.items.size(), 3u);
  const MidiReference& keys = reference.items[0];
  EXPECT_EQ(keys.channel, 1);
  EXPECT_EQ(keys.first, 36);
  EXPECT_EQ(keys.last, 47);
  ASSERT_EQ(keys.users.size(), 2u);
  EXPECT_EQ(keys.users[0].direction, MidiDirection::Sends);
  EXPECT_EQ(keys.users[0].line, 3);
  EXPECT_EQ(keys.users[1].direction, MidiDirection::Receives);
  EXPECT_EQ(keys.users[1].line, 6);
  const MidiReference& tab = reference.items[1];
  EXPECT_EQ(tab.channel, 5);
  EXPECT_EQ(tab.first, 1);
  EXPECT_EQ(tab.users.size(), 2u);
  const MidiReference& out = reference.items[2];
  EXPECT_EQ(out.channel, 10);
  EXPECT_EQ(out.first, 36);
  EXPECT_EQ(out.last, 47);
  ASSERT_EQ(out.users.size(), 1u);
  EXPECT_EQ(out.users[0].line, 6);

  const std::string text = crossReferenceText(reference);
  EXPECT_NE(text.find("C1N36-47 (C2-B2)        note       sent by     division line 3\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("C5N1 (C#-1)             note       sent by     input bit line 4 (Tab)\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("  Great  division      defined 3, used 6\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace plenum
