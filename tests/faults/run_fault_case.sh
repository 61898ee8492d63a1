#!/usr/bin/env bash
# Runs one case of the fault table: plenum as a process against a simulated loop that
# injects a fault, in a scratch folder holding the standard firmware files and the
# case's input files. Checks the exit status, the messages in their order, text that
# must not appear, and what must be left as it was.
#
#   run_fault_case.sh PLENUM FIRMWARE_DIR TABLE CASE
#
# Table entries (one case is a "case NAME" line and the indented lines after it):
#   loop TEXT       the PLENUM_LOOP value
#   args WORDS      plenum's arguments, split at spaces
#   status N        the expected exit status
#   expect TEXT     text standard output must contain, after the previous expect's match;
#                   "\n" stands for a line end
#   absent TEXT     text standard output must not contain
#   input NAME SRC  copy tests/faults/files/SRC to NAME in the scratch folder first
#   make NAME KIND  write a generated hostile input NAME first: big-config (a file just
#                   over the size limit of a configuration) or many-names (a configuration
#                   naming one more thing than the identifier limit allows)
#   intact NAME     NAME must be byte for byte what the input line put there
#   nofile NAME     NAME must not exist after the run
#   started N       if the download reports success, stage E must have started all N
#                   modules, last first (no module left halted)
# Exit status 77 (skipped) while an operation is still reported as not available.
set -uo pipefail
if [ $# -ne 4 ]; then
  echo "usage: $0 PLENUM FIRMWARE_DIR TABLE CASE" >&2
  exit 2
fi
plenum=$(realpath "$1")
firmware=$(realpath "$2")
table=$(realpath "$3")
name=$4
files_dir=$(dirname "$table")/files

entries=$(awk -v name="$name" '
  /^case / { inside = ($2 == name); next }
  /^[^ \t#]/ { inside = 0 }
  inside && /^[ \t]+[a-z]/ { sub(/^[ \t]+/, ""); print }' "$table")
[ -n "$entries" ] || { echo "no case $name in $table" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/plenum-fault.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$firmware"/*.obf "$work/"

make_input() {
  case $2 in
    big-config)
      { echo '*NORVO_MODULE'; yes '; a comment line to make the file large' | head -c 4194304; echo '*END'; } > "$1" ;;
    many-names)
      { echo '*NORVO_MODULE'; seq -f 'Name%.0f' 1 65537; echo '*END'; } > "$1" ;;
    *) echo "unknown generated input: $2" >&2; exit 2 ;;
  esac
}

loop="" args=() status="" expects=() absents=() intacts=() nofiles=() started=""
while IFS= read -r line; do
  key=${line%% *}
  value=${line#* }
  [ "$key" = "$line" ] && value=""
  case $key in
    loop) loop=$value ;;
    args) read -r -a args <<< "$value" ;;
    status) status=$value ;;
    expect) expects+=("$value") ;;
    absent) absents+=("$value") ;;
    input) cp "$files_dir/${value#* }" "$work/${value%% *}" ;;
    make) make_input "$work/${value%% *}" "${value#* }" ;;
    intact) intacts+=("$value") ;;
    nofile) nofiles+=("$value") ;;
    started) started=$value ;;
    *) echo "unknown entry: $line" >&2; exit 2 ;;
  esac
done <<< "$entries"
for kept in "${intacts[@]}"; do cp "$work/$kept" "$work/.original.$kept"; done

cd "$work"
env -i PATH="$PATH" HOME="${HOME:-/tmp}" LC_ALL=C PLENUM_LOOP="$loop" \
  ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"} \
  timeout 120 bash -c 'exec -a plenum "$0" "$@"' "$plenum" "${args[@]}" \
  < /dev/null > .stdout 2> .stderr
actual=$?
output=$(cat .stdout)

if grep -q "is not available yet" .stdout; then
  echo "skipped: $(grep 'is not available yet' .stdout | head -1)"
  exit 77
fi

failed=0
fail() { echo "FAIL: $*"; failed=1; }

[ "$actual" = "$status" ] || fail "exit status $actual, expected $status"
rest=$output
for text in "${expects[@]}"; do
  wanted=$(printf "%b" "$text")
  if [[ "$rest" == *"$wanted"* ]]; then
    rest=${rest#*"$wanted"}
  else
    fail "missing (in this order): $text"
  fi
done
for text in "${absents[@]}"; do
  [[ "$output" != *"$text"* ]] || fail "must not appear: $text"
done
for kept in "${intacts[@]}"; do
  cmp -s ".original.$kept" "$kept" || fail "$kept was changed"
done
for gone in "${nofiles[@]}"; do
  [ ! -e "$gone" ] || fail "$gone was written"
done
if [ -n "$started" ] && [[ "$output" == *"Configuration successfully downloaded"* ]]; then
  order=""
  for ((m = started - 1; m >= 0; m--)); do order+=$m; done
  [[ "$output" == *"E$order"*"Configuration successfully downloaded"* ]] ||
    fail "success reported without stage E starting modules $order"
fi
[ "$actual" != 124 ] || fail "plenum did not end within 120 seconds"

if [ $failed -ne 0 ]; then
  echo "--- plenum ${args[*]} with PLENUM_LOOP=$loop printed:"
  cat .stdout
  echo "--- standard error:"
  cat .stderr
fi
exit $failed
