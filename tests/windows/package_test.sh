#!/usr/bin/env bash
# The Windows programs and installer under Wine, used as a Windows user would,
# on a private X display with a window manager and in a private Wine prefix:
#
#  1. the built thrustlet.exe opens examples\two_grain.tlt from the command
#     line, shows it in its caption, keeps it as recent file 1 in the
#     registry; its About box finds the system-information tool in the
#     registry; the window closes without a question;
#  2. the installer installs silently: files, Start-menu shortcut, the .tlt
#     association (replacing another program's, which is kept) and the
#     Add/Remove Programs entry; the installed programs run;
#  3. a .tlt file opened through its association starts Thrustlet; a typed
#     grain makes closing ask about unsaved changes, and Yes saves it;
#  4. the silent uninstaller removes all it installed and nothing else: the
#     user's motor file, the settings and the other program's class stay.
#
# usage: tests/windows/package_test.sh BUILD_DIR SETUP_EXE
set -euo pipefail
build_dir=$(cd "$1" && pwd)
setup=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

work=$(mktemp -d "${TMPDIR:-/tmp}/thrustlet-wine.XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export HOME="$work/home"
mkdir -p "$HOME"
pids=()
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAILED: $*" >&2; exit 1; }
pass() { echo "ok - $*"; }

# A private display (the first free one) and a window manager on it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
"$wine" wineboot -i >/dev/null 2>&1
"$wineserver" -w

# Waits up to $2 seconds for a window whose title is exactly $1; prints its id.
wait_window() {
  local id=""
  for _ in $(seq $(( $2 * 5 ))); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
# Waits up to $2 seconds for process $1 to end.
wait_exit() {
  for _ in $(seq $(( $2 * 5 ))); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.2; done
  return 1
}
reg_value() {  # key, value name ("" for the default): the value's data, or nothing
  local args=(/v "$2")
  [ -z "$2" ] && args=(/ve)
  "$wine" reg query "$1" "${args[@]}" 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *[^ ].*REG_[A-Z_]* *//p' | head -n 1
}
key_exists() { "$wine" reg query "$1" >/dev/null 2>&1; }
unix_of() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# 1. The built window program, started with a motor file.
(cd "$root" && exec "$wine" "$build_dir/app/thrustlet.exe" 'examples\two_grain.tlt') >/dev/null 2>&1 &
app=$!
id=$(wait_window "Veskarn - Thrustlet - two_grain.tlt" 90) || fail "no window for examples\\two_grain.tlt"
recent=$(reg_value 'HKCU\software\Thrustlet' RecentFile1)
[ "$recent" = "$(tr / '\\' <<<"Z:$root/examples/two_grain.tlt")" ] || fail "RecentFile1 is '$recent'"
pass "thrustlet.exe opens examples\\two_grain.tlt and keeps it as recent file 1"

# Help > About > System Info looks the tool up in the real registry: absent
# at first (the message shows), then the path written there (a stand-in).
xdotool windowactivate --sync "$id" key --clearmodifiers alt+h a
about=$(wait_window "About Thrustlet" 30) || fail "Help > About shows no About box"
xdotool windowactivate --sync "$about" key --clearmodifiers alt+s
message=$(wait_window "Thrustlet" 30) || fail "System Info without the tool showed no message"
xdotool windowactivate --sync "$message" key --clearmodifiers Return
"$wine" reg add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /d 'C:\windows\system32\notepad.exe' /f \
  >/dev/null 2>&1
xdotool windowactivate --sync "$about" key --clearmodifiers alt+s
tool=$(wait_window "Untitled - Notepad" 60) || fail "System Info did not start the tool the registry names"
xdotool windowactivate --sync "$tool" key --clearmodifiers alt+F4
xdotool windowactivate --sync "$about" key --clearmodifiers Escape
xdotool windowactivate --sync "$id" key --clearmodifiers alt+F4
wait_exit "$app" 30 || fail "the window did not close"
pass "System Info starts the tool the registry names, else says it is unavailable; the window closes"

# 2. The silent installation, over another program's .tlt class.
"$wine" reg add 'HKLM\Software\Classes\.tlt' /ve /d Other.Document /f >/dev/null 2>&1
"$wine" "$setup" /S
"$wineserver" -w
program_files=$(unix_of 'C:\Program Files')
install="$program_files/Thrustlet"
for file in thrustlet.exe thrustlet-kn.exe README.txt LICENSE.txt uninstall.exe examples/two_grain.tlt \
  examples/six_grain_54mm.tlt examples/README.txt; do
  [ -f "$install/$file" ] || fail "not installed: $file"
done
start_menu=$(unix_of 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs')
[ -f "$start_menu/Thrustlet.lnk" ] || fail "no Start-menu shortcut"
[ "$(reg_value 'HKLM\Software\Classes\.tlt' '')" = Thrustlet.MotorFile ] || fail ".tlt is not Thrustlet's"
command=$(reg_value 'HKLM\Software\Classes\Thrustlet.MotorFile\shell\open\command' '')
[ "$command" = '"C:\Program Files\Thrustlet\thrustlet.exe" "%1"' ] || fail "open command is '$command'"
[ -n "$(reg_value 'HKLM\Software\Classes\Thrustlet.MotorFile\DefaultIcon' '')" ] || fail "no icon for .tlt files"
uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Thrustlet'
[ "$(reg_value "$uninst" DisplayVersion)" = "1.1.8" ] || fail "Add/Remove Programs: no version"
[ "$(reg_value "$uninst" Publisher)" = Veskarn ] || fail "Add/Remove Programs: no publisher"
report=$("$wine" "$install/thrustlet-kn.exe" 'C:\Program Files\Thrustlet\examples\two_grain.tlt' | tr -d '\r')
grep -qx "Initial Kn: 152" <<<"$report" || fail "thrustlet-kn: $report"
version=$("$wine" "$install/thrustlet.exe" --version | tr -d '\r')
[ "$version" = "Thrustlet 1.1.8" ] || fail "thrustlet --version: '$version'"
pass "the installer installs silently: files, shortcut, association, Add/Remove entry; the programs run"

# 3. A motor file of the user's, opened as by a double-click.
documents=$(unix_of 'C:\users\Public\Documents')
mkdir -p "$documents/designs"
cp "$root/examples/two_grain.tlt" "$documents/designs/mine.tlt"
"$wine" start /unix "$documents/designs/mine.tlt" >/dev/null 2>&1 &
id=$(wait_window "Veskarn - Thrustlet - mine.tlt" 90) || fail "no window for a double-clicked .tlt file"
# The first grain's length becomes 2; Add Grain (Alt+A) appends that grain.
xdotool windowactivate --sync "$id"
sleep 1
xdotool key --clearmodifiers End shift+Home
xdotool type --delay 50 2
xdotool key --clearmodifiers alt+a
sleep 1
xdotool key --clearmodifiers alt+F4
question=$(wait_window "Unsaved Changes" 30) || fail "closing with unsaved changes asked nothing"
xdotool windowactivate --sync "$question" key --clearmodifiers alt+y
for _ in $(seq 150); do pgrep -f 'thrustlet.exe' >/dev/null || break; sleep 0.2; done
pgrep -f 'thrustlet.exe' >/dev/null && fail "the window did not close after Yes"
grains=$(grep -c '^Grain:' "$documents/designs/mine.tlt")
[ "$grains" = 3 ] || fail "the saved file has $grains grains"
grep -q $'^Grain:1,2,2,0.8\r$' "$documents/designs/mine.tlt" || fail "the typed grain was not saved"
recent=$(reg_value 'HKCU\software\Thrustlet' RecentFile1)
[ "$recent" = 'C:\users\Public\Documents\designs\mine.tlt' ] || fail "RecentFile1 is '$recent'"
pass "a double-clicked .tlt opens; a typed grain makes closing ask; Yes saves it"

# 4. The silent uninstallation.
"$wine" "$install/uninstall.exe" /S
"$wineserver" -w
[ ! -e "$install" ] || fail "left behind: $(cd "$install" && find . | tr '\n' ' ')"
[ ! -e "$start_menu/Thrustlet.lnk" ] || fail "the Start-menu shortcut is left"
key_exists 'HKLM\Software\Classes\Thrustlet.MotorFile' && fail "the Thrustlet.MotorFile class is left"
key_exists "$uninst" && fail "the Add/Remove Programs entry is left"
[ "$(reg_value 'HKLM\Software\Classes\.tlt' '')" = Other.Document ] || fail "the other program's .tlt class is lost"
[ -f "$documents/designs/mine.tlt" ] || fail "the user's motor file is gone"
key_exists 'HKCU\software\Thrustlet' || fail "the user's settings are gone"
pass "the uninstaller removes all it installed and nothing else"
