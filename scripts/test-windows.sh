#!/usr/bin/env bash
# The Windows part of the tests, after scripts/test.sh has built Linux's plenum in build/:
# cross-builds the Windows programs from scratch and runs under Wine every unit test
# program, every end-to-end case of tests/cli, the comparison of each example's listings
# with Linux's, a session against the simulated loop, and the package with its installer.
#   test-windows.sh [--reuse] [LINUX_BUILD]    (default build; --reuse: keep build-windows/
#                                              and only bring it up to date)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
reuse=0
if [ "${1:-}" = --reuse ]; then reuse=1; shift; fi
linux_plenum="$here/${1:-build}/bin/plenum"
[ -x "$linux_plenum" ] || { echo "no Linux plenum at $linux_plenum" >&2; exit 2; }
started=$SECONDS

[ $reuse -eq 1 ] || rm -rf build-windows
scripts/build-windows.sh build-windows
source scripts/wine-env.sh build-windows
source scripts/virtual-display.sh
# Nothing of Wine or of the display outlives the tests (a CI job waits for every holder of
# its output).
trap '"$WINESERVER" -k 2>/dev/null || true; stop_virtual_display' EXIT
# tirasse.exe's windows, driven by its tests, go to a display of their own.
start_virtual_display
plenum_exe="$here/build-windows/bin/plenum.exe"
echo "Windows build: $((SECONDS - started)) s"

# Now and then Wine never starts a program (plenum.exe from tirasse.exe's tests printed nothing
# in 30 s once in a CI run), so a failing test program gets one more run; a real fault fails
# both times.
(cd build-windows && ctest --output-on-failure -j2 --repeat until-pass:2)

failed=0
cases=0
for case_dir in tests/cli/cases/*/; do
  cases=$((cases + 1))
  passed=1
  out=$(bash tests/cli/run_case.sh --windows "$plenum_exe" "$case_dir" 2>&1) || passed=0
  if [ $passed -eq 0 ] && grep -q '^@@ -[0-9,]* +0,0 @@' <<<"$out"; then
    # plenum prints its banner before anything else: an empty standard output means Wine
    # never started it (seen once on a loaded machine). Such a case runs once more.
    echo "windows cli.$(basename "$case_dir"): nothing on standard output, run once more"
    passed=1
    out=$(bash tests/cli/run_case.sh --windows "$plenum_exe" "$case_dir" 2>&1) || passed=0
  fi
  if [ $passed -eq 0 ]; then
    echo "FAIL windows cli.$(basename "$case_dir")"
    echo "$out"
    failed=$((failed + 1))
  fi
done
echo "Windows CLI cases: $((cases - failed)) of $cases passed"

# Runs one command line with both builds in copies of the same folder, and compares the two
# runs' output, status and the files listed after --files; LOOP is PLENUM_LOOP, or empty.
#   compare_with_linux FOLDER NAME LOOP ARGS... [--files FILES...]
# The banner's second line is
# argv[0]: plenum on Linux, the program's Windows path under Wine; it is left out.
compare_with_linux() {
  local from=$1 name=$2 loop=$3
  shift 3
  local loop_env=(-u PLENUM_LOOP)
  [ -n "$loop" ] && loop_env=("PLENUM_LOOP=$loop")
  local files=()
  local args=()
  while [ $# -gt 0 ]; do
    if [ "$1" = --files ]; then shift; files=("$@"); break; fi
    args+=("$1"); shift
  done
  local scratch
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/plenum-windows.XXXXXX")
  mkdir "$scratch/linux" "$scratch/windows"
  cp -R "$from/." "$scratch/linux/"
  cp -R "$from/." "$scratch/windows/"
  local status_linux=0 status_windows=0
  (cd "$scratch/linux" && env "${loop_env[@]}" bash -c 'exec -a plenum "$0" "$@"' \
     "$linux_plenum" "${args[@]}" </dev/null >../linux.out 2>../linux.err) || status_linux=$?
  (cd "$scratch/windows" && env "${loop_env[@]}" "$WINE" "$plenum_exe" "${args[@]}" </dev/null >../windows.out \
     2>../windows.err) || status_windows=$?
  local ok=1
  sed -i 2d "$scratch/linux.out" "$scratch/windows.out"
  cmp -s "$scratch/linux.out" "$scratch/windows.out" || { diff "$scratch/linux.out" "$scratch/windows.out" | head -20; ok=0; }
  cmp -s "$scratch/linux.err" "$scratch/windows.err" || { diff "$scratch/linux.err" "$scratch/windows.err" | head -20; ok=0; }
  [ "$status_linux" = "$status_windows" ] || { echo "status $status_linux on Linux, $status_windows on Windows"; ok=0; }
  local file
  for file in "${files[@]}"; do
    if [ ! -f "$scratch/linux/$file" ] || ! cmp -s "$scratch/linux/$file" "$scratch/windows/$file"; then
      echo "$file differs or is missing"; ok=0
    fi
  done
  rm -rf "$scratch"
  if [ $ok -eq 1 ]; then
    echo "same on Windows: $name"
  else
    echo "FAIL windows differs from Linux: $name"
    failed=$((failed + 1))
  fi
}

# Every example's listings at three debug levels (module programs, records, everything).
for example in examples/*.ncf; do
  for level in 8 10 20; do
    compare_with_linux examples "$(basename "$example") -d $level" "" \
      -x -t -d "$level" "$(basename "$example")"
  done
done

# A session against the simulated loop: a download, the versions, a save and a load.
loop_dir=$(mktemp -d "${TMPDIR:-/tmp}/plenum-loop.XXXXXX")
cp examples/small_console.ncf examples/firmware/*.obf "$loop_dir/"
compare_with_linux "$loop_dir" "download, -V, -S, -U into PLENUM_LOOP=B,B,combi=0:2:4:16" \
  B,B,combi=0:2:4:16 \
  -d 1 -V -S saved.reg -U saved.reg small_console.ncf --files saved.reg
rm -rf "$loop_dir"

# Names beyond the ANSI code page: Latin-1, Cyrillic and one outside the Basic Multilingual
# Plane, as configuration, registration and firmware files; the names in the messages must
# be the same UTF-8 bytes as on Linux. The last name does not exist.
unicode_dir=$(mktemp -d "${TMPDIR:-/tmp}/plenum-unicode.XXXXXX")
for name in "Übung_Kirche_é" "орган" "𝄞"; do
  cp examples/small_console.ncf "$unicode_dir/$name.ncf"
done
compare_with_linux "$unicode_dir" "Unicode names -x -t" "" -x -t "Übung_Kirche_é.ncf"
compare_with_linux "$unicode_dir" "Cyrillic name -x -t" "" -x -t "орган.ncf"
compare_with_linux "$unicode_dir" "name outside the BMP -x -t" "" -x -t "𝄞.ncf"
compare_with_linux "$unicode_dir" "missing Cyrillic name" "" -x -t "нет.ncf"
compare_with_linux "$unicode_dir" "Unicode registration file -S, -U" B,B,combi=0:2:4:16 \
  -S "Регистр_é.reg" -U "Регистр_é.reg" "𝄞.ncf" --files "Регистр_é.reg"
rm -rf "$unicode_dir"

# A configuration named by a Windows path (drive letter, backslashes): the messages show the
# path as it was given, so the errors read C:\...\organ.ncf:2: and so on.
path_case=tests/cli/cases/compile_sixth_error_is_not_shown
path_dir=$(mktemp -d "${TMPDIR:-/tmp}/plenum-paths.XXXXXX")
cp "$path_case/organ.ncf" "$path_dir/"
windows_path=$("$WINE" winepath -w "$path_dir/organ.ncf" 2>/dev/null | tr -d '\r')
path_status=0
(cd build-windows && "$WINE" "$plenum_exe" -x -t "$windows_path" </dev/null \
   >"$path_dir/out" 2>"$path_dir/err") || path_status=$?
expected_err=$(cat "$path_case/expected_stderr"; printf x)
expected_err=${expected_err%x}
printf '%s' "${expected_err//organ.ncf:/$windows_path:}" >"$path_dir/expected_err"
if [[ "$windows_path" == [A-Z]:\\* ]] && cmp -s "$path_dir/expected_err" "$path_dir/err" &&
   grep -qxF "Parsing file $windows_path" "$path_dir/out" &&
   [ $path_status = "$(cat "$path_case/expected_status")" ]; then
  echo "Windows paths in messages: $windows_path"
else
  echo "FAIL Windows paths in messages ($windows_path, status $path_status):"
  diff "$path_dir/expected_err" "$path_dir/err" || true
  failed=$((failed + 1))
fi
rm -rf "$path_dir"

# With no MIDI device, as under Wine here (no sound driver), a MIDI operation says so and
# ends with status 1.
no_device_status=0
no_device=$(cd build-windows && env -u PLENUM_LOOP "$WINE" "$plenum_exe" -V </dev/null 2>&1) \
  || no_device_status=$?
if [ $no_device_status -eq 1 ] && [ "$(tail -n 1 <<<"$no_device")" = \
     "Oh my, I can't find any MIDI input devices!" ]; then
  echo "no MIDI device: the message and status 1"
else
  echo "FAIL no MIDI device: status $no_device_status, output:"; echo "$no_device"
  failed=$((failed + 1))
fi

# Ctrl-C while the monitor waits for Enter ends the run with status 0. Wine turns the
# interrupt into the console's Ctrl-C event, as Windows does for a key press.
interrupt_dir=$(mktemp -d "${TMPDIR:-/tmp}/plenum-interrupt.XXXXXX")
mkfifo "$interrupt_dir/keys"
exec 3<>"$interrupt_dir/keys"  # held open: the monitor never sees the end of its input
PLENUM_LOOP=B "$WINE" "$plenum_exe" -L <"$interrupt_dir/keys" >"$interrupt_dir/out" 2>&1 &
monitor=$!
for _ in $(seq 1 100); do
  grep -q 'Monitoring for MIDI input' "$interrupt_dir/out" && break
  sleep 0.1
done
kill -INT $monitor
interrupt_status=0
wait $monitor || interrupt_status=$?
exec 3>&-
if [ $interrupt_status -eq 0 ] && grep -q 'Monitoring for MIDI input' "$interrupt_dir/out"; then
  echo "Ctrl-C: status 0"
else
  echo "FAIL Ctrl-C: status $interrupt_status, output:"; cat "$interrupt_dir/out"
  failed=$((failed + 1))
fi
rm -rf "$interrupt_dir"

# Wine now and then loses a step of an installer run (seen once in many runs, never
# reproduced): a failed check is shown, then repeated once in a new prefix, and must pass there.
if ! packaging/windows/check_installer.sh build-windows; then
  "$WINESERVER" -k 2>/dev/null || true
  rm -rf build-windows/wine
  source scripts/wine-env.sh build-windows
  echo "installer check repeated in a new Wine prefix"
  packaging/windows/check_installer.sh build-windows || failed=$((failed + 1))
fi

echo "Windows part: $((SECONDS - started)) s"
if [ $failed -ne 0 ]; then
  echo "$failed Windows checks failed"
  exit 1
fi
