// The text of a console check's verdict on one module.

#include <cstdio>
#include <string>

#include "plenum/protocol/console_check.h"

namespace plenum {

namespace {

std::string hexAddress(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04x", address);
  return text;
}

// Page addresses, a run of three or more adjacent differing pages shortened to its first
// and last page: a module that never got the program differs on every page.
std::string pageList(const std::vector<PageDifference>& pages) {
  std::string text;
  for (std::size_t i = 0; i < pages.size();) {
    std::size_t last = i;
    while (last + 1 < pages.size() && pages[last].status == 'N' && pages[last + 1].status == 'N' &&
           pages[last + 1].address == pages[last].address + pages[last].length) {
      ++last;
    }
    if (!text.empty()) text += ", ";
    if (last - i >= 2) {
      text += hexAddress(pages[i].address) + " to " + hexAddress(pages[last].address);
      i = last + 1;
      continue;
    }
    text += hexAddress(pages[i].address);
    if (pages[i].status != 'N') text += std::string(" (answer ") + pages[i].status + ")";
    ++i;
  }
  return text;
}

std::string areaLine(const char* name, const AreaComparison& area) {
  if (area.differing.empty()) return "";
  char head[96];
  std::snprintf(head, sizeof head, "  %s: %zu of %zu page%s differ%s: ", name,
                area.differing.size(), area.pages, area.pages == 1 ? "" : "s",
                area.differing.size() == 1 ? "s" : "");
  return head + pageList(area.differing) + "\n";
}

}  // namespace

std::string describeComparison(const ModuleComparison& comparison) {
  if (comparison.same()) return "same\n";
  std::string text = "differs\n";
  if (comparison.typeDiffers()) {
    char line[96];
    std::snprintf(line, sizeof line, "  type %c, the definition says type %c\n",
                  comparison.reportedType, comparison.definedType);
    return text + line;
  }
  text += areaLine("relay code", comparison.relayCode);
  text += areaLine("user program", comparison.program);
  return text;
}

}  // namespace plenum
