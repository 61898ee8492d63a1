#!/bin/sh
# Runs plenum through the real MIDI port code (RtMidi on JACK) against norvo-loop.
# usage: jack_loop_test.sh PLENUM NORVO_LOOP     exit 0 pass, 1 fail, 77 skipped
plenum=$1
norvo=$2
. "$(dirname "$0")/jack_session.sh"
export PLENUM_MIDI_API=jack
start_jack plenum-test
start_loop

# The port opens through RtMidiPort on the loop's ports (one device each way, no -i / -o).
echo | timeout 30 "$plenum" -L >"$work/monitor.out" 2>"$work/monitor.err"
status=$?
if [ $status -ne 0 ] || ! grep -q "Monitoring for MIDI input" "$work/monitor.out"; then
  echo "FAIL: plenum -L on JACK ended with status $status:"; cat "$work/monitor.out" "$work/monitor.err"; exit 1
fi

timeout 30 "$plenum" -V >"$work/version.out" 2>"$work/version.err"
status=$?
if [ $status -ne 0 ] || ! grep -q "Module 1: Type B Firmware version A.3.1.0" "$work/version.out"; then
  echo "FAIL: plenum -V on JACK ended with status $status:"; cat "$work/version.out" "$work/version.err"; exit 1
fi
# The loop test sends SysEx of 71 bytes round the loop through the real port code.
timeout 60 "$plenum" -D 20 >"$work/loop_test.out" 2>"$work/loop_test.err"
status=$?
if [ $status -ne 0 ] || grep -q "differ\|Returned string" "$work/loop_test.out"; then
  echo "FAIL: plenum -D 20 on JACK ended with status $status:"; cat "$work/loop_test.out" "$work/loop_test.err"; exit 1
fi
echo "PASS"
