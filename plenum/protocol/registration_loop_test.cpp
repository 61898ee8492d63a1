// Fetch and store against simulated modules: what reaches the modules' memory, and what
// is refused before anything is written.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "plenum/protocol/registration.h"
#include "plenum/protocol/registration_file.h"
#include "plenum/protocol/registration_options.h"
#include "plenum/protocol/testing/scripted_port.h"
#include "plenum/runtime/settings.h"
#include "plenum/simulator/module_chain.h"
#include "plenum/simulator/testing/loop_layout_testing.h"

namespace plenum {
namespace {

using testing::Outcome;
using testing::runCaptured;

// A scripted port whose replies come from a chain of simulated modules.
class RegistrationLoopTest : public testing::ScriptedPortTest {
 protected:
  void useLoop(const std::string& text) {
    chain = std::make_unique<ModuleChain>(testing_support::layoutOf(text), FirmwareShelf{});
    port->respond = [this](const Bytes& frame) {
      std::vector<testing::ScriptedReply> replies;
      LoopOutcome outcome = chain->passSysex(frame, LoopClock::now());
      if (outcome.frame) replies.push_back({*outcome.frame, outcome.extraDelayMs});
      return replies;
    };
  }
  // The bytes of bank `bank` of a module whose banks hold `bankBytes` bytes.
  std::vector<std::uint8_t> bankOf(int module, int bank, std::uint32_t bankBytes) {
    SimulatedModule& m = chain->module(module);
    const std::uint32_t start = m.registrationBase() - static_cast<std::uint32_t>(bank + 1) * bankBytes;
    std::vector<std::uint8_t> bytes(bankBytes);
    for (std::uint32_t i = 0; i < bankBytes; ++i) bytes[i] = m.peek(start + i);
    return bytes;
  }
  void fillBank(int module, int bank, std::uint32_t bankBytes, std::uint8_t value) {
    SimulatedModule& m = chain->module(module);
    const std::uint32_t start = m.registrationBase() - static_cast<std::uint32_t>(bank + 1) * bankBytes;
    for (std::uint32_t i = 0; i < bankBytes; ++i) m.poke(start + i, value);
  }
  std::vector<std::uint8_t> areaOf(int module, std::uint32_t from, std::uint32_t to) {
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t a = from; a < to; ++a) bytes.push_back(chain->module(module).peek(a));
    return bytes;
  }

  std::unique_ptr<ModuleChain> chain;
};

constexpr std::uint32_t kBank = 640;  // 40 pistons of 16 bytes

TEST_F(RegistrationLoopTest, FetchReadsEveryBankOfEveryModuleWithCombinationAction) {
  useLoop("B,A,C,combi=0:8:40:16,combi=2:2:4:16");
  RegistrationSet set;
  const Outcome out = runCaptured([&] { EXPECT_EQ(fetchRegistration(set, false, -1, -1), 0); });
  EXPECT_EQ(out.output,
            "Found pistons: Mod 0, Banks 8, Pistons 40, Size 16\n 1 2\n"
            "Found pistons: Mod 2, Banks 2, Pistons 4, Size 16\n");
  ASSERT_EQ(set.size(), 2u);
  EXPECT_EQ(set[0].module, 0);
  EXPECT_TRUE(set[0].isTypeB);
  EXPECT_EQ(set[0].banks, 8);
  ASSERT_EQ(set[0].data.size(), 10240u);
  // Lowest address first: bank 7 opens the data, bank 0 ends it.
  char expected[3];
  const std::vector<std::uint8_t> bank7 = bankOf(0, 7, kBank);
  std::snprintf(expected, sizeof expected, "%02X", bank7[1]);
  EXPECT_EQ(set[0].data.substr(2, 2), expected);
  const std::vector<std::uint8_t> bank0 = bankOf(0, 0, kBank);
  std::snprintf(expected, sizeof expected, "%02X", bank0.back());
  EXPECT_EQ(set[0].data.substr(10238, 2), expected);
  EXPECT_FALSE(set[1].isTypeB);
  EXPECT_EQ(set[1].data.size(), 256u);  // 128 bytes: two reads
}

TEST_F(RegistrationLoopTest, FetchClampsTheBankRangeAndRefusesAFirstBankBeyondIt) {
  useLoop("B,combi=0:8:40:16");
  RegistrationSet set;
  Outcome out = runCaptured([&] { EXPECT_EQ(fetchRegistration(set, false, 6, 4), 0); });
  EXPECT_EQ(out.output,
            "Found pistons: Mod 0, Banks 8, Pistons 40, Size 16\n"
            "Module 0 has only 8 memories, but memory 9 was requested\n"
            "Only fetching up to bank 7\n");
  ASSERT_EQ(set.size(), 1u);
  EXPECT_EQ(set[0].banks, 2);
  EXPECT_EQ(set[0].firstBank, 6);
  EXPECT_EQ(set[0].data.size(), 2 * 2 * kBank);

  out = runCaptured([&] { EXPECT_EQ(fetchRegistration(set, false, 8, 1), 1); });
  EXPECT_EQ(out.output,
            "Found pistons: Mod 0, Banks 8, Pistons 40, Size 16\n"
            "Module 0 has only 8 memories, but memory 8 was requested\n");
  EXPECT_EQ(set.size(), 1u);
}

TEST_F(RegistrationLoopTest, FetchRefusesMalformedReplies) {
  struct Case {
    const char* loop;
    const char* message;
  };
  const Case cases[] = {
      // Request 1 counts, 2 asks the version, 3 reads the information block.
      {"B,combi=0:1:40:16,truncate=3", "Expected 139, got 138\n"},
      {"B,combi=0:1:40:16,truncate=4", "Expected 129, got 128\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.loop);
    useLoop(c.loop);
    RegistrationSet set;
    const Outcome out = runCaptured([&] { EXPECT_EQ(fetchRegistration(set, false, -1, -1), 1); });
    EXPECT_NE(out.output.find(c.message), std::string::npos) << out.output;
    EXPECT_TRUE(set.empty());
  }
}

TEST_F(RegistrationLoopTest, FetchRefusesABlockThatIsNotHexadecimal) {
  useLoop("B,combi=0:1:40:16");
  auto passThrough = port->respond;
  port->respond = [passThrough](const Bytes& frame) {
    std::vector<testing::ScriptedReply> replies = passThrough(frame);
    if (testing::payloadText(frame).substr(0, 6) == "NRe580") replies[0].frame[40] = 'g';
    return replies;
  };
  RegistrationSet set;
  const Outcome out = runCaptured([&] { EXPECT_EQ(fetchRegistration(set, false, -1, -1), 1); });
  EXPECT_EQ(out.output,
            "Found pistons: Mod 0, Banks 1, Pistons 40, Size 16\n"
            "Module 0 sent a memory block that is not hexadecimal\n");
  EXPECT_TRUE(set.empty());
}

TEST_F(RegistrationLoopTest, FetchRefusesAnInformationBlockThatOverrunsMemory) {
  useLoop("A");
  const std::uint32_t info = chain->module(0).registrationInfoAddress();
  chain->module(0).poke(info + 50, 255);  // size
  chain->module(0).poke(info + 53, 255);  // pistons
  chain->module(0).poke(info + 54, 255);  // 256 banks: 16 MB
  RegistrationSet set;
  const Outcome out = runCaptured([&] { EXPECT_EQ(fetchRegistration(set, false, -1, -1), 1); });
  EXPECT_EQ(out.output, "Module 0 reports 256 memory banks of 255 pistons of 255 bytes, more than its memory holds\n");
  EXPECT_EQ(port->sentSysex.size(), 3u);  // no bank was read
}

TEST_F(RegistrationLoopTest, SaveChangeLoadRestoresEveryByte) {
  useLoop("B,A,combi=0:8:40:16,combi=1:4:16:16");
  const std::vector<std::uint8_t> before0 = areaOf(0, 0xE800 - 8 * kBank, 0xE800);
  const std::vector<std::uint8_t> before1 = areaOf(1, 0xF000 - 4 * 256, 0xF000);
  const std::string file = ::testing::TempDir() + "registration_round_trip.reg";
  runCaptured([&] {
    RegistrationSet set;
    ASSERT_EQ(fetchRegistration(set, false, -1, -1), 0);
    ASSERT_EQ(saveRegistration(set, file.c_str()), 0);
  });
  for (int bank = 0; bank < 8; ++bank) fillBank(0, bank, kBank, 0xEE);
  for (int bank = 0; bank < 4; ++bank) fillBank(1, bank, 256, 0x11);
  const Outcome out = runCaptured([&] {
    RegistrationSet loaded;
    ASSERT_EQ(loadRegistration(loaded, file.c_str()), 0);
    EXPECT_EQ(storeRegistration(loaded, -1, -1), 0);
  });
  EXPECT_EQ(areaOf(0, 0xE800 - 8 * kBank, 0xE800), before0);
  EXPECT_EQ(areaOf(1, 0xF000 - 4 * 256, 0xF000), before1);
  // 40 blocks of 128 into the type B module print one progress number.
  EXPECT_NE(out.output.find(" 1\n"), std::string::npos) << out.output;
  std::remove(file.c_str());
}

TEST_F(RegistrationLoopTest, RecordsLoadByPositionAndAnotherModuleNumberIsNamedOnStderr) {
  useLoop("B,B,combi=1:2:40:16");
  RegistrationSet set;
  runCaptured([&] { ASSERT_EQ(fetchRegistration(set, false, -1, -1), 0); });
  ASSERT_EQ(set.size(), 1u);
  const std::vector<std::uint8_t> saved = bankOf(1, 0, kBank);
  struct Case {
    int moduleInFile;
    const char* said;
  };
  for (const Case& c : {Case{1, ""},
                        Case{0, "the registration of module 0 goes to module 1: records load by position\n"}}) {
    set[0].module = c.moduleInFile;
    fillBank(1, 0, kBank, 0);
    ::testing::internal::CaptureStderr();
    runCaptured([&] { EXPECT_EQ(storeRegistration(set, -1, -1), 0); });
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.said);
    EXPECT_EQ(bankOf(1, 0, kBank), saved) << "stored all the same";
  }
}

TEST_F(RegistrationLoopTest, StoreWritesOnlyTheRegistrationArea) {
  useLoop("B,combi=0:2:40:16");
  const std::uint32_t low = 0xE800 - 2 * kBank;
  chain->module(0).poke(low - 1, 0x5A);
  chain->module(0).poke(0xE800, 0xA5);
  RegistrationSet set;
  runCaptured([&] { ASSERT_EQ(fetchRegistration(set, false, -1, -1), 0); });
  fillBank(0, 0, kBank, 0);
  runCaptured([&] { EXPECT_EQ(storeRegistration(set, -1, -1), 0); });
  EXPECT_EQ(chain->module(0).peek(low - 1), 0x5A);
  EXPECT_EQ(chain->module(0).peek(0xE800), 0xA5);
  EXPECT_EQ(chain->module(0).peek(0xE800 - 1), (0 * 16 + kBank - 1) & 0xFF);
}

TEST_F(RegistrationLoopTest, CopyIntoConsecutiveBanks) {
  useLoop("B,C,combi=0:8:40:16,combi=1:8:16:16");
  const std::uint32_t bankBytes[] = {kBank, 256};
  const std::vector<std::uint8_t> bank4 = bankOf(0, 4, kBank);
  settings().startModule = 5;
  settings().bankCount = 3;
  const Outcome out = runCaptured([&] { EXPECT_EQ(copyRegistrationOption(2), 0); });
  EXPECT_EQ(out.output.find("has only"), std::string::npos) << out.output;
  for (int module = 0; module < 2; ++module) {
    const std::vector<std::uint8_t> bank2 = bankOf(module, 2, bankBytes[module]);
    EXPECT_NE(bank2, bankOf(module, 1, bankBytes[module]));
    for (int bank = 5; bank < 8; ++bank) EXPECT_EQ(bankOf(module, bank, bankBytes[module]), bank2) << bank;
  }
  EXPECT_EQ(bankOf(0, 4, kBank), bank4);
  // Every copy restarts each module after writing it.
  int restarts = 0;
  for (const Bytes& sent : port->sentSysex)
    if (testing::payloadText(sent).substr(1) == "E") ++restarts;
  EXPECT_EQ(restarts, 6);
  EXPECT_EQ(out.exitStatus, -1);
}

TEST_F(RegistrationLoopTest, CopyWithDefaultsWritesTheBankJustBelowTheBase) {
  useLoop("B,combi=0:8:40:16");
  const std::vector<std::uint8_t> bank1 = bankOf(0, 1, kBank);
  const std::vector<std::uint8_t> bank2 = bankOf(0, 2, kBank);
  runCaptured([&] { EXPECT_EQ(copyRegistrationOption(2), 0); });
  EXPECT_EQ(bankOf(0, 0, kBank), bank2);
  EXPECT_EQ(bankOf(0, 1, kBank), bank1);
}

TEST_F(RegistrationLoopTest, StoreRefusalsWriteNothing) {
  useLoop("B,A,combi=0:8:40:16,combi=1:1:40:16");
  RegistrationSet fetched;
  runCaptured([&] { ASSERT_EQ(fetchRegistration(fetched, false, -1, -1), 0); });
  RegistrationSet oneBank;
  runCaptured([&] { ASSERT_EQ(fetchRegistration(oneBank, false, 0, 1), 0); });

  RegistrationSet onlyOne(fetched.begin(), fetched.begin() + 1);
  RegistrationSet otherPistons = fetched;
  otherPistons[1].pistons = 20;
  RegistrationSet moreBanks = fetched;
  moreBanks[1] = fetched[0];
  RegistrationSet otherSize = fetched;
  otherSize[0].size = 8;
  struct Case {
    const char* name;
    const RegistrationSet* set;
    int bank;
    int copies;
    const char* message;
  };
  const RegistrationSet empty;
  const Case cases[] = {
      {"empty set", &empty, -1, -1, "There is no registration to store\n"},
      {"copies of several banks", &fetched, 0, 3, "Request to save 3 copies, but 8 memory banks supplied\n"},
      {"fewer records than modules", &onlyOne, -1, -1,
       "The number of modules with combination action in the connected\n system (2) does not agree with the "
       "number in the supplied file (1)\n"},
      {"one bank of several", &fetched, 1, 1,
       "Request to load specific memory bank, but data suppliedhas multiple banks\n"},
      {"bank beyond a module", &oneBank, 1, 1,
       "Request to load registration into memory bank 1 of module 1,\nwhich has only 1 memory banks\n"},
      {"pistons", &otherPistons, -1, -1,
       "The number of pistons in module 1 (40) is not the same\nas the number of pistons in the supplied file (20)\n"},
      {"size", &otherSize, -1, -1,
       "The byte size of a preset in module 0 (16) is not the same\nas the byte size of a preset in the supplied "
       "file (8)\n"},
      {"more banks than a module", &moreBanks, -1, -1, "The supplied file holds 8 memory banks, but module 1 has only 1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t sentBefore = port->sentSysex.size();
    const Outcome out = runCaptured([&] { EXPECT_EQ(storeRegistration(*c.set, c.bank, c.copies), 1); });
    EXPECT_NE(out.output.find(c.message), std::string::npos) << out.output;
    for (std::size_t k = sentBefore; k < port->sentSysex.size(); ++k)
      EXPECT_NE(testing::payloadText(port->sentSysex[k])[1], 'Y') << "a write was sent";
  }
}

TEST_F(RegistrationLoopTest, StoreRefusesBanksThatAreNotWholeWriteBlocks) {
  useLoop("B,combi=0:2:4:16");  // 64-byte banks, type B writes 128-byte blocks
  RegistrationSet set;
  runCaptured([&] { ASSERT_EQ(fetchRegistration(set, false, 1, 1), 0); });
  const std::vector<std::uint8_t> area = areaOf(0, 0xE800 - 256, 0xE800 + 64);
  const Outcome out = runCaptured([&] { EXPECT_EQ(storeRegistration(set, 0, 1), 1); });
  EXPECT_NE(out.output.find("is not made of whole 128-byte blocks; nothing was stored"), std::string::npos)
      << out.output;
  EXPECT_EQ(areaOf(0, 0xE800 - 256, 0xE800 + 64), area);
}

TEST_F(RegistrationLoopTest, AWriteThatIsNotDoneFailsTheStore) {
  useLoop("A,combi=0:1:4:16");
  RegistrationSet set;
  runCaptured([&] { ASSERT_EQ(fetchRegistration(set, false, -1, -1), 0); });
  auto passThrough = port->respond;
  port->respond = [passThrough](const Bytes& frame) {
    std::vector<testing::ScriptedReply> replies = passThrough(frame);
    if (testing::payloadText(frame)[1] == 'Y') replies[0].frame = testing::withStatus(frame, 'E');
    return replies;
  };
  const Outcome out = runCaptured([&] { EXPECT_EQ(storeRegistration(set, -1, -1), 1); });
  EXPECT_EQ(out.output, "Found pistons: Mod 0, Banks 1, Pistons 4, Size 16\nProgramming failed\n");
}

TEST_F(RegistrationLoopTest, AFailedSaveLeavesThePreviousFile) {
  useLoop("B,combi=0:1:40:16,lose=4");
  const std::string file = ::testing::TempDir() + "registration_kept.reg";
  { std::ofstream(file) << "reg 1\nthe organist's work\n"; }
  // A lost reply ends the run through the timeout; the file is not touched.
  const Outcome out = runCaptured([&] { saveRegistrationOption(file.c_str()); });
  EXPECT_NE(out.exceptionText.find("Timeout"), std::string::npos);
  useLoop("B,combi=0:1:40:16,truncate=4");
  runCaptured([&] { EXPECT_EQ(saveRegistrationOption(file.c_str()), 1); });
  std::stringstream kept;
  kept << std::ifstream(file).rdbuf();
  EXPECT_EQ(kept.str(), "reg 1\nthe organist's work\n");
  std::remove(file.c_str());
}

}  // namespace
}  // namespace plenum
