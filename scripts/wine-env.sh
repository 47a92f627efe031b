# Sourced by the Wine scripts: where the prefix lives and how to bring up the display, prefix and server.
ZV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${ZV_WINE_HOME:=$ZV_ROOT/build/wine}"
export ZV_WINE_HOME
export WINEPREFIX="$ZV_WINE_HOME/prefix"
# 64-bit Wine: the Windows tests are 64-bit programs, so they run on machines whose kernel cannot
# execute 32-bit code at all. Where 32-bit Wine (wine32) also works, the same prefix runs the shipped
# 32-bit programs too.
export WINEARCH=win64
ZV_WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINELOADER="$ZV_WINE"
if [ -x /usr/lib/wine/wineserver64 ]; then
  export WINESERVER=/usr/lib/wine/wineserver64
else
  export WINESERVER=$(command -v wineserver)
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

# Creates the 32-bit prefix once, with the virtual desktop (it gives the tray a real taskbar window).
zv_ensure_prefix() {
  [ -f "$WINEPREFIX/.zv-ready-win64-2" ] && return 0
  exec 7>"$ZV_WINE_HOME/prefix.lock"
  flock 7
  if [ ! -f "$WINEPREFIX/.zv-ready-win64-2" ]; then
    # Half made, or of another architecture (an older checkout's 32-bit one): made anew.
    rm -rf "$WINEPREFIX"
    echo "wine: creating the 64-bit prefix in $WINEPREFIX" >&2
    WINEDLLOVERRIDES="mscoree,mshtml=" "$ZV_WINE" wineboot -i >/dev/null 2>&1 7>&- 8>&-
    # 64-bit Wine does not find its own TrueType fonts (Marlett for the caption buttons, Tahoma, MS Sans
    # Serif) in its data folder as 32-bit Wine does: they go where every Windows keeps its fonts.
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
    touch "$WINEPREFIX/.zv-ready-win64-2"
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

# Whether this machine executes 32-bit x86 code (some kernels and hypervisors do not): only then can the
# shipped 32-bit programs themselves be started.
zv_runs_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
