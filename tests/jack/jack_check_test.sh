#!/bin/sh
# The console check across processes: plenum downloads a configuration into norvo-loop's
# modules over JACK, and later runs check it: the same file, then one with a statement
# changed. The check must write nothing and leave the modules as they were.
# usage: jack_check_test.sh PLENUM NORVO_LOOP FIRMWARE_DIR EXAMPLES_DIR   exit 0 pass, 1 fail, 77 skipped
plenum=$1
norvo=$2
firmware=$3
examples=$4
. "$(dirname "$0")/jack_session.sh"
export PLENUM_MIDI_API=jack
unset PLENUM_LOOP
cd "$work" || exit 1

# plenum with its output in file $1 and its status in $status. A machine this loaded can
# keep the JACK server from passing a reply within plenum's one second, or drop norvo-loop's
# ports for a moment: then the run is made once more (the check writes nothing, so running
# it twice changes nothing).
run_plenum() {
  out=$1
  shift
  for attempt in 1 2 3; do
    timeout 60 "$plenum" "$@" >"$out" 2>&1
    status=$?
    grep -q "Timeout waiting for sysex response\|can't find any MIDI" "$out" || return 0
    echo "(run $attempt of plenum $* met a busy JACK server; once more)"
    sleep 1
  done
}
cp "$firmware"/*.obf "$examples/small_console.ncf" .
# The server name of jack.loop: the tests of one tree run one at a time, and JACK has room
# for only a few server names.
start_jack plenum-test
start_loop

run_plenum download.out small_console.ncf
[ $status -eq 0 ] || fail "the download ended with status $status" download.out
grep -q "Configuration successfully downloaded" download.out || fail "no download" download.out

run_plenum same.out --check small_console.ncf
[ $status -eq 0 ] || fail "the check after the download ended with status $status" same.out
tail -n 3 same.out >same.tail
printf 'Module 0: same\nModule 1: same\nThe console holds this configuration\n' | cmp -s - same.tail ||
  fail "the check does not find the downloaded file the same" same.out

# The pedal's first note moves: one statement, in the second module only.
sed 's/\*DIVISION = Pedal \*BITS = 1, 32 \*MIDI_CHANNEL = 3 \*MIDI_NOTE = 36/*DIVISION = Pedal *BITS = 1, 32 *MIDI_CHANNEL = 3 *MIDI_NOTE = 24/' \
  small_console.ncf >changed.ncf
cmp -s small_console.ncf changed.ncf && fail "the statement to change is not in small_console.ncf"
run_plenum differs.out --check changed.ncf
[ $status -eq 5 ] || fail "the check of a changed file ended with status $status" differs.out
grep -q "^Module 0: same$" differs.out || fail "module 0 did not stay the same" differs.out
grep -A1 "^Module 1: differs$" differs.out | grep -q "^  user program: " ||
  fail "module 1 is not named with its program pages" differs.out
grep -q "relay code" differs.out && fail "the relay code was reported changed" differs.out

# Nothing was written: the first file still checks the same.
run_plenum again.out --check small_console.ncf
[ $status -eq 0 ] || fail "the check after checking a changed file ended with status $status" again.out
echo "PASS"
