#include "plenum/runtime/settings.h"

namespace plenum {

namespace {
Settings theSettings;
}

Settings& settings() { return theSettings; }

void resetSettings() { theSettings = Settings{}; }

}  // namespace plenum
