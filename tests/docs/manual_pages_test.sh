#!/bin/sh
# The commands the manual pages show, run on a real MIDI system: a private JACK dummy server
# with norvo-loop on it standing for the modules (two type B, the second with a combination
# action of 8 banks), so that -V, a download and the registration examples act as on a
# console. The examples' firmware files stand for the manufacturer's.
# usage: manual_pages_test.sh PLENUM NORVO_LOOP EXAMPLES PAGE...   exit 0 pass, 1 fail, 77 skipped
plenum=$1
norvo=$2
examples=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
case $norvo in /*) ;; *) norvo=$PWD/$norvo ;; esac
. "$here/../jack/jack_session.sh"
unset PLENUM_MIDI_API PLENUM_LOOP
export PLENUM_MIDI_API=jack
command -v python3 >/dev/null || { echo "SKIP: python3 is not installed"; exit 77; }
start_jack plenum-test
# The simulated modules load their executive from the firmware files of their folder.
cd "$examples/firmware"
start_loop B,B,combi=1:8:64:2
cd - >/dev/null
python3 "$here/doc_commands.py" --retry "$(dirname "$plenum")" "$examples" "$@"
