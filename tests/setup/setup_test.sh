#!/usr/bin/env bash
# The setup program under Wine, in a fresh prefix of its own: a silent install, zarvelo.exe started from
# the install folder, a silent setup that stops while Zarvelo runs, an install over it with a backup in the
# folder, and a silent uninstall. The shipped 32-bit setup under 32-bit Wine, or the 64-bit one under
# 64-bit Wine (ZV_WINE_ARCH, as the test preset says).
# usage: setup_test.sh <zarvelo-VERSION-setup[-x64].exe> <VERSION> <folder of the programs it packs>
set -euo pipefail
setup=$(realpath "$1")
version=$2
bin=$(realpath "$3")
root=$(cd "$(dirname "$0")/../.." && pwd)
export ZV_WINE_HOME="$root/build/wine-setup" ZV_XVFB_DISPLAY=1
# The shortcuts the setup creates must not become Linux menu entries.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
rm -rf "$ZV_WINE_HOME"
. "$root/scripts/wine-env.sh"

zarvelo_pid=""
finish() {
  [ -n "$zarvelo_pid" ] && kill "$zarvelo_pid" 2>/dev/null
  zv_server_stop
}
trap finish EXIT
zv_server_start

dir='C:\Tools\Zarvelo'
folder="$WINEPREFIX/drive_c/Tools/Zarvelo"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zarvelo"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zarvelo'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
wine_() { "$ZV_WINE" "$@" 2>/dev/null; }
# The data of a registry value as `reg query` prints it, or nothing.
value() { { wine_ reg query "$1" /v "$2" || true; } | tr -d '\r' | sed -n "s/^    $2    REG_[A-Z_]*    //p"; }
expect_value() { [ "$(value "$1" "$2")" = "$3" ] || fail "$1 $2 is '$(value "$1" "$2")', not '$3'"; }
# Runs the setup program (or uninstaller) and checks its exit code: 0 done, 2 stopped by the script.
run() {
  local want=$1 rc=0; shift
  wine_ "$@" || rc=$?
  [ "$rc" -eq "$want" ] || fail "$* ended with $rc, not $want"
}

# Settings of both programs and Pulsiva's autostart, as they would be after using them.
cat >"$ZV_WINE_HOME/settings.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Quonibar\Zarvelo]
"LoadedMain"="Yes"
"CheckHost"="example.org"
"CheckSafetyBackup"="Before Optimize 2026-12-08 14.05.33.zsb"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\RunOnce]
"Zarvelo"="\"C:\\Tools\\Zarvelo\\zarvelo.exe\" /check"

[HKEY_LOCAL_MACHINE\SOFTWARE\Quonibar\Pulsiva]
"Loaded"="Yes"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"Pulsiva"="\"C:\\Tools\\Zarvelo\\pulsiva.exe\""
REG
wine_ regedit /S "$(wine_ winepath -w "$ZV_WINE_HOME/settings.reg")"

echo "setup: silent install of $setup into $dir ($ZV_WINE_ARCH)"
run 0 "$setup" /S "/D=$dir"
for f in zarvelo.exe pulsiva.exe zarvelo.chm; do
  cmp -s "$bin/$f" "$folder/$f" || fail "$f is not installed as built"
done
for f in readme.txt uninstall.exe; do
  [ -s "$folder/$f" ] || fail "$f is not installed"
done
for link in Zarvelo:zarvelo.exe Pulsiva:pulsiva.exe Help:zarvelo.chm Uninstall:uninstall.exe; do
  lnk="$menu/${link%%:*}.lnk"
  # A link keeps its target's path as plain text too.
  [ -f "$lnk" ] && grep -qaiF "$dir\\${link#*:}" "$lnk" ||
    fail "no shortcut $lnk to ${link#*:}"
done
expect_value "$uninstall_key" DisplayName "Zarvelo and Pulsiva"
expect_value "$uninstall_key" DisplayVersion "$version"
expect_value "$uninstall_key" Publisher "Quonibar"
expect_value "$uninstall_key" DisplayIcon "$dir\\zarvelo.exe,0"
expect_value "$uninstall_key" InstallLocation "$dir"
expect_value "$uninstall_key" UninstallString "\"$dir\\uninstall.exe\""
size_kb=$(( $(value "$uninstall_key" EstimatedSize) ))
[ "$size_kb" -ge $(( $(du -ck "$bin/zarvelo.exe" "$bin/pulsiva.exe" | tail -1 | cut -f1) / 2 )) ] ||
  fail "EstimatedSize $size_kb KB is too small"

echo "setup: zarvelo.exe from the install folder"
(cd "$folder" && exec "$ZV_WINE" "$dir\\zarvelo.exe" >/dev/null 2>&1) &
zarvelo_pid=$!
shown=""
for _ in $(seq 1 100); do
  id=$(xwininfo -root -tree 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "Zarvelo": ("zarvelo.exe".*/\1/p' | head -1)
  if [ -n "$id" ] && xwininfo -id "$id" | grep -q "IsViewable"; then shown=$id; break; fi
  sleep 0.2
done
[ -n "$shown" ] || fail "zarvelo.exe started from $dir shows no window"
mkdir -p "$ZV_SHOTS" && import -window root "$ZV_SHOTS/setup-installed-zarvelo.png"

echo "setup: a silent setup stops while Zarvelo runs"
run 2 "$setup" /S
kill "$zarvelo_pid"; wait "$zarvelo_pid" 2>/dev/null || true; zarvelo_pid=""

echo "setup: install over it, with a backup in the folder"
mkdir -p "$folder/backup"
printf 'the user backup\r\n' >"$folder/backup/before.dat"
printf 'older version\r\n' >"$folder/readme.txt"
run 0 "$setup" /S
[ "$(cat "$folder/backup/before.dat")" = $'the user backup\r' ] || fail "the backup did not survive the install over it"
grep -q "Version $version" "$folder/readme.txt" || fail "the install over it did not go to $dir"
expect_value 'HKLM\SOFTWARE\Quonibar\Zarvelo' LoadedMain "Yes"

echo "setup: silent uninstall"
# The uninstaller copies itself out of the folder and returns at once; run that way, it is awaited.
cp "$folder/uninstall.exe" "$WINEPREFIX/drive_c/windows/temp/zv-uninstall.exe"
run 0 'C:\windows\temp\zv-uninstall.exe' /S "_?=$dir"
left=""
[ -d "$folder" ] && left=$(cd "$folder" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$left" = "./backup ./backup/before.dat " ] || fail "the uninstall left '$left' in $dir, not just the backup"
[ ! -e "$menu" ] || fail "the Start menu group is still there"
wine_ reg query "$uninstall_key" >/dev/null && fail "the Add/Remove Programs entry is still there"
[ -z "$(value "$run_key" Pulsiva)" ] || fail "Pulsiva still starts with Windows"
[ -z "$(value "${run_key}Once" Zarvelo)" ] || fail "a pending network check still starts Zarvelo"
[ -z "$(value 'HKLM\SOFTWARE\Quonibar\Zarvelo' CheckHost)" ] || fail "the pending network check is still stored"
expect_value 'HKLM\SOFTWARE\Quonibar\Zarvelo' LoadedMain "Yes"
expect_value 'HKLM\SOFTWARE\Quonibar\Pulsiva' Loaded "Yes"

if [ "$failures" -ne 0 ]; then
  echo "setup: $failures failures" >&2
  exit 1
fi
echo "setup: all checks passed"
