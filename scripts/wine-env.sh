# Sourced by the Wine scripts: where the prefix lives and how to bring up the display, prefix and server.
ZV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${ZV_WINE_HOME:=$ZV_ROOT/build/wine}"
export ZV_WINE_HOME

# Whether this machine executes 32-bit x86 code. Some kernels and hypervisors refuse it whatever is
# installed, so a tiny 32-bit program that only exits with 42 is run: no package is asked, and a
# machine that lacks the i386 packages but runs 32-bit code still answers yes.
zv_runs_32bit() {
  local probe="$ZV_ROOT/build/runs-32bit-probe" rc=0
  if [ ! -x "$probe" ]; then
    mkdir -p "$ZV_ROOT/build"
    # ELF header, one loadable segment, then: mov ebx, 42; mov eax, 1 (exit); int 0x80.
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' >"$probe.tmp"
    chmod +x "$probe.tmp" && mv "$probe.tmp" "$probe"
  fi
  "$probe" 2>/dev/null || rc=$?
  [ "$rc" -eq 42 ]
}

# Which Wine runs the Windows tests: win32, 32-bit programs in a 32-bit prefix (the shipped programs
# themselves), or win64, 64-bit programs under 64-bit Wine where the kernel refuses 32-bit code. The
# test presets name it; otherwise it follows the machine.
if [ -z "${ZV_WINE_ARCH:-}" ]; then
  if zv_runs_32bit; then ZV_WINE_ARCH=win32; else ZV_WINE_ARCH=win64; fi
fi
export ZV_WINE_ARCH
export WINEARCH=$ZV_WINE_ARCH
# A prefix of each architecture, so that switching between them makes neither anew.
export WINEPREFIX="$ZV_WINE_HOME/prefix-$ZV_WINE_ARCH"
if [ "$ZV_WINE_ARCH" = win32 ]; then
  ZV_WINE=/usr/lib/wine/wine
  WINESERVER=/usr/lib/wine/wineserver32
else
  ZV_WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
  WINESERVER=/usr/lib/wine/wineserver64
fi
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver)
export WINELOADER="$ZV_WINE" WINESERVER
# The test programs of that architecture, and the programs they drive: the shipped ones, or the 64-bit build.
if [ "$ZV_WINE_ARCH" = win32 ]; then
  ZV_TESTS_BIN="$ZV_ROOT/build/wintests32/bin"
  ZV_PROGRAMS_BIN="$ZV_ROOT/build/win32/bin"
else
  ZV_TESTS_BIN="$ZV_ROOT/build/wintests/bin"
  ZV_PROGRAMS_BIN="$ZV_TESTS_BIN"
fi
export WINEDEBUG="${WINEDEBUG:--all}"
ZV_SHOTS="$ZV_ROOT/build/screenshots"

mkdir -p "$ZV_WINE_HOME"

# Uses the caller's display when there is one; otherwise one Xvfb per build folder, started on demand.
zv_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${ZV_XVFB_DISPLAY:-}" ] && [ ! -f "$ZV_WINE_HOME/xvfb.pid" ]; then
    return 0
  fi
  exec 8>"$ZV_WINE_HOME/display.lock"
  flock 8
  local pid=""
  [ -f "$ZV_WINE_HOME/xvfb.pid" ] && pid=$(cat "$ZV_WINE_HOME/xvfb.pid")
  if [ -z "$pid" ] || ! kill -0 "$pid" 2>/dev/null; then
    local fifo="$ZV_WINE_HOME/displayfd"
    rm -f "$fifo"; mkfifo "$fifo"
    setsid Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$fifo" >/dev/null 2>&1 </dev/null 8>&- 7>&- &
    echo $! >"$ZV_WINE_HOME/xvfb.pid"
    local num
    read -r num <"$fifo"
    rm -f "$fifo"
    echo ":$num" >"$ZV_WINE_HOME/display"
  fi
  export DISPLAY
  DISPLAY=$(cat "$ZV_WINE_HOME/display")
  flock -u 8
  exec 8>&-
}

# Creates the prefix once, with the virtual desktop (it gives the tray a real taskbar window).
zv_ensure_prefix() {
  [ -f "$WINEPREFIX/.zv-ready-2" ] && return 0
  exec 7>"$ZV_WINE_HOME/prefix.lock"
  flock 7
  if [ ! -f "$WINEPREFIX/.zv-ready-2" ]; then
    # Half made: made anew.
    rm -rf "$WINEPREFIX"
    echo "wine: creating the $ZV_WINE_ARCH prefix in $WINEPREFIX" >&2
    WINEDLLOVERRIDES="mscoree,mshtml=" "$ZV_WINE" wineboot -i >/dev/null 2>&1 7>&- 8>&-
    # Debian's Wine does not find its own TrueType fonts (Marlett for the caption buttons, Tahoma, MS Sans
    # Serif) in its data folder: they go where every Windows keeps its fonts.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    cat >"$ZV_WINE_HOME/prefix.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"mscoree"=""
REG
    "$ZV_WINE" regedit /S "$("$ZV_WINE" winepath -w "$ZV_WINE_HOME/prefix.reg" 2>/dev/null)" >/dev/null 2>&1 7>&- 8>&-
    "$WINESERVER" -w
    touch "$WINEPREFIX/.zv-ready-2"
  fi
  flock -u 7
  exec 7>&-
}

zv_server_start() {
  zv_ensure_display
  zv_ensure_prefix
  # An already running server (a previous run not stopped) refuses a second one; that one serves.
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
  # Bring up the desktop (and Wine's services) now, detached: started later by a test program they
  # would inherit its output pipes and keep the test runner waiting.
  if ! xwininfo -root -children 2>/dev/null | grep -q 'Wine desktop'; then
    setsid "$ZV_WINE" explorer.exe /desktop=Default,1024x768 </dev/null >/dev/null 2>&1 &
    local i
    for i in $(seq 1 100); do
      xwininfo -root -children 2>/dev/null | grep -q 'Wine desktop' && break
      sleep 0.1
    done
  fi
}

# Ends every Wine process of this prefix and the Xvfb started for it.
zv_server_stop() {
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
  if [ -f "$ZV_WINE_HOME/xvfb.pid" ]; then
    kill "$(cat "$ZV_WINE_HOME/xvfb.pid")" 2>/dev/null || true
    rm -f "$ZV_WINE_HOME/xvfb.pid" "$ZV_WINE_HOME/display"
  fi
}

# Screenshots are written by the Windows tests as BMP; people look at PNG.
zv_convert_shots() {
  [ -d "$ZV_SHOTS" ] || return 0
  local f
  for f in "$ZV_SHOTS"/*.bmp; do
    [ -e "$f" ] || continue
    convert "$f" "${f%.bmp}.png" && rm -f "$f"
  done
}
