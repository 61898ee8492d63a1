#!/usr/bin/env bash
# Runs one end-to-end case: plenum with the case's command line, environment and standard
# input, in a scratch copy of the case folder, and compares standard output, standard
# error and the exit status with the expected ones byte for byte.
#
#   run_case.sh PLENUM CASE_DIR            check the case
#   run_case.sh --record PLENUM CASE_DIR   write what plenum does now as the expected
#                                          files (read them through before committing)
#   run_case.sh --windows PLENUM.EXE CASE_DIR
#                                          check the case against the Windows build under
#                                          Wine (the environment of scripts/wine-env.sh)
#
# Under Windows the same expected files hold, with two kinds of differences and no others:
# - the program path: Windows gives a program the path it was started by as argv[0], and the
#   runner starts it as P:\plenum.exe (drive P: is the program's folder), so the banner's
#   second line reads P:\plenum.exe instead of plenum;
# - what the case's `windows` file lists: lines "STREAM<TAB>LINUX TEXT<TAB>WINDOWS TEXT"
#   (STREAM is stdout or stderr; every occurrence is replaced literally), each explained
#   by the # comment lines above it.
set -uo pipefail

record=0
windows=0
case "${1:-}" in
  --record) record=1; shift ;;
  --windows) windows=1; shift ;;
esac
if [ $# -ne 2 ]; then
  echo "usage: $0 [--record | --windows] PLENUM CASE_DIR" >&2
  exit 2
fi
plenum=$(realpath "$1")
case_dir=$(realpath "$2")
[ -x "$plenum" ] || { echo "not an executable: $plenum" >&2; exit 2; }
[ -f "$case_dir/args" ] || { echo "no args file in $case_dir" >&2; exit 2; }

shared_firmware=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../../examples/firmware")
work=$(mktemp -d "${TMPDIR:-/tmp}/plenum-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -R "$case_dir/." "$work/"
cd "$work"

# The standard synthetic firmware is kept once, in examples/firmware; a case that needs some
# of it names the files in its `firmware` file, one a line, and gets copies beside its inputs.
if [ -f firmware ]; then
  while IFS= read -r name || [ -n "$name" ]; do
    case "$name" in
      '' | '#'*) ;;
      */* | .*) echo "bad line in firmware: $name" >&2; exit 2 ;;
      *) cp "$shared_firmware/$name" "$work/$name" ||
           { echo "no shared firmware file $name" >&2; exit 2; } ;;
    esac
  done < firmware
  rm -f firmware
fi

# One word per line; an empty file means no words at all.
args=()
if [ -s args ]; then
  mapfile -t args < args
fi

# Only what the case asks for reaches plenum from the environment, besides the basics.
env_vars=("PATH=$PATH" "HOME=${HOME:-/tmp}" "LC_ALL=C")
for passed in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS TMPDIR; do
  [ -n "${!passed:-}" ] && env_vars+=("$passed=${!passed}")
done
if [ -f env ]; then
  while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
      '' | '#'*) ;;
      *=*) env_vars+=("$line") ;;
      *) echo "bad line in env: $line" >&2; exit 2 ;;
    esac
  done < env
fi

input=/dev/null
[ -f stdin ] && input=stdin

if [ "$windows" -eq 1 ]; then
  for passed in WINEPREFIX WINEDEBUG WINEDLLOVERRIDES WINEARCH; do
    env_vars+=("$passed=${!passed:?run under scripts/wine-env.sh}")
  done
  ln -sfn "$(dirname "$plenum")" "$WINEPREFIX/dosdevices/p:"
  env -i "${env_vars[@]}" timeout 120 "${WINE:?}" "P:\\$(basename "$plenum")" "${args[@]}" \
    < "$input" > "$work/.actual_stdout" 2> "$work/.actual_stderr"
else
  # argv[0] is "plenum" so that the banner and messages do not depend on the build folder.
  env -i "${env_vars[@]}" timeout 120 bash -c 'exec -a plenum "$0" "$@"' "$plenum" "${args[@]}" \
    < "$input" > "$work/.actual_stdout" 2> "$work/.actual_stderr"
fi
status=$?
echo "$status" > "$work/.actual_status"

# The expected files as the Windows build must meet them (see the top of this file).
expected_dir=$case_dir
if [ "$windows" -eq 1 ]; then
  expected_dir=$work/.expected
  mkdir -p "$expected_dir"
  cp "$case_dir"/expected_* "$expected_dir/"
  program_path="P:\\$(basename "$plenum")"
  if [ -s "$expected_dir/expected_stdout" ]; then
    sed -i "2s/^plenum\$/${program_path//\\/\\\\}/" "$expected_dir/expected_stdout"
  fi
  if [ -f "$case_dir/windows" ]; then
    while IFS=$'\t' read -r stream from to || [ -n "$stream" ]; do
      case "$stream" in
        '' | '#'*) continue ;;
        stdout | stderr) ;;
        *) echo "bad line in windows: $stream" >&2; exit 2 ;;
      esac
      text=$(cat "$expected_dir/expected_$stream"; printf x)
      text=${text%x}
      if [[ "$text" != *"$from"* ]]; then
        echo "windows: expected_$stream holds no \"$from\""
        exit 1
      fi
      text=${text//"$from"/"$to"}
      printf '%s' "$text" > "$expected_dir/expected_$stream"
    done < "$case_dir/windows"
  fi
fi

if [ "$record" -eq 1 ]; then
  cp "$work/.actual_stdout" "$case_dir/expected_stdout"
  cp "$work/.actual_stderr" "$case_dir/expected_stderr"
  cp "$work/.actual_status" "$case_dir/expected_status"
  echo "recorded $(basename "$case_dir") (status $status)"
  exit 0
fi

failed=0
for stream in stdout stderr status; do
  expected="$expected_dir/expected_$stream"
  if [ ! -f "$expected" ]; then
    echo "missing $expected"
    failed=1
  elif ! cmp -s "$expected" "$work/.actual_$stream"; then
    echo "--- $stream differs (expected, actual):"
    diff -u "$expected" "$work/.actual_$stream" | sed 1,2d
    failed=1
  fi
done
if [ "$status" -eq 124 ]; then
  echo "plenum did not end within 120 seconds"
  failed=1
fi
exit $failed
