#!/usr/bin/env bash
# Makes the Windows packages in the Windows build folder and checks them under Wine (the
# environment of scripts/wine-env.sh): the ZIP holds what it should, the installer runs
# silently, puts plenum on the PATH so that a new console compiles an example by the bare
# name, the installed tirasse.exe downloads an example into the simulated loop when its
# Download button is pressed, and the uninstaller takes the files, the Start-menu entry and
# the PATH entry away again. tirasse.exe's windows need a display (scripts/virtual-display.sh).
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
for wanted in bin/plenum.exe bin/tirasse.exe bin/plenum.bat bin/version.txt doc/language.md \
              doc/plenum.html doc/tirasse.html doc/norvo-loop.html examples/small_console.ncf \
              examples/firmware/nvrelay6.obf editors/plenum-udl.xml "editors/plenum-ncf-$version.vsix"; do
  grep -qx "$wanted" <<<"$listing" || fail "the ZIP lacks $wanted"
done
programs='plenum.bat
plenum.exe
tirasse.exe
version.txt'
# No DLL beside the programs: both are linked statically.
[ "$(grep '^bin/' <<<"$listing" | sed 's|^bin/||')" = "$programs" ] \
  || fail "bin/ holds other files than the programs: $(grep '^bin/' <<<"$listing")"

environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
path_entry='C:\Program Files\plenum\bin'
installed="$WINEPREFIX/drive_c/Program Files/plenum"
system_path() { "$WINE" reg query "$environment" /v PATH | tr -d '\r' | sed -n 's/.*REG_EXPAND_SZ *//p'; }

"$WINE" "$installer" /S
[ -f "$installed/bin/plenum.exe" ] || fail "nothing installed in $installed"
[ "$(ls "$installed/bin")" = "$programs" ] || fail "bin holds other files: $(ls "$installed/bin")"
start_menu_entry=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'tirasse.lnk' | head -n 1)
[ -n "$start_menu_entry" ] || fail "no Start-menu entry for tirasse"
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

# The installed tirasse.exe, driven from outside: Download with the configuration named in its
# settings (a name outside the ANSI code page), into the simulated loop; plenum runs in the
# firmware folder of the settings (one in the profile: Wine's Documents is the Unix home).
driver="$build/tirasse/win32/tirasse_driver.exe"
[ -f "$driver" ] || fail "no $driver (built with the tests)"
profile="$WINEPREFIX/drive_c/users/$(id -un)"
organ_dir="$profile/Orgelbau_Übung"
mkdir -p "$profile/AppData/Roaming/Norvo" "$organ_dir/Firmware"
cp "$installed/examples/small_console.ncf" "$organ_dir/Kirche_орган_𝄞.ncf"
cp "$installed/examples/firmware/"*.obf "$organ_dir/Firmware/"
organ_path="C:\\users\\$(id -un)\\Orgelbau_Übung"
config_path="$organ_path\\Kirche_орган_𝄞.ncf"
printf 'V3\n0\n\n0\n\n%s\n\n\n\nfirmwareDir=%s\n' "$config_path" "$organ_path\\Firmware" \
  >"$profile/AppData/Roaming/Norvo/tirasse.ini"
status=0
output=$(PLENUM_LOOP=B,B "$WINE" "$driver" 'C:\Program Files\plenum\bin\tirasse.exe' 2>&1) || status=$?
[ $status -eq 0 ] || fail "the installed tirasse.exe did not download the example (status $status): $output"
grep -qF "Parsing file $config_path" <<<"$output" \
  || fail "tirasse.exe's plenum did not get the configuration's name whole: $output"
grep -qx 'V3' "$profile/AppData/Roaming/Norvo/tirasse.ini" || fail "Exit wrote no settings"
rm -rf "$profile/AppData/Roaming/Norvo" "$organ_dir"
echo "installed tirasse.exe: Download into the simulated loop, outcome line read from its window"

"$WINE" "$installed/Uninstall.exe" /S
# The uninstaller runs on from a copy of itself; give it a moment.
for _ in $(seq 1 30); do
  [ -e "$installed" ] || break
  sleep 1
done
[ ! -e "$installed" ] || fail "the uninstaller left $installed"
[ ! -e "$start_menu_entry" ] || fail "the uninstaller left $start_menu_entry"
if system_path | tr ';' '\n' | grep -qxF "$path_entry"; then
  fail "the uninstaller left $path_entry on the PATH"
fi
echo "installer: silent install of plenum.exe and tirasse.exe with its Start-menu entry, plenum on the PATH compiles an example and downloads one into the simulated loop, uninstall clean"
