// The pages of the code area that a relay or code file is written and compared in.

#include "plenum/protocol/code_area.h"

#include <gtest/gtest.h>

namespace plenum {
namespace {

TEST(CodeAreaPages, CoverTheFileFromItsStartAndStopAtTheTopBlock) {
  struct Case {
    std::vector<ImageSegment> segments;
    std::uint32_t pageSize;
    std::vector<std::uint32_t> addresses;
    std::uint32_t lastLength;
  };
  const Case cases[] = {
      // Type B relay code from 0x480: pages of 128.
      {{{0x0480, std::vector<std::uint8_t>(0x100, 1)}}, 128, {0x0480, 0x0500}, 128},
      // A page that no byte falls in is left out.
      {{{0x0480, std::vector<std::uint8_t>(0x10, 1)}, {0x0600, std::vector<std::uint8_t>(1, 2)}},
       128, {0x0480, 0x0600}, 128},
      // A start off the page grid: the last page is cut at the end of the code area.
      {{{0xF700, std::vector<std::uint8_t>(0xC0, 1)}, {0xF7F0, std::vector<std::uint8_t>(0x10, 1)}},
       0xC0, {0xF700, 0xF7C0}, 0x40},
  };
  for (const Case& c : cases) {
    FirmwareImage low{c.segments};
    const std::vector<CodePage> pages = codeAreaPages(low, c.pageSize);
    std::vector<std::uint32_t> addresses;
    for (const CodePage& page : pages) addresses.push_back(page.address);
    EXPECT_EQ(addresses, c.addresses);
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages.back().length, c.lastLength);
  }
  EXPECT_TRUE(codeAreaPages(FirmwareImage{}, 128).empty());
}

}  // namespace
}  // namespace plenum
