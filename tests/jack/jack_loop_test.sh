#!/bin/sh
# Runs plenum through the real MIDI port code (RtMidi on JACK) against norvo-loop.
# usage: jack_loop_test.sh PLENUM NORVO_LOOP     exit 0 pass, 1 fail, 77 skipped
plenum=$1
norvo=$2
command -v jackd >/dev/null || { echo "SKIP: jackd is not installed"; exit 77; }
work=$(mktemp -d)
# One fixed name: JACK reclaims a dead server's registry entry only for a server of the
# same name, so names that change every run would fill its small table for good.
server="plenum-test"
export JACK_DEFAULT_SERVER="$server" JACK_NO_AUDIO_RESERVATION=1 JACK_NO_START_SERVER=1 PLENUM_MIDI_API=jack
jack_pid=
loop_pid=
cleanup() {
  [ -n "$loop_pid" ] && kill "$loop_pid" 2>/dev/null
  [ -n "$jack_pid" ] && kill "$jack_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
jackd -n "$server" -r -d dummy >"$work/jackd.log" 2>&1 &
jack_pid=$!
sleep 2
kill -0 "$jack_pid" 2>/dev/null || { echo "SKIP: jackd -r -d dummy did not start:"; cat "$work/jackd.log"; exit 77; }

mkfifo "$work/loop_stdin"
"$norvo" B,B <"$work/loop_stdin" >"$work/loop.log" 2>&1 &
loop_pid=$!
exec 3>"$work/loop_stdin"  # keeps norvo-loop running until the script ends
for i in 1 2 3 4 5 6 7 8 9 10; do grep -q "ports" "$work/loop.log" && break; sleep 0.5; done
grep -q "2 module(s) on jack" "$work/loop.log" || { echo "FAIL: norvo-loop did not start:"; cat "$work/loop.log"; exit 1; }

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
