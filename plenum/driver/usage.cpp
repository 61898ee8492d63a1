#include "plenum/driver/usage.h"

#include <cstdio>

namespace plenum {

void printBanner(const char* programPath) {
  std::printf("\n%s\n", programPath);
  std::printf("Copyright (c) 2026 the plenum developers; free software without any warranty\n");
}

void printUsage(const char* programPath) {
  std::printf(
      "Usage: %s [-LEHRVPx] [-d debug] [-i input_dev] [-o output_dev]\n"
      "[-m module_number] [-v file] [-p file] [config_file]\n",
      programPath);
  std::printf(
      "\t-L\tlisten on MIDI & interpret\n"
      "\t-E\tExecute user program\n"
      "\t-H\tHalt user program\n"
      "\t-R\tReset MIDI\n"
      "\t-V\tReport Norvo version numbers\n"
      "\t-P\tPause before exiting\n"
      "\t-x\tJust check file for syntax\n"
      "\t-d debug\n"
      "\t\tSelect debug level\n"
      "\t\t1=parse 2=list program 8=list hex\n"
      "\t\t20=disasm\n"
      "\t-i n\tSelect MIDI input device n\n"
      "\t-o n\tSelect MIDI output device n\n"
      "\t-m n\tSelect module n (zero based)\n"
      "\t-v f\tVerify code from file f\n"
      "\t-p f\tProgram code from file f\n"
      "\tconfig_file\n"
      "\t\tConfiguration to compile and program into modules via MIDI\n");
}

}  // namespace plenum
