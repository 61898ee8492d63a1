#pragma once
// The actions of the command-line options that talk to the modules or to files, one
// function each, in the order of the option table. Each runs when its option is reached.
// An action that fails without ending the run (a registration not saved or stored, a
// firmware file that cannot be read, an executive that differs or could not be
// reprogrammed) has printed its message; the run goes on with the next option and then
// ends with status 1, so that a script never takes the failure for success.

namespace plenum {

void runMonitor();                                  // -L
void executeModules();                              // -E
void haltModules();                                 // -H
void resetMidi();                                   // -R, and after a download
void reportVersions();                              // -V
int saveRegistrationFile(const char* fileName);     // -S; 0 on success
int loadRegistrationFile(const char* fileName);     // -U; 0 on success
int copyRegistrationBank(int bank);                 // -C; 0 on success
int verifyExecutiveStandard();                      // -v; 0 when every module verified
int verifyExecutiveFile(const char* fileName);      // -w; 0 when every module verified
int programCodeFromFile(const char* fileName);      // -p; 0 on success
int reprogramExecutiveStandard();                   // -%; 0 on success
int reprogramExecutiveFile(const char* fileName);   // -^; 0 on success
void runLoopDiagnostic(int passes);                 // -D

// Compiles the configuration file and, unless only a compile was asked for, downloads
// it into the module chain.
void downloadConfigurationFile(const char* fileName);

// Compares the modules with what the configuration file compiles to (--check); returns
// the check's status: 0 all the same, 5 a module differs, 6 the module count differs.
int checkConsoleFile(const char* fileName);

// Whether an action of this run failed and let the run go on.
bool anActionFailedInRun();

// Closes the MIDI devices if they are open; run by the exit and interrupt handlers, so
// it must be safe to call more than once.
void closeMidiPort();

}  // namespace plenum
