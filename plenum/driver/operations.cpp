#include "plenum/driver/operations.h"

#include "plenum/driver/names_option.h"
#include "plenum/midi/current_port.h"
#include "plenum/midi/monitor.h"
#include "plenum/protocol/chain_control.h"
#include "plenum/protocol/chain_inquiry.h"
#include "plenum/protocol/console_check.h"
#include "plenum/protocol/download.h"
#include "plenum/protocol/executive.h"
#include "plenum/protocol/loop_diagnostic.h"
#include "plenum/protocol/registration_options.h"
#include "plenum/runtime/settings.h"

namespace plenum {

void runMonitor() { monitorMidi(currentPort(), stdin, monitorNamer()); }

void executeModules() { broadcastCommand(settings().startModule, "E"); }

void haltModules() { broadcastCommand(settings().startModule, "H"); }

void resetMidi() { sendSystemReset(); }

void reportVersions() { reportModuleVersions(); }

namespace {

bool failedInRun = false;

int noted(int result) {
  if (result != 0) failedInRun = true;
  return result;
}

}  // namespace

int saveRegistrationFile(const char* fileName) { return noted(saveRegistrationOption(fileName)); }
int loadRegistrationFile(const char* fileName) { return noted(loadRegistrationOption(fileName)); }
int copyRegistrationBank(int bank) { return noted(copyRegistrationOption(bank)); }

// The verify has printed every difference.
int verifyExecutiveStandard() { return noted(verifyExecutive(settings().startModule, "")); }
int verifyExecutiveFile(const char* fileName) {
  return noted(verifyExecutive(settings().startModule, fileName));
}

// A file that cannot be read has been reported.
int programCodeFromFile(const char* fileName) {
  return noted(programCodeFile(settings().startModule, fileName));
}

int reprogramExecutiveStandard() { return noted(programExecutive(settings().startModule, "")); }
int reprogramExecutiveFile(const char* fileName) {
  return noted(programExecutive(settings().startModule, fileName));
}

void runLoopDiagnostic(int passes) { loopDiagnostic(passes); }

void downloadConfigurationFile(const char* fileName) {
  downloadConfiguration(fileName, settings().startModule);
}

int checkConsoleFile(const char* fileName) { return checkConsole(fileName, settings().startModule); }

bool anActionFailedInRun() { return failedInRun; }

void closeMidiPort() { closeCurrentPort(); }

}  // namespace plenum
