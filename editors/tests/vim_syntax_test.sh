#!/bin/sh
# Checks the generated Vim syntax in batch mode: the syntax group at chosen positions of
# a sample, and that every example configuration loads with the ncf file type.
# usage: vim_syntax_test.sh VIMDIR SAMPLE EXPECTATIONS EXAMPLE...
set -eu
vimdir=$1 sample=$2 expect=$3
shift 3
command -v vim >/dev/null || { echo "vim not installed"; exit 77; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
# One vim run per file; the script prints "line col group" for every asked position.
positions=$(grep -v '^#' "$expect" | awk '{printf "[%s,%s],", $1, $2}')
vim -N -u NONE -i NONE -es \
  --cmd "set rtp^=$vimdir" --cmd 'filetype plugin on' --cmd 'syntax on' \
  -c "for [l, c] in [$positions] | call writefile([l . ' ' . c . ' ' . (synIDattr(synID(l, c, 1), 'name') ==# '' ? '-' : synIDattr(synID(l, c, 1), 'name'))], '$out', 'a') | endfor" \
  -c 'qa!' "$sample" || true
if ! diff -u "$(grep -v '^#' "$expect" >"$out.want"; echo "$out.want")" "$out"; then
  echo "FAIL: syntax groups differ (want - got +)"; status=1
fi
rm -f "$out.want"
for f in "$@"; do
  : >"$out"
  vim -N -u NONE -i NONE -es \
    --cmd "set rtp^=$vimdir" --cmd 'filetype plugin on' --cmd 'syntax on' \
    -c "call search('^\\s*\\zs\\*\\a', 'w')" \
    -c "call writefile([&filetype . ' ' . b:current_syntax . ' ' . synIDattr(synID(line('.'), col('.'), 1), 'name')], '$out')" \
    -c 'qa!' "$f" || true
  got=$(cat "$out")
  if [ "$got" != "ncf ncf ncfKeyword" ]; then
    echo "FAIL: $f: file type, syntax and first keyword: '$got'"; status=1
  fi
done
[ $status -eq 0 ] && echo "vim syntax: all positions and $# examples as expected"
exit $status
