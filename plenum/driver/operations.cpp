#include "plenum/driver/operations.h"

#include <cstdio>

#include "plenum/driver/exits.h"
#include "plenum/midi/current_port.h"
#include "plenum/driver/settings.h"
#include "plenum/midi/monitor.h"
#include "plenum/protocol/download.h"
#include "plenum/protocol/registration_options.h"

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

int saveRegistrationFile(const char* fileName) { return saveRegistrationOption(fileName); }

int loadRegistrationFile(const char* fileName) { return loadRegistrationOption(fileName); }

int copyRegistrationBank(int bank) { return copyRegistrationOption(bank); }

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

void downloadConfigurationFile(const char* fileName) {
  downloadConfiguration(fileName, settings().startModule);
}

void closeMidiPort() { closeCurrentPort(); }

}  // namespace plenum
