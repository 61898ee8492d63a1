#include "plenum/simulator/module_chain.h"

#include <gtest/gtest.h>

#include <string>

#include "plenum/simulator/testing/loop_layout_testing.h"

namespace plenum {
namespace {

Frame frameOf(const std::string& payload) {
  Frame frame(payload.size() + 3);
  frame[0] = 0xF0;
  frame[1] = 0x47;
  for (std::size_t i = 0; i < payload.size(); ++i) frame[2 + i] = static_cast<std::uint8_t>(payload[i]);
  frame.back() = 0xF7;
  return frame;
}

using testing_support::layoutOf;

class Chain {
 public:
  explicit Chain(const char* text, FirmwareShelf shelf = {}) : chain_(layoutOf(text), std::move(shelf)) {}
  LoopOutcome send(const std::string& payload) { return chain_.passSysex(frameOf(payload), now_); }
  Frame reply(const std::string& payload) { return send(payload).frame.value_or(Frame{}); }
  ModuleChain& chain() { return chain_; }
  LoopClock::time_point now_ = LoopClock::now();

 private:
  ModuleChain chain_;
};

TEST(ModuleChain, CountComesBackLoweredByEachModule) {
  EXPECT_EQ(Chain("B,B,A").reply("L"), (Frame{0xF0, 0x47, 'L' - 3, 0xF7}));
  EXPECT_EQ(Chain("empty").reply("L"), (Frame{0xF0, 0x47, 'L', 0xF7}));
}

TEST(ModuleChain, VersionRepliesWithAndWithoutTypeByte) {
  Chain chain("A:0x2310,B/A,C/-");
  EXPECT_EQ(chain.reply("NV"), (Frame{0xF0, 0x47, 'N', 'V', 0x23, 0x10, 'A', 0xF7}));
  EXPECT_EQ(chain.reply("OV"), (Frame{0xF0, 0x47, 'O', 'V', 0x03, 0x10, 'A', 0xF7}));  // reports another type
  EXPECT_EQ(chain.reply("PV").size(), 7u);
}

TEST(ModuleChain, HaltExecuteAndPresenceAnswerAndSwitchTheState) {
  Chain chain("B");
  EXPECT_EQ(chain.reply("NH"), frameOf("NHG"));
  EXPECT_FALSE(chain.chain().module(0).running());
  EXPECT_EQ(chain.reply("NE"), frameOf("NEG"));
  EXPECT_TRUE(chain.chain().module(0).running());
  EXPECT_EQ(chain.reply("NN"), frameOf("NNG"));
}

TEST(ModuleChain, ProgramThenVerifyInEveryLetter) {
  Chain chain("B,A");
  EXPECT_EQ(chain.reply("NY1e800102"), frameOf("NY1e800102G"));
  EXPECT_EQ(chain.chain().module(0).peek(0x1E80), 0x01);
  EXPECT_EQ(chain.chain().module(0).peek(0x1E81), 0x02);
  EXPECT_EQ(chain.reply("NZ1e800102"), frameOf("NZ1e800102G"));
  EXPECT_EQ(chain.reply("NZ1e800103"), frameOf("NZ1e800103N"));
  EXPECT_EQ(chain.reply("Np2000AbCd"), frameOf("Np2000AbCdG"));  // either case of hex digits
  EXPECT_EQ(chain.reply("Nc2000abcd"), frameOf("Nc2000abcdG"));
  EXPECT_EQ(chain.reply("OPe00011"), frameOf("OPe00011G"));
  EXPECT_EQ(chain.reply("OCe00011"), frameOf("OCe00011G"));
  // A code letter of the other module type, bad digits, or past the memory's end.
  EXPECT_EQ(chain.reply("NP200011"), frameOf("NP200011E"));
  EXPECT_EQ(chain.reply("Op200011"), frameOf("Op200011E"));
  EXPECT_EQ(chain.reply("NY20001"), frameOf("NY20001E"));
  EXPECT_EQ(chain.reply("NYfffe112233"), frameOf("NYfffe112233E"));
}

TEST(ModuleChain, MemoryReadGivesSixtyFourBytesInHex) {
  Chain chain("B");
  chain.reply("NY1ec0" + std::string(128, '0'));
  chain.chain().module(0).poke(0x1EC0 + 50, 0xAB);
  const Frame frame = chain.reply("NR1ec040");
  ASSERT_EQ(frame.size(), 139u);
  EXPECT_EQ(std::string(frame.begin() + 2, frame.begin() + 10), "NR1ec040");
  EXPECT_EQ(std::string(frame.begin() + 10 + 100, frame.begin() + 10 + 102), "AB");
}

TEST(ModuleChain, CombinationActionIsReadableThroughMemoryReads) {
  Chain chain("A,combi=0:2:4:8");
  const Frame info = chain.reply("NRe04040");
  ASSERT_EQ(info.size(), 139u);
  auto byteAt = [&](int k) { return std::string(info.begin() + 10 + 2 * k, info.begin() + 12 + 2 * k); };
  EXPECT_EQ(byteAt(50), "08");
  EXPECT_EQ(byteAt(53), "04");
  EXPECT_EQ(byteAt(54), "01");
}

TEST(ModuleChain, LoopTestAndUnknownAddressesTravelTheLoop) {
  Chain chain("B,B");
  EXPECT_EQ(chain.reply("~Dabc"), frameOf("~Dabc"));
  EXPECT_EQ(chain.reply("QE"), frameOf("OE"));  // module 3 of 2: back lowered by 2
  EXPECT_FALSE(chain.send("NX").frame);          // an unknown command gets no answer
}

TEST(ModuleChain, FaultsHitTheNumberedRequest) {
  Chain lose("B,lose=2");
  EXPECT_TRUE(lose.send("L").frame);
  EXPECT_FALSE(lose.send("L").frame);
  EXPECT_TRUE(lose.send("L").frame);

  Chain late("B,late=1:1200");
  EXPECT_EQ(late.send("L").extraDelayMs, 1200);

  Chain corrupt("B,corrupt=1");
  EXPECT_EQ(corrupt.reply("NV"), (Frame{0xF0, 0x47, 'N', 'V', 0x03 ^ 1, 0x10, 'B', 0xF7}));

  Chain truncate("B,truncate=1");
  EXPECT_EQ(truncate.reply("NY1e8011"), frameOf("NY1e8011"));

  Chain input("B,inputerror=1");
  const LoopOutcome withError = input.send("L");
  EXPECT_TRUE(withError.inputError);
  EXPECT_TRUE(withError.frame);
}

TEST(ModuleChain, FailVerifyHitsTheNumberedVerifyOrEveryOne) {
  Chain second("B,failverify=2");
  EXPECT_EQ(second.reply("NY1e8011"), frameOf("NY1e8011G"));  // writes do not count
  EXPECT_EQ(second.reply("NZ1e8011"), frameOf("NZ1e8011G"));
  EXPECT_EQ(second.reply("NZ1e8011"), frameOf("NZ1e8011N"));
  EXPECT_EQ(second.reply("NZ1e8011"), frameOf("NZ1e8011G"));
  Chain every("B,failverify");
  EXPECT_EQ(every.reply("NZ1e80"), frameOf("NZ1e80N"));
  EXPECT_EQ(every.reply("NZ1e80"), frameOf("NZ1e80N"));
}

TEST(ModuleChain, StartedFlasherInstallsTheExecutiveAndSilencesTheLoopForAWhile) {
  FirmwareShelf shelf;
  shelf.flashers.push_back({FirmwareSegment{0x0600, {0x12, 0x34}}});
  Chain chain("B,flash=100", std::move(shelf));
  SimulatedModule& module = chain.chain().module(0);
  for (std::uint32_t a = 0; a < 0x800; ++a) module.poke(0xE800 + a, 0x5A);
  for (std::uint32_t a = 0; a < 0x80; ++a) module.poke(0xE480 + a, 0x66);
  EXPECT_EQ(chain.reply("NE"), frameOf("NEG"));  // no flasher yet: the user program starts
  EXPECT_EQ(chain.reply("NY06001234"), frameOf("NY06001234G"));
  EXPECT_FALSE(chain.send("NE").frame);  // the flasher takes over without a word
  EXPECT_EQ(module.peek(0xF800), 0x5A);
  EXPECT_EQ(module.peek(0xFFFF), 0x5A);
  EXPECT_EQ(module.peek(0x0480), 0x66);
  EXPECT_FALSE(chain.send("NN").frame);  // still flashing
  chain.now_ += std::chrono::milliseconds(150);
  EXPECT_EQ(chain.reply("NN"), frameOf("NNG"));
}

TEST(ModuleChain, ExecutiveIsPreloadedFromTheRelayFileOrAFixedPattern) {
  FirmwareShelf shelf;
  shelf.relayB = std::vector<FirmwareSegment>{{0xF800, {0x11, 0x22}}, {0x0480, {0x33}}, {0x2000, {0x44}}};
  Chain withFile("B,C", std::move(shelf));
  EXPECT_EQ(withFile.chain().module(0).peek(0xF800), 0x11);
  EXPECT_EQ(withFile.chain().module(0).peek(0x0480), 0x33);
  EXPECT_EQ(withFile.chain().module(0).peek(0x2000), 0x00);  // relay code is not preloaded
  Chain without("B");
  EXPECT_EQ(without.chain().module(0).peek(0xF800), withFile.chain().module(1).peek(0xF800));
}

}  // namespace
}  // namespace plenum
