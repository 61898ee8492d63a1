// The registration file: its exact text, and every way a file is refused.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "plenum/protocol/registration_file.h"
#include "plenum/protocol/testing/scripted_port.h"

namespace plenum {
namespace {

using testing::runCaptured;

std::string tempPath(const std::string& name) { return ::testing::TempDir() + name; }

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

RegistrationRecord record(int module, int banks, int pistons, int size, char digit) {
  RegistrationRecord r;
  r.module = module;
  r.banks = banks;
  r.pistons = pistons;
  r.size = size;
  r.data.assign(static_cast<std::size_t>(dataDigitsFor(banks, pistons, size)), digit);
  return r;
}

TEST(RegistrationFile, DataLinesHoldWholeBlocks) {
  EXPECT_EQ(dataDigitsFor(8, 40, 16), 10240);
  EXPECT_EQ(dataDigitsFor(1, 1, 1), 128);
  EXPECT_EQ(dataDigitsFor(1, 4, 16), 128);
  EXPECT_EQ(dataDigitsFor(1, 4, 17), 256);
  EXPECT_EQ(dataDigitsFor(0, 40, 16), 0);
  EXPECT_EQ(dataDigitsFor(-1, 40, 16), -1);
  EXPECT_EQ(dataDigitsFor(256, 255, 255), -1);  // more than a module's memory
}

TEST(RegistrationFile, SaveWritesTheFormatByteForByte) {
  const std::string path = tempPath("registration_format.reg");
  RegistrationSet set{record(1, 1, 4, 16, 'A'), record(3, 2, 2, 32, '0')};
  set[1].data[5] = 'f';
  EXPECT_EQ(saveRegistration(set, path.c_str()), 0);
  EXPECT_EQ(readFile(path), "reg 1\nmod 1 banks 1 pistons 4 size 16\n" + std::string(128, 'A') +
                                "\nmod 3 banks 2 pistons 2 size 32\n00000f" + std::string(250, '0') + "\n");
  EXPECT_EQ(saveRegistration(RegistrationSet{}, path.c_str()), 0);
  EXPECT_EQ(readFile(path), "reg 1\n");
  std::remove(path.c_str());
}

TEST(RegistrationFile, SaveIntoAMissingFolderFailsWithAMessage) {
  const std::string path = tempPath("no such folder/x.reg");
  int result = 0;
  const auto out = runCaptured([&] { result = saveRegistration(RegistrationSet{}, path.c_str()); });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(out.output, "File " + path + " could not be opened for writing\n");
}

TEST(RegistrationFile, SaveThatCannotReplaceTheTargetLeavesNoPartialFile) {
  const std::string path = tempPath("registration_is_a_folder");
  std::filesystem::remove_all(path);
  ASSERT_TRUE(std::filesystem::create_directory(path));
  int result = 0;
  const auto out =
      runCaptured([&] { result = saveRegistration(RegistrationSet{record(0, 1, 4, 16, '1')}, path.c_str()); });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(out.output, "File " + path + " could not be written; it was left as it was\n");
  EXPECT_FALSE(std::ifstream(path + ".partial").good());
  std::filesystem::remove_all(path);
}

TEST(RegistrationFile, LoadReadsWhatSaveWrote) {
  const std::string path = tempPath("registration_again.reg");
  RegistrationSet saved{record(0, 8, 40, 16, 'C'), record(2, 1, 4, 16, '7')};
  saved[0].data[77] = 'e';
  ASSERT_EQ(saveRegistration(saved, path.c_str()), 0);
  RegistrationSet loaded;
  EXPECT_EQ(loadRegistration(loaded, path.c_str()), 0);
  ASSERT_EQ(loaded.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(loaded[i].module, saved[i].module);
    EXPECT_EQ(loaded[i].banks, saved[i].banks);
    EXPECT_EQ(loaded[i].pistons, saved[i].pistons);
    EXPECT_EQ(loaded[i].size, saved[i].size);
    EXPECT_EQ(loaded[i].data, saved[i].data);
  }
  std::remove(path.c_str());
}

TEST(RegistrationFile, LinesEndedByCarriageReturnsAreRead) {
  const std::string path = tempPath("registration_crlf.reg");
  writeFile(path, "reg 1\r\nmod 0 banks 1 pistons 4 size 16\r\n" + std::string(128, 'B') + "\r\n");
  RegistrationSet loaded;
  EXPECT_EQ(loadRegistration(loaded, path.c_str()), 0);
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].data, std::string(128, 'B'));
  std::remove(path.c_str());
}

TEST(RegistrationFile, LoadRefusesEveryMalformedFile) {
  const std::string data = std::string(128, '0') + "\n";
  const std::string header = "mod 0 banks 1 pistons 4 size 16\n";
  struct Case {
    const char* name;
    std::string text;
    const char* message;  // %s is the file name
    std::size_t recordsKept;
  };
  const Case cases[] = {
      {"empty", "", "Unable to read from file %s\n", 0},
      {"no space", "reg1\n", "File %s does not appear to be a legal registration file (1)\n", 0},
      {"short first line", "re\n", "File %s does not appear to be a legal registration file (1)\n", 0},
      {"not reg", "rex 1\n", "File %s does not appear to be a legal registration file (2)\n", 0},
      {"version", "reg 2\n", "File %s does not have a legal version number (2)\n", 0},
      {"no records", "reg 1\n", "No valid data found in file %s\n", 0},
      {"keyword", "reg 1\nmod 0 bank 1 pistons 4 size 16\n" + data, "Syntax error in file %s\n", 0},
      {"missing number", "reg 1\nmod 0 banks 1 pistons 4 size\n" + data, "Syntax error in file %s\n", 0},
      {"double space", "reg 1\nmod  0 banks 1 pistons 4 size 16\n" + data, "Syntax error in file %s\n", 0},
      {"not a number", "reg 1\nmod 0 banks x pistons 4 size 16\n" + data, "Syntax error in file %s\n", 0},
      {"negative", "reg 1\nmod 0 banks -1 pistons 4 size 16\n" + data, "Syntax error in file %s\n", 0},
      {"too large", "reg 1\nmod 0 banks 256 pistons 255 size 255\n" + data, "Syntax error in file %s\n", 0},
      {"bad module", "reg 1\nmod 50 banks 1 pistons 4 size 16\n" + data, "Syntax error in file %s\n", 0},
      {"no data line", "reg 1\n" + header, "Syntax error in file %s\n", 0},
      {"data one short", "reg 1\n" + header + std::string(127, '0') + "\n", "Syntax error in file %s\n", 0},
      {"data one long", "reg 1\n" + header + std::string(129, '0') + "\n", "Syntax error in file %s\n", 0},
      {"data without line feed", "reg 1\n" + header + std::string(128, '0'), "Syntax error in file %s\n", 0},
      {"data not hex", "reg 1\n" + header + std::string(127, '0') + "g\n", "Syntax error in file %s\n", 0},
      {"second record bad", "reg 1\n" + header + data + "mod 1 banks 1\n", "Syntax error in file %s\n", 1},
      // Lines are read at most a module's memory in hex digits long, whatever the file holds.
      {"endless header line", "reg 1\nmod 0 banks 1 pistons 4 size 16" + std::string(300000, ' ') + "\n" + data,
       "Syntax error in file %s\n", 0},
      {"data line beyond a module's memory", "reg 1\n" + header + std::string(3 * 0x10000, '0') + "\n",
       "Syntax error in file %s\n", 0},
      {"blank line after records", "reg 1\n" + header + data + "\n", "Syntax error in file %s\n", 1},
  };
  const std::string path = tempPath("registration_bad.reg");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(path, c.text);
    RegistrationSet set;
    int result = 0;
    const auto out = runCaptured([&] { result = loadRegistration(set, path.c_str()); });
    EXPECT_EQ(result, 1);
    char expected[512];
    std::snprintf(expected, sizeof expected, c.message, path.c_str());
    EXPECT_EQ(out.output, expected);
    EXPECT_EQ(set.size(), c.recordsKept);
  }
  std::remove(path.c_str());
  RegistrationSet set;
  const auto out = runCaptured([&] { EXPECT_EQ(loadRegistration(set, path.c_str()), 1); });
  EXPECT_EQ(out.output, "File " + path + " could not be opened for reading\n");
}

}  // namespace
}  // namespace plenum
