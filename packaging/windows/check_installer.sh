#!/usr/bin/env bash
# Makes the Windows packages in the Windows build folder and checks them under Wine (the
# environment of scripts/wine-env.sh): the ZIP holds what it should, the installer runs
# silently, puts plenum on the PATH so that a new console compiles an example by the bare
# name, and its uninstaller takes the files and the PATH entry away again.
#   check_installer.sh BUILD_WINDOWS
set -euo pipefail
build=$(cd "$1" && pwd)
: "${WINE:?run under scripts/wine-env.sh}" "${WINEPREFIX:?}"
fail() { echo "FAIL installer: $*"; exit 1; }
# Any other command that fails ends the check too: say which.
trap 'echo "FAIL installer: line $LINENO: $BASH_COMMAND ended with status $?"' ERR

(cd "$build" && cpack >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip="$build/plenum-$version-win64.zip"
installer="$build/plenum-$version-win64.exe"
[ -f "$zip" ] && [ -f "$installer" ] || fail "cpack wrote no ZIP or no installer"

listing=$(unzip -Z1 "$zip" | sed "s|^plenum-$version-win64/||" | grep -v '/$' | sort)
for wanted in bin/plenum.exe doc/language.md doc/plenum.html doc/tirasse.html \
              doc/norvo-loop.html examples/small_console.ncf examples/firmware/nvrelay6.obf \
              editors/plenum-udl.xml "editors/plenum-ncf-$version.vsix"; do
  grep -qx "$wanted" <<<"$listing" || fail "the ZIP lacks $wanted"
done
[ "$(grep -c '^bin/' <<<"$listing")" -eq 1 ] || fail "bin/ holds more than plenum.exe: $(grep '^bin/' <<<"$listing")"

environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
path_entry='C:\Program Files\plenum\bin'
installed="$WINEPREFIX/drive_c/Program Files/plenum"
system_path() { "$WINE" reg query "$environment" /v PATH | tr -d '\r' | sed -n 's/.*REG_EXPAND_SZ *//p'; }

"$WINE" "$installer" /S
[ -f "$installed/bin/plenum.exe" ] || fail "nothing installed in $installed"
[ -z "$(ls "$installed/bin" | grep -v '^plenum.exe$')" ] || fail "more than plenum.exe in bin"
system_path | tr ';' '\n' | grep -qxF "$path_entry" || fail "PATH lacks $path_entry: $(system_path)"
# The editor files: the Notepad++ language and the VS Code extension package.
for editor_file in plenum-udl.xml "plenum-ncf-$version.vsix"; do
  [ -s "$installed/editors/$editor_file" ] || fail "the installer put no editors/$editor_file"
done

# A new console finds plenum through the PATH alone.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/plenum-installed.XXXXXX")
cp "$installed/examples/small_console.ncf" "$scratch/"
status=0
output=$(cd "$scratch" && "$WINE" cmd /c "plenum -x -t small_console.ncf" 2>&1) || status=$?
rm -rf "$scratch"
[ $status -eq 0 ] || fail "the installed plenum ended with status $status: $output"
grep -qx 'Number of modules is 2' <<<"$output" || fail "the installed plenum compiled nothing: $output"

# The README's first steps: the examples copied out, a download into the simulated loop.
steps=$(mktemp -d "${TMPDIR:-/tmp}/plenum-steps.XXXXXX")
cat >"$steps/steps.bat" <<'STEPS'
xcopy "C:\Program Files\plenum\examples" "%USERPROFILE%\plenum-examples\" /s /i /q
cd /d "%USERPROFILE%\plenum-examples\firmware"
set PLENUM_LOOP=B,B
plenum ..\input_boards.ncf
STEPS
output=$(cd "$steps" && "$WINE" cmd /c steps.bat 2>&1) || true
rm -rf "$steps"
grep -q '^Configuration successfully downloaded' <<<"$output" \
  || fail "the README's first download did not work: $output"
rm -rf "$WINEPREFIX/drive_c/users/$(id -un)/plenum-examples"  # Wine's profile: the Unix user

"$WINE" "$installed/Uninstall.exe" /S
# The uninstaller runs on from a copy of itself; give it a moment.
for _ in $(seq 1 30); do
  [ -e "$installed" ] || break
  sleep 1
done
[ ! -e "$installed" ] || fail "the uninstaller left $installed"
if system_path | tr ';' '\n' | grep -qxF "$path_entry"; then
  fail "the uninstaller left $path_entry on the PATH"
fi
echo "installer: silent install, plenum on the PATH compiles an example and downloads one into the simulated loop, uninstall clean"
