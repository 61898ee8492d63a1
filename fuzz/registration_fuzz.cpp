// Fuzz target: a registration file through loadRegistration. Whatever it accepts must
// save and load again to the same records.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "plenum/protocol/registration.h"
#include "plenum/protocol/registration_file.h"

namespace {
bool sameRecords(const plenum::RegistrationSet& a, const plenum::RegistrationSet& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].module != b[i].module || a[i].banks != b[i].banks || a[i].pistons != b[i].pistons ||
        a[i].size != b[i].size || a[i].data != b[i].data) {
      return false;
    }
  }
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  plenum::fuzz::silenceStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = plenum::fuzz::writeScratchFile(data, size);
  plenum::RegistrationSet set;
  if (plenum::loadRegistration(set, path.c_str()) != 0) return 0;
  if (set.empty()) std::abort();  // success means at least one record
  const std::string saved = path + ".saved";
  if (plenum::saveRegistration(set, saved.c_str()) != 0) std::abort();
  plenum::RegistrationSet again;
  const int reloaded = plenum::loadRegistration(again, saved.c_str());
  std::remove(saved.c_str());
  if (reloaded != 0 || !sameRecords(set, again)) std::abort();
  return 0;
}
