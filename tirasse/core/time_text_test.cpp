#include "tirasse/core/time_text.h"

#include <gtest/gtest.h>

namespace tirasse {
namespace {

TEST(MinutesAndSeconds, ShowsMinutesAndTwoDigitSecondsRoundedDown) {
  const struct {
    long long milliseconds;
    const char* shown;
  } cases[] = {{0, "0:00"},       {999, "0:00"},      {59999, "0:59"}, {60000, "1:00"},
               {187000, "3:07"}, {6000000, "100:00"}, {-5, "0:00"}};
  for (const auto& c : cases) EXPECT_EQ(minutesAndSeconds(c.milliseconds), c.shown) << c.milliseconds;
}

}  // namespace
}  // namespace tirasse
