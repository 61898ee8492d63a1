#!/bin/bash
# :make in a configuration buffer runs plenum -x -t and its error lands in the quickfix
# list at the right file and line, also for a name with a blank and non-ASCII letters.
# usage: vim_make_test.sh PLENUM VIMDIR
set -eu
plenum=$1 vimdir=$2
command -v vim >/dev/null || { echo "vim not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
ln -s "$plenum" "$work/bin/plenum"
export LC_ALL=C.UTF-8 PATH="$work/bin:$PATH"
cd "$work"
status=0
for name in broken.ncf 'Übung Kirche.ncf'; do
  printf '; a typing error on line 4\n*NORVO_MODULE\n  *INPUT_64\n    *INPUT_BIT = General1 *BIT = = 1 C7N1\n' >"$name"
  rm -f qf.txt
  vim -N -u NONE -i NONE -es \
    --cmd "set rtp^=$vimdir" --cmd 'filetype plugin on' \
    -c 'silent make' \
    -c "call writefile(map(filter(getqflist(), 'v:val.valid'), 'bufname(v:val.bufnr) . \":\" . v:val.lnum . \": \" . v:val.text'), 'qf.txt')" \
    -c 'qa!' "$name" </dev/null >/dev/null 2>&1 || true
  want=$(plenum -x -t "$name" 2>&1 >/dev/null | grep -F "$name:4: " || true)
  got=$(cat qf.txt 2>/dev/null || true)
  if [ -z "$want" ]; then
    echo "FAIL: plenum reported no $name:4 error"; status=1
  elif [ "$got" != "$want" ]; then
    echo "FAIL: quickfix list '$got', plenum said '$want'"; status=1
  else
    echo "vim :make: quickfix holds '$got'"
  fi
done
exit $status
