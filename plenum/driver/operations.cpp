#include "plenum/driver/operations.h"

#include <cstdio>

#include "plenum/driver/exits.h"
#include "plenum/midi/current_port.h"
#include "plenum/midi/monitor.h"

namespace plenum {

namespace {
// An option whose operation is not built yet must not pass for a success.
[[noreturn]] void notAvailable(const char* what) {
  std::printf("%s is not available yet\n", what);
  exitWith(1);
}
}  // namespace

void runMonitor() { monitorMidi(currentPort()); }

void executeModules() { notAvailable("-E (execute user program)"); }

void haltModules() { notAvailable("-H (halt user program)"); }

void resetMidi() { notAvailable("-R (reset MIDI)"); }

void reportVersions() { notAvailable("-V (report versions)"); }

int saveRegistrationFile(const char* /*fileName*/) {
  notAvailable("-S (save registration)");
}

int loadRegistrationFile(const char* /*fileName*/) {
  notAvailable("-U (load registration)");
}

int copyRegistrationBank(int /*bank*/) { notAvailable("-C (copy registration bank)"); }

void verifyExecutiveStandard() { notAvailable("-v (verify executive)"); }

void verifyExecutiveFile(const char* /*fileName*/) {
  notAvailable("-w (verify executive from file)");
}

void programCodeFromFile(const char* /*fileName*/) {
  notAvailable("-p (program code from file)");
}

void reprogramExecutiveStandard() { notAvailable("-% (reprogram executive)"); }

void reprogramExecutiveFile(const char* /*fileName*/) {
  notAvailable("-^ (reprogram executive from file)");
}

void runLoopDiagnostic(int /*passes*/) { notAvailable("-D (loop diagnostic)"); }

void downloadConfigurationFile(const char* /*fileName*/) {
  notAvailable("Compiling and downloading a configuration file");
}

void closeMidiPort() { closeCurrentPort(); }

}  // namespace plenum
