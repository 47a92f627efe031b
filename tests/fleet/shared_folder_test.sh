#!/usr/bin/env bash
# Two computers run zarvelo.exe from one shared program folder, as a lab's log-on script does: each keeps
# its own backups and safety backups on its own disk, a restore brings back its own values, and another
# computer's backup is refused. Each computer is a Wine prefix of its own whose Wine sees the host name
# of a UTS namespace (unshare -u) as its computer name, with the shared folder as network drive N:.
# usage: shared_folder_test.sh <folder of the programs under test>. Needs root (unshare); skipped without.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work="$root/build/fleet"
share="$work/share"
# On computer NAME: `on NAME command...` runs a command under that computer's Wine, with its host name.
if [ "${1:-}" = --on ]; then
  name=$2
  shift 2
  echo "$name" >/proc/sys/kernel/hostname
  export ZV_WINE_HOME="$work/$name" ZV_XVFB_DISPLAY=1 WINEDLLOVERRIDES="winemenubuilder.exe=d"
  . "$root/scripts/wine-env.sh"
  zv_ensure_display
  zv_ensure_prefix
  exec "$ZV_WINE" "$@" 2>/dev/null
fi
on() { unshare -u "$0" --on "$@"; }

programs=$(realpath "$1")
if [ "$(id -u)" -ne 0 ]; then
  echo "shared-folder: skipped: a second computer name needs a UTS namespace (root)"
  exit 77
fi

rm -rf "$work"
mkdir -p "$share"
cp "$programs/zarvelo.exe" "$share/"
finish() {
  for name in LAB-A LAB-B; do
    [ -d "$work/$name" ] || continue
    (export ZV_WINE_HOME="$work/$name"; . "$root/scripts/wine-env.sh"; zv_server_stop) || true
  done
}
trap finish EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
tcpip='HKLM\System\CurrentControlSet\Services\Tcpip\Parameters'
# DefaultTTL of computer NAME, in decimal.
ttl() {
  local hex
  hex=$(on "$1" reg query "$tcpip" /v DefaultTTL | tr -d '\r' | sed -n 's/.*REG_DWORD *0x\([0-9a-f]*\).*/\1/p')
  echo $((16#${hex:-0}))
}
expect_ttl() { local got; got=$(ttl "$1"); [ "$got" = "$2" ] || fail "$1's DefaultTTL is $got, not $2 $3"; }
# zarvelo.exe from the shared folder on computer NAME, expecting exit code WANT.
zarvelo() {
  local name=$1 want=$2 rc=0
  shift 2
  on "$name" 'N:\zarvelo.exe' "$@" /quiet || rc=$?
  [ "$rc" = "$want" ] || fail "on $name, zarvelo.exe $* ended with $rc, not $want"
}

for name in LAB-A LAB-B; do
  ttl_value=111
  [ "$name" = LAB-B ] && ttl_value=222
  on "$name" cmd /c exit 0
  prefix=$(ls -d "$work/$name"/prefix-*)
  ln -s "$share" "$prefix/dosdevices/n:"
  on "$name" reg add 'HKLM\Software\Wine\Drives' /v n: /d network /f >/dev/null
  on "$name" reg add 'HKCU\Software\Wine\AppDefaults\zarvelo.exe' /v Version /d winxp /f >/dev/null
  on "$name" reg add "$tcpip" /v DefaultTTL /t REG_DWORD /d "$ttl_value" /f >/dev/null
done
name_seen=$(on LAB-A cmd /c echo %COMPUTERNAME% | tr -d '\r')
[ "$name_seen" = LAB-A ] || fail "the first computer calls itself '$name_seen', not LAB-A"

echo "shared-folder: LAB-A and LAB-B back up, then LAB-A tunes and restores"
zarvelo LAB-A 0 /backup "Before lab tuning"
zarvelo LAB-B 0 /backup "Before lab tuning"
zarvelo LAB-A 0 /optimize 2 3
[ "$(ttl LAB-A)" != 111 ] || fail "/optimize 2 3 left LAB-A's DefaultTTL at 111"
zarvelo LAB-A 0 /restore "Before lab tuning"
expect_ttl LAB-A 111 "after its own backup was restored"
expect_ttl LAB-B 222 "(LAB-A's runs must not touch it)"

for name in LAB-A LAB-B; do
  prefix=$(ls -d "$work/$name"/prefix-* | head -1)
  folder="$prefix/drive_c/windows/Zarvelo/backup"
  [ -f "$folder/Before lab tuning.dat" ] || fail "$name's backup is not on its own disk ($folder)"
  grep -qa "ZVPC.*$name" "$folder/Before lab tuning.dat" || fail "$name's backup does not name $name"
done
[ "$(ls -d "$work"/LAB-A/prefix-*/drive_c/windows/Zarvelo/backup/Before\ Optimize\ *.zsb 2>/dev/null | wc -l)" -ge 1 ] ||
  fail "LAB-A's safety backup is not on its own disk"
[ ! -e "$share/backup" ] || fail "something was written to the shared folder: $(ls -R "$share/backup")"

echo "shared-folder: another computer's backup is refused from the command line"
cp "$(ls -d "$work"/LAB-B/prefix-*)/drive_c/windows/Zarvelo/backup/Before lab tuning.dat" \
   "$(ls -d "$work"/LAB-A/prefix-*)/drive_c/windows/Zarvelo/backup/From B.dat"
zarvelo LAB-A 3 /restore "From B"
expect_ttl LAB-A 111 "after another computer's backup was refused"

if [ "$failures" -ne 0 ]; then
  echo "shared-folder: $failures failures" >&2
  exit 1
fi
echo "shared-folder: all checks passed"
