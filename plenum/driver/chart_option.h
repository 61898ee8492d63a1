#pragma once
// --chart and --xref: the wiring chart and the cross-reference of a configuration file,
// compiled without any MIDI traffic (every module counts as type B).
//
//   plenum --chart[=text|csv|html] [--output FILE] config_file
//   plenum --xref [--output FILE] config_file

namespace plenum {

// Both return the run's exit status: 0 written, 1 the file does not compile or the
// output cannot be written, 3 a wrong word on the command line.
int runChartOption(int argc, char** argv);
int runCrossReferenceOption(int argc, char** argv);

}  // namespace plenum
