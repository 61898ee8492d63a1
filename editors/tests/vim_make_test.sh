#!/bin/sh
# :make in a configuration buffer runs plenum -x -t and its error lands in the quickfix
# list at the right file and line.
# usage: vim_make_test.sh PLENUM VIMDIR
set -eu
plenum=$1 vimdir=$2
command -v vim >/dev/null || { echo "vim not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
ln -s "$plenum" "$work/bin/plenum"
printf '; a typing error on line 4\n*NORVO_MODULE\n  *INPUT_64\n    *INPUT_BIT = General1 *BIT = = 1 C7N1\n' >"$work/broken.ncf"
cd "$work"
PATH="$work/bin:$PATH" vim -N -u NONE -i NONE -es \
  --cmd "set rtp^=$vimdir" --cmd 'filetype plugin on' \
  -c 'silent make' \
  -c "call writefile(map(filter(getqflist(), 'v:val.valid'), 'bufname(v:val.bufnr) . \":\" . v:val.lnum . \": \" . v:val.text'), 'qf.txt')" \
  -c 'qa!' broken.ncf || true
want=$(PATH="$work/bin:$PATH" plenum -x -t broken.ncf 2>&1 >/dev/null | grep '^broken.ncf:4: ' || true)
got=$(cat qf.txt 2>/dev/null || true)
if [ -z "$want" ]; then
  echo "FAIL: plenum reported no broken.ncf:4 error"; exit 1
fi
if [ "$got" != "$want" ]; then
  echo "FAIL: quickfix list '$got', plenum said '$want'"; exit 1
fi
echo "vim :make: quickfix holds '$got'"
