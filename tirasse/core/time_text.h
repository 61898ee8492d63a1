#pragma once
// Times as the windows show them.

#include <string>

namespace tirasse {

// Minutes and seconds of a time in milliseconds, as "3:07"; negative times show as 0:00.
std::string minutesAndSeconds(long long milliseconds);

}  // namespace tirasse
