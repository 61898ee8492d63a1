#!/bin/sh
# The device handling of plenum and tirasse on real MIDI systems: quiet when there is none,
# device numbers past the list refused, Ctrl-C ending an endless loop test, and tirasse's
# player and recorder on the devices plenum numbers (JACK dummy server, norvo-loop on it).
# usage: jack_devices_test.sh PLENUM NORVO_LOOP [TIRASSE_MIDI_TESTS]   exit 0 pass, 1 fail, 77 skipped
plenum=$1
norvo=$2
tirasse_tests=$3
. "$(dirname "$0")/jack_session.sh"
unset PLENUM_MIDI_API PLENUM_LOOP

# No MIDI system at all (no ALSA sequencer here, no server of this name): plenum's own
# message and nothing from the libraries.
JACK_DEFAULT_SERVER=plenum-test-absent "$plenum" -V >"$work/none.out" 2>"$work/none.err"
status=$?
[ $status -eq 1 ] && [ "$(tail -n 1 "$work/none.out")" = "Oh my, I can't find any MIDI input devices!" ] ||
  fail "plenum -V without MIDI systems ended with status $status" "$work/none.out"
[ -s "$work/none.err" ] && fail "plenum -V without MIDI systems printed on standard error" "$work/none.err"
JACK_DEFAULT_SERVER=plenum-test-absent "$plenum" -d1 -V >"$work/tried.out" 2>&1
grep -q "^MIDI systems tried: .*jack (cannot be reached); using none$" "$work/tried.out" ||
  fail "-d1 does not say which MIDI systems were tried" "$work/tried.out"

# Not the server name of jack_loop_test.sh: that test may run in another build on the
# same machine.
start_jack plenum-test-devices
start_loop

# A device number past the list is refused before anything is sent.
for option in i o; do
  [ $option = i ] && what="input device::" || what="output device:"
  timeout 30 "$plenum" -$option 5 -V >"$work/past.out" 2>"$work/past.err"
  status=$?
  [ $status -eq 1 ] || fail "plenum -$option 5 -V ended with status $status" "$work/past.out" "$work/past.err"
  grep -q "^An error has occurred opening the MIDI $what\$" "$work/past.out" ||
    fail "plenum -$option 5 -V did not refuse the device" "$work/past.out"
  grep -q "Timeout" "$work/past.out" && fail "plenum -$option 5 -V waited for replies" "$work/past.out"
  [ -s "$work/past.err" ] && fail "plenum -$option 5 -V printed on standard error" "$work/past.err"
done

# plenum --devices: with a second loop on the server there are two devices each way, and
# every number it shows is the device -i / -o open (the port plenum connects while it runs).
mkfifo "$work/loop2_stdin"
"$norvo" A,C <"$work/loop2_stdin" >"$work/loop2.log" 2>&1 &
loop2_pid=$!
more_pids=$loop2_pid
exec 4>"$work/loop2_stdin"
for i in 1 2 3 4 5 6 7 8 9 10; do grep -q "ports" "$work/loop2.log" && break; sleep 0.5; done
timeout 30 "$plenum" --devices >"$work/devices.out" 2>"$work/devices.err"
status=$?
[ $status -eq 0 ] && [ ! -s "$work/devices.err" ] || fail "plenum --devices ended with status $status" "$work/devices.out" "$work/devices.err"
grep -q "^MIDI system: jack$" "$work/devices.out" || fail "plenum --devices does not name JACK" "$work/devices.out"
[ "$(grep -c "^Input device number [01] is .*:norvo-loop out$" "$work/devices.out")" -eq 2 ] &&
  [ "$(grep -c "^Output device number [01] is .*:norvo-loop in$" "$work/devices.out")" -eq 2 ] ||
  fail "plenum --devices does not list both loops each way" "$work/devices.out"
# The device jack_lsp shows connected to a port of plenum's ("plenum input" or "plenum
# output"; JACK numbers the client names of plenum's two ports apart).
connected_to() {
  jack_lsp -c | awk -v port=":$1" '/^[^ \t]/ { here = ($0 ~ /^plenum/ && substr($0, length($0) - length(port) + 1) == port); next }
    here { sub(/^[ \t]+/, ""); print; exit }'
}
for pair in "0 0" "0 1" "1 0" "1 1"; do
  set -- $pair
  want_in=$(sed -n "s/^Input device number $1 is //p" "$work/devices.out")
  want_out=$(sed -n "s/^Output device number $2 is //p" "$work/devices.out")
  rm -f "$work/monitor_stdin"; mkfifo "$work/monitor_stdin"
  timeout 30 "$plenum" -i "$1" -o "$2" -L <"$work/monitor_stdin" >"$work/monitor.out" 2>&1 &
  monitor_pid=$!
  more_pids="$loop2_pid $monitor_pid"
  exec 5>"$work/monitor_stdin"
  for i in 1 2 3 4 5 6 7 8 9 10; do grep -q "Monitoring" "$work/monitor.out" && break; sleep 0.5; done
  got_in=$(connected_to "plenum input")
  got_out=$(connected_to "plenum output")
  echo >&5
  exec 5>&-
  wait $monitor_pid
  [ "$got_in" = "$want_in" ] && [ "$got_out" = "$want_out" ] ||
    fail "-i $1 -o $2 opened \"$got_in\" and \"$got_out\", --devices showed \"$want_in\" and \"$want_out\"" \
      "$work/devices.out" "$work/monitor.out"
done
exec 4>&-
wait $loop2_pid

# -D -1 runs until Ctrl-C, which ends it with status 0 and its port closed.
"$plenum" -D -1 >"$work/endless.out" 2>"$work/endless.err" &
plenum_pid=$!
sleep 2
kill -0 $plenum_pid 2>/dev/null || fail "plenum -D -1 ended by itself" "$work/endless.out" "$work/endless.err"
jack_lsp | grep -q "^plenum:" || fail "plenum -D -1 has no port open while it runs"
kill -INT $plenum_pid
wait $plenum_pid
status=$?
[ $status -eq 0 ] || fail "plenum -D -1 ended with status $status on Ctrl-C" "$work/endless.out" "$work/endless.err"
grep -q "differ\|Returned string\|Exiting early" "$work/endless.out" && fail "plenum -D -1 saw faults" "$work/endless.out"
jack_lsp | grep -q "^plenum:" && fail "plenum's ports are still there after Ctrl-C"

if [ -n "$tirasse_tests" ]; then
  TIRASSE_TEST_JACK_LOOP=1 timeout 60 "$tirasse_tests" --gtest_filter='SystemMidiPorts.*' \
    >"$work/tirasse.out" 2>&1 || fail "tirasse's MIDI ports on JACK" "$work/tirasse.out"
  grep -q "SKIPPED" "$work/tirasse.out" && fail "tirasse's JACK case was skipped" "$work/tirasse.out"
fi
echo "PASS"
