#include "tirasse/core/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tirasse/core/test_scratch_folder.h"

namespace tirasse {
namespace {

TirasseSettings sample(const std::string& folder) {
  TirasseSettings s;
  s.midiInDev = 2;
  s.midiInName = "USB MIDI 1";
  s.midiOutDev = 0;
  s.midiOutName = "Norvo loop out";
  s.configFile = folder + "/St Mary.ncf";
  s.settingsDir = folder;
  s.midDir = folder;
  s.configDir = folder;
  s.firmwareDir = folder + "/Norvo Firmware";
  return s;
}

// Line `index` of the text, counted from 0.
std::string lineOf(const std::string& text, int index) {
  std::size_t start = 0;
  for (int i = 0; i < index && start != std::string::npos; ++i) {
    start = text.find('\n', start);
    if (start != std::string::npos) ++start;
  }
  if (start == std::string::npos) return {};
  return text.substr(start, text.find('\n', start) - start);
}

void expectSame(const TirasseSettings& a, const TirasseSettings& b) {
  EXPECT_EQ(a.midiInDev, b.midiInDev);
  EXPECT_EQ(a.midiInName, b.midiInName);
  EXPECT_EQ(a.midiOutDev, b.midiOutDev);
  EXPECT_EQ(a.midiOutName, b.midiOutName);
  EXPECT_EQ(a.configFile, b.configFile);
  EXPECT_EQ(a.settingsDir, b.settingsDir);
  EXPECT_EQ(a.midDir, b.midDir);
  EXPECT_EQ(a.configDir, b.configDir);
  EXPECT_EQ(a.skipUnchangedRelayCode, b.skipUnchangedRelayCode);
  EXPECT_EQ(a.firmwareDir, b.firmwareDir);
}

TEST(SettingsFile, RoundTripThroughTheFile) {
  TestScratchFolder dir;
  ASSERT_TRUE(dir.isValid());
  TirasseSettings written = sample(dir.text());
  const std::filesystem::path path = dir.path() / kSettingsFileName;
  for (bool skip : {true, false}) {
    written.skipUnchangedRelayCode = skip;
    ASSERT_TRUE(writeSettingsFile(path, written));
    TirasseSettings read;
    read.skipUnchangedRelayCode = !skip;
    EXPECT_EQ(readSettingsFile(path, read), SettingsFileState::Read);
    expectSame(read, written);
  }
}

TEST(SettingsFile, WrittenInV3OrderOneItemALine) {
  TirasseSettings s = sample("/f");
  // The nine items of the format come first, as an older tirasse reads them; the later
  // choices follow.
  EXPECT_EQ(formatSettingsText(s),
            "V3\n2\nUSB MIDI 1\n0\nNorvo loop out\n/f/St Mary.ncf\n/f\n/f\n/f\n"
            "skipUnchangedRelayCode=0\nfirmwareDir=/f/Norvo Firmware\n");
  s.skipUnchangedRelayCode = true;
  EXPECT_EQ(lineOf(formatSettingsText(s), 9), "skipUnchangedRelayCode=1");
  s.midiInName = "two\nlines";
  EXPECT_EQ(lineOf(formatSettingsText(s), 2), "two lines");
}

TEST(SettingsFile, LaterChoicesAreReadOnlyAfterTheNineItemsOfAV3File) {
  struct Case {
    const char* text;
    bool skip;
  };
  const Case cases[] = {
      {"V3\n1\nIn\n2\nOut\nc.ncf\n/s\n/m\n/c\nskipUnchangedRelayCode=1\n", true},
      {"V3\r\n1\r\nIn\r\n2\r\nOut\r\nc.ncf\r\n/s\r\n/m\r\n/c\r\nskipUnchangedRelayCode=1\r\n", true},
      {"V3\n1\nIn\n2\nOut\nc.ncf\n/s\n/m\n/c\nskipUnchangedRelayCode=0\n", false},
      // Written by an older tirasse: nothing after the nine items.
      {"V3\n1\nIn\n2\nOut\nc.ncf\n/s\n/m\n/c\n", false},
      // A value in an item of the format is not a choice.
      {"V3\n1\nIn\n2\nOut\nskipUnchangedRelayCode=1\n/s\n/m\n/c\n", false},
      {"V2\n1\nIn\n2\nOut\nc.ncf\n/s\n/m\n/c\nskipUnchangedRelayCode=1\n", false},
      {"V3\n1\nIn\n2\nOut\nc.ncf\n/s\n/m\n/c\nskipUnchangedRelayCode=yes\n", false},
  };
  for (const Case& c : cases) {
    TirasseSettings s;
    EXPECT_EQ(parseSettingsText(c.text, s), SettingsFileState::Read) << c.text;
    EXPECT_EQ(s.skipUnchangedRelayCode, c.skip) << c.text;
    EXPECT_EQ(s.midiOutName, "Out") << c.text;
  }
}

TEST(SettingsFile, TheFirmwareFolderIsAChoiceAfterTheNineItems) {
  struct Case {
    const char* text;
    const char* firmware;
  } cases[] = {
      {"V3\n1\nIn\n2\nOut\nc.ncf\n/s\n/m\n/c\nskipUnchangedRelayCode=1\nfirmwareDir=/home/o/Übung fw\n",
       "/home/o/Übung fw"},
      {"V3\r\n1\r\nIn\r\n2\r\nOut\r\nc.ncf\r\n/s\r\n/m\r\n/c\r\nfirmwareDir=C:\\орган\r\n", "C:\\орган"},
      {"V3\n1\nIn\n2\nOut\nc.ncf\n/s\n/m\n/c\nskipUnchangedRelayCode=0\n", ""},  // older file
      {"V3\n1\nIn\n2\nOut\nfirmwareDir=/x\n/s\n/m\n/c\n", ""},  // an item, not a choice
      {"V2\n1\nIn\n2\nOut\nc.ncf\n/s\n/m\n/c\nfirmwareDir=/x\n", ""},
  };
  for (const Case& c : cases) {
    TirasseSettings s;
    EXPECT_EQ(parseSettingsText(c.text, s), SettingsFileState::Read) << c.text;
    EXPECT_EQ(s.firmwareDir, c.firmware) << c.text;
  }
}

TEST(SettingsFile, V2ReadsTheFirstSixItemsOnly) {
  TirasseSettings s;
  s.settingsDir = "/start/settings";
  s.midDir = "/start/mid";
  s.configDir = "/start/config";
  const std::string v2 = "V2\r\n1\r\nIn\r\n4\r\nOut\r\nC:\\organ.ncf\r\n/elsewhere\r\n/x\r\n/y\r\n";
  EXPECT_EQ(parseSettingsText(v2, s), SettingsFileState::Read);
  EXPECT_EQ(s.midiInDev, 1);
  EXPECT_EQ(s.midiInName, "In");
  EXPECT_EQ(s.midiOutDev, 4);
  EXPECT_EQ(s.midiOutName, "Out");
  EXPECT_EQ(s.configFile, "C:\\organ.ncf");
  EXPECT_EQ(s.settingsDir, "/start/settings");
  EXPECT_EQ(s.midDir, "/start/mid");
  EXPECT_EQ(s.configDir, "/start/config");
}

TEST(SettingsFile, ForeignAndBrokenFilesKeepTheStartValues) {
  const TirasseSettings start = sample("/start");
  for (const char* text : {"", "V1\n3\n", "[General]\nkey=value\n", "\x01\x02\x03", "v3\n1\n"}) {
    TirasseSettings s = start;
    EXPECT_EQ(parseSettingsText(text, s), SettingsFileState::Foreign) << text;
    expectSame(s, start);
  }
  TirasseSettings missing = start;
  EXPECT_EQ(readSettingsFile("/nonexistent/folder/tirasse.ini", missing),
            SettingsFileState::Missing);
  expectSame(missing, start);
}

TEST(SettingsFile, TruncatedOrGarbledItems) {
  TirasseSettings s = sample("/start");
  EXPECT_EQ(parseSettingsText("V3\nnot a number\nIn\n", s), SettingsFileState::Read);
  EXPECT_EQ(s.midiInDev, -1);
  EXPECT_EQ(s.midiInName, "In");
  EXPECT_EQ(s.midiOutDev, 0);  // items past the end keep their values
  EXPECT_EQ(s.configFile, "/start/St Mary.ncf");
}

TEST(SettingsFile, FoldersThatDoNotExistKeepTheirValues) {
  TestScratchFolder dir;
  ASSERT_TRUE(dir.isValid());
  const std::filesystem::path path = dir.path() / kSettingsFileName;
  ASSERT_TRUE(dir.write(kSettingsFileName, "V3\n0\nIn\n0\nOut\ncfg\n/no/such/folder\n" +
                                               dir.text("sub") + "/..\n/no/such/either\n"));
  TirasseSettings s;
  s.settingsDir = "/keep/settings";
  s.configDir = "/keep/config";
  EXPECT_EQ(readSettingsFile(path, s), SettingsFileState::Read);
  EXPECT_EQ(s.settingsDir, "/keep/settings");
  EXPECT_EQ(s.configDir, "/keep/config");
  ASSERT_TRUE(std::filesystem::create_directory(dir.path() / "sub"));
  EXPECT_EQ(readSettingsFile(path, s), SettingsFileState::Read);
  EXPECT_EQ(s.midDir, dir.text());
}

TEST(SettingsFile, UnwritableFolderReportsFailure) {
  EXPECT_FALSE(writeSettingsFile("/nonexistent/folder/tirasse.ini", sample("/f")));
}

}  // namespace
}  // namespace tirasse
