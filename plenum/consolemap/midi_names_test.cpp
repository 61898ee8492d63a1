#include "plenum/consolemap/midi_names.h"

#include <gtest/gtest.h>

#include "plenum/language/compile_in_process.h"

namespace plenum {
namespace {

using testing_support::InProcessCompile;
using Names = std::vector<std::string>;

TEST(MidiNames, NamesWhatTheConfigurationSendsAndNothingElse) {
  InProcessCompile compile(R"(
*CONTROL = Crescendo C10C11
*NORVO_MODULE
  *KX64
    *DIVISION = Swell *BITS = 1, 61 C2N36
    *INPUT_BIT = GreatPrincipal8 *BIT = 62 C4N36
    *CONTROL = SwellShoe *BIT = 63 C2C7
  *INPUT_64
    *INPUT_BIT = GeneralOne *BIT = 1 C5P1
*NORVO_MODULE
  *RELAY *DIVISION = Swell *TAB = GreatPrincipal8 *MIDI_CHANNEL = 11
*END
)");
  ASSERT_EQ(compile.loadAndGenerate().status, -1);
  const MidiNames names(buildConsoleMap(compile.configuration));
  struct Case {
    int status, data1, data2;
    Names expected;
  };
  const Case cases[] = {
      {0x91, 60, 64, {"Swell key 25 (C4)"}},
      {0x81, 36, 0, {"Swell key 1 (C2)"}},
      {0x93, 36, 127, {"GreatPrincipal8 on"}},
      {0x93, 36, 0, {"GreatPrincipal8 off"}},
      {0x83, 36, 64, {"GreatPrincipal8 off"}},
      {0xB1, 7, 100, {"SwellShoe 100"}},
      {0xC4, 1, 0, {"GeneralOne"}},
      {0xB9, 11, 5, {"Crescendo 5"}},
      {0x9A, 60, 1, {"Relay of Swell key 25"}},
      // A wrong channel, a note no statement sends, a message that names no item.
      {0x90, 60, 64, {}},
      {0x91, 35, 64, {}},
      {0xC4, 2, 0, {}},
      {0xE1, 0, 64, {}},
      {0xF8, 0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status * 1000 + c.data1);
    EXPECT_EQ(names.namesOf(static_cast<std::uint8_t>(c.status), static_cast<std::uint8_t>(c.data1),
                            static_cast<std::uint8_t>(c.data2)),
              c.expected);
  }
}

TEST(MidiNames, NoteNamesHaveMiddleCAsC4) {
  EXPECT_EQ(noteName(60), "C4");
  EXPECT_EQ(noteName(0), "C-1");
  EXPECT_EQ(noteName(61), "C#4");
  EXPECT_EQ(noteName(127), "G9");
  EXPECT_EQ(noteName(128), "?");
  EXPECT_EQ(literalOf(MidiItem{MidiKind::Controller, 16, 80}), "C16C80");
}

}  // namespace
}  // namespace plenum
