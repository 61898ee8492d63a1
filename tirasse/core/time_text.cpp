#include "tirasse/core/time_text.h"

#include <algorithm>
#include <cstdio>

namespace tirasse {

std::string minutesAndSeconds(long long milliseconds) {
  const long long seconds = std::max(0LL, milliseconds) / 1000;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
  return text;
}

}  // namespace tirasse
