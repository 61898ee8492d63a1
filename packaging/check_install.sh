#!/usr/bin/env bash
# Installs the build folder into a scratch prefix and checks that every installed file is in
# its place and that the installed programs run from there.
#   check_install.sh BUILD_DIR BINDIR TIRASSE_PROGRAM_DIR MANDIR DOCDIR
set -uo pipefail
build=$1 bindir=$2 progdir=$3 mandir=$4 docdir=$5
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/usr
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! cmake --install "$build" --prefix "$root" >"$scratch/install.log" 2>&1; then
  cat "$scratch/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi

for program in plenum norvo-loop; do
  [ -x "$root/$bindir/$program" ] || fail "$bindir/$program is not installed"
done
for page in plenum norvo-loop; do
  [ -s "$root/$mandir/man1/$page.1.gz" ] || fail "manual page $page(1) is not installed"
done
[ -s "$root/$docdir/language.md" ] || fail "the language reference is not installed"
ls "$root/$docdir/examples/"*.ncf >/dev/null 2>&1 || fail "no example configuration installed"
[ -s "$root/$docdir/examples/firmware/nvrelay6.obf" ] || fail "the synthetic firmware is not installed"

# Editor files: Vim's where Debian's Vim looks (its system-wide vimfiles folder), the
# Notepad++ language, the VS Code extension folder and its package.
for file in syntax/ncf.vim ftdetect/ncf.vim ftplugin/ncf.vim; do
  [ -s "$root/share/vim/vimfiles/$file" ] || fail "Vim file $file is not installed"
done
if command -v vim >/dev/null; then
  vim -N -u NONE -i NONE -es -c "call writefile([&rtp], '$scratch/vim_path')" -c 'qa!' </dev/null
  vim_path=$(cat "$scratch/vim_path")
  tr ',' '\n' <<<"$vim_path" | grep -qx /usr/share/vim/vimfiles ||
    fail "this Vim does not look in /usr/share/vim/vimfiles: $vim_path"
fi
[ -s "$root/share/plenum/editors/plenum-udl.xml" ] || fail "the Notepad++ language file is not installed"
[ -s "$root/share/plenum/editors/vscode/syntaxes/ncf.tmLanguage.json" ] ||
  fail "the VS Code extension folder is not installed"
if grep -qx 'PLENUM_EDITORS_VSIX:BOOL=ON' "$build/CMakeCache.txt"; then
  vsix=plenum-ncf-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt").vsix
  [ -s "$build/editors/$vsix" ] && cmp -s "$build/editors/$vsix" "$root/share/plenum/editors/$vsix" ||
    fail "the VS Code extension package $vsix is not installed"
fi

# Manual pages render without a warning.
if command -v groff >/dev/null; then
  for page in "$root/$mandir"/man1/*.1.gz; do
    warnings=$(gzip -dc "$page" | LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 2>&1)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  done
fi

# The installed plenum runs: without arguments it shows its usage and ends with 0.
output=$("$root/$bindir/plenum" 2>&1)
status=$?
[ $status -eq 0 ] || fail "installed plenum without arguments ended with $status"
grep -q '^Usage: ' <<<"$output" || fail "installed plenum printed no usage"

# The installed examples compile with the installed plenum, as a newcomer would try them.
shopt -s nullglob
for example in "$root/$docdir/examples/"*.ncf; do
  (cd "$(dirname "$example")" && "$root/$bindir/plenum" -x -t "$(basename "$example")" >/dev/null 2>&1) ||
    fail "installed example $(basename "$example") does not compile with the installed plenum"
done

if [ -e "$build/bin/tirasse" ]; then
  [ -x "$root/$progdir/tirasse" ] || fail "$progdir/tirasse is not installed"
  [ "$(readlink -f "$root/$bindir/tirasse")" = "$(readlink -f "$root/$progdir/tirasse")" ] ||
    fail "$bindir/tirasse does not lead to $progdir/tirasse"
  [ "$(readlink -f "$root/$progdir/plenum")" = "$(readlink -f "$root/$bindir/plenum")" ] ||
    fail "$progdir/plenum does not lead to $bindir/plenum"
  [ -s "$root/$progdir/version.txt" ] || fail "version.txt is not beside tirasse"
  [ -x "$root/$progdir/plenum.bat" ] || fail "plenum.bat is not beside tirasse"
  [ -s "$root/$mandir/man1/tirasse.1.gz" ] || fail "manual page tirasse(1) is not installed"
  desktop=$root/share/applications/tirasse.desktop
  [ -s "$desktop" ] || fail "the desktop entry is not installed"
  [ -s "$root/share/icons/hicolor/scalable/apps/tirasse.svg" ] || fail "the icon is not installed"
  if [ -s "$desktop" ] && command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
  fi
  # plenum.bat runs plenum beside it and waits for Enter before it ends.
  output=$(echo | "$root/$progdir/plenum.bat" 2>&1)
  status=$?
  [ $status -eq 0 ] || fail "plenum.bat without arguments ended with $status"
  grep -q '^Usage: ' <<<"$output" || fail "plenum.bat did not run plenum"
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) of the installation failed"
  exit 1
fi
echo "installation checked"
