# Sourced by the JACK tests: a scratch folder, a private JACK dummy server and norvo-loop on
# it, all ended when the test script exits. Needs $norvo (the norvo-loop program).
command -v jackd >/dev/null || { echo "SKIP: jackd is not installed"; exit 77; }
work=$(mktemp -d)
export JACK_NO_AUDIO_RESERVATION=1 JACK_NO_START_SERVER=1
jack_pid=
loop_pid=
more_pids=  # other programs a test starts in the background, ended with the server
cleanup() {
  for pid in $more_pids; do kill "$pid" 2>/dev/null; done
  [ -n "$loop_pid" ] && kill "$loop_pid" 2>/dev/null
  [ -n "$jack_pid" ] && kill "$jack_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $1"; shift; for f in "$@"; do echo "--- $f:"; cat "$f"; done; exit 1; }

# Starts the dummy server under a fixed name: JACK reclaims a dead server's registry entry
# only for a server of the same name, so names that change every run would fill its small
# table for good. Skips the test when the server does not come up.
# A server of that name already running belongs to the same test of another tree on this
# machine: ours would not start, and jack_lsp would answer from that one; so the test skips.
start_jack() {
  export JACK_DEFAULT_SERVER="$1"
  if jack_lsp >/dev/null 2>&1; then
    echo "SKIP: a JACK server named $1 already runs (the same test of another tree?)"
    exit 77
  fi
  jackd -n "$JACK_DEFAULT_SERVER" -r -d dummy >"$work/jackd.log" 2>&1 &
  jack_pid=$!
  for i in 1 2 3 4 5 6 7 8 9 10; do jack_lsp >/dev/null 2>&1 && break; sleep 0.5; done
  kill -0 "$jack_pid" 2>/dev/null && jack_lsp >/dev/null 2>&1 ||
    { echo "SKIP: jackd -r -d dummy did not start:"; cat "$work/jackd.log"; exit 77; }
}

# Starts norvo-loop with two type B modules (or the two-module loop given, as in
# PLENUM_LOOP) on the server; it runs until the script ends.
start_loop() {
  mkfifo "$work/loop_stdin"
  "$norvo" "${1:-B,B}" <"$work/loop_stdin" >"$work/loop.log" 2>&1 &
  loop_pid=$!
  exec 3>"$work/loop_stdin"
  for i in 1 2 3 4 5 6 7 8 9 10; do grep -q "ports" "$work/loop.log" && break; sleep 0.5; done
  grep -q "2 module(s) on jack" "$work/loop.log" || fail "norvo-loop did not start" "$work/loop.log"
}
