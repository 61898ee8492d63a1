#include "plenum/driver/operations.h"

#include "plenum/midi/current_port.h"
#include "plenum/driver/settings.h"
#include "plenum/midi/monitor.h"
#include "plenum/protocol/chain_control.h"
#include "plenum/protocol/chain_inquiry.h"
#include "plenum/protocol/download.h"
#include "plenum/protocol/executive.h"
#include "plenum/protocol/loop_diagnostic.h"
#include "plenum/protocol/registration_options.h"

namespace plenum {

void runMonitor() { monitorMidi(currentPort()); }

void executeModules() { broadcastCommand(settings().startModule, "E"); }

void haltModules() { broadcastCommand(settings().startModule, "H"); }

void resetMidi() { sendSystemReset(); }

void reportVersions() { reportModuleVersions(); }

int saveRegistrationFile(const char* fileName) { return saveRegistrationOption(fileName); }

int loadRegistrationFile(const char* fileName) { return loadRegistrationOption(fileName); }

int copyRegistrationBank(int bank) { return copyRegistrationOption(bank); }

// The verify has printed every difference; the run goes on with the next option.
void verifyExecutiveStandard() { verifyExecutive(settings().startModule, ""); }

void verifyExecutiveFile(const char* fileName) {
  verifyExecutive(settings().startModule, fileName);
}

// A file that cannot be read has been reported; the run goes on with the next option.
void programCodeFromFile(const char* fileName) {
  programCodeFile(settings().startModule, fileName);
}

void reprogramExecutiveStandard() { programExecutive(settings().startModule, ""); }

void reprogramExecutiveFile(const char* fileName) {
  programExecutive(settings().startModule, fileName);
}

void runLoopDiagnostic(int passes) { loopDiagnostic(passes); }

void downloadConfigurationFile(const char* fileName) {
  downloadConfiguration(fileName, settings().startModule);
}

void closeMidiPort() { closeCurrentPort(); }

}  // namespace plenum
