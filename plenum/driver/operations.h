#pragma once
// The actions of the command-line options that talk to the modules or to files, one
// function each, in the order of the option table. Each runs when its option is reached.

namespace plenum {

void runMonitor();                                  // -L
void executeModules();                              // -E
void haltModules();                                 // -H
void resetMidi();                                   // -R, and after a download
void reportVersions();                              // -V
int saveRegistrationFile(const char* fileName);     // -S; 0 on success
int loadRegistrationFile(const char* fileName);     // -U; 0 on success
int copyRegistrationBank(int bank);                 // -C; 0 on success
void verifyExecutiveStandard();                     // -v
void verifyExecutiveFile(const char* fileName);     // -w
void programCodeFromFile(const char* fileName);     // -p
void reprogramExecutiveStandard();                  // -%
void reprogramExecutiveFile(const char* fileName);  // -^
void runLoopDiagnostic(int passes);                 // -D

// Compiles the configuration file and, unless only a compile was asked for, downloads
// it into the module chain.
void downloadConfigurationFile(const char* fileName);

// Closes the MIDI devices if they are open; run by the exit and interrupt handlers, so
// it must be safe to call more than once.
void closeMidiPort();

}  // namespace plenum
