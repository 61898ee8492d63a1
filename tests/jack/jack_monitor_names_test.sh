#!/bin/sh
# The named monitor over JACK: a sequencer plays notes into norvo-loop, the loop passes them
# to plenum -L, which names them from the configuration given with --names: a Great key the
# file knows, and a note below the Great's keys, which it does not.
# usage: jack_monitor_names_test.sh PLENUM NORVO_LOOP EXAMPLES_DIR   exit 0 pass, 1 fail, 77 skipped
plenum=$1
norvo=$2
examples=$3
. "$(dirname "$0")/jack_session.sh"
command -v jack_midiseq >/dev/null && command -v jack_connect >/dev/null ||
  { echo "SKIP: jack_midiseq or jack_connect is not installed"; exit 77; }
export PLENUM_MIDI_API=jack
unset PLENUM_LOOP
cd "$work" || exit 1
cp "$examples/small_console.ncf" .
start_jack plenum-test
start_loop

mkfifo keys
"$plenum" --names small_console.ncf -L <keys >monitor.out 2>&1 &
monitor_pid=$!
more_pids="$more_pids $monitor_pid"
exec 4>keys
for i in 1 2 3 4 5 6 7 8 9 10; do grep -q "Monitoring for MIDI input" monitor.out && break; sleep 0.5; done
grep -q "Monitoring for MIDI input" monitor.out || fail "plenum -L did not start" monitor.out

# A half-second loop at the dummy server's 48 kHz: note 60 (C4), then note 30 on channel 1.
jack_midiseq keys 24000 0 60 4000 12000 30 4000 >/dev/null 2>&1 &
more_pids="$more_pids $!"
for i in 1 2 3 4 5 6 7 8 9 10; do jack_connect keys:out "norvo-loop:norvo-loop in" 2>/dev/null && break; sleep 0.5; done
for i in 1 2 3 4 5 6 7 8 9 10; do grep -q "N  30 On" monitor.out && break; sleep 0.5; done
echo >&4
for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 $monitor_pid 2>/dev/null || break; sleep 0.5; done
kill -0 $monitor_pid 2>/dev/null && fail "plenum -L did not end on Enter" monitor.out

grep -q "^Got data: [0-9a-f]*3c90 C  1 N  60 On  V [ 0-9]*   Great key 25 (C4)$" monitor.out ||
  fail "the Great key is not named" monitor.out
grep -q "^Got data: [0-9a-f]*1e90 C  1 N  30 On  V [ 0-9]*   (not in the configuration)$" monitor.out ||
  fail "a note the configuration does not know is not marked" monitor.out
echo "PASS"
