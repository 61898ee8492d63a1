#!/usr/bin/env bash
# Checks one example configuration: it opens with a comment header, and `plenum -x -t`
# compiles it without a single diagnostic and ends with status 0.
#   check_example.sh PLENUM FILE
set -uo pipefail
plenum=$1 file=$2
name=$(basename "$file")

first=$(grep -m1 -v '^[[:space:]]*$' "$file")
case $first in
  \;*) ;;
  *) echo "FAIL: $name does not open with a comment saying what it shows"; exit 1 ;;
esac

cd "$(dirname "$file")"
output=$("$plenum" -x -t "$name" 2>&1)
status=$?
diagnostics=$(grep -E "^$name:[0-9]+:" <<<"$output")
if [ $status -ne 0 ] || [ -n "$diagnostics" ]; then
  echo "$output"
  echo "FAIL: $name: plenum -x -t ended with status $status"
  exit 1
fi
grep -q '^Number of modules is [1-9]' <<<"$output" || {
  echo "$output"
  echo "FAIL: $name: no module was generated"
  exit 1
}
echo "$name compiles clean"
