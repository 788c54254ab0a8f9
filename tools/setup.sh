#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any of them is missing.
# Sourced by test.sh and run.sh.

quorlane_packages=(
  cmake g++ make googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine64 fonts-wine xvfb fonts-wqy-microhei imagemagick zip unzip locales python3
)

# Google's fastboot client is built with zlib for MinGW-w64; the phone simulated on the network is a
# Python program, and its tests use Debian's Linux client.
quorlane_packages+=(libz-mingw-w64-dev fastboot python3)

quorlane_setup() {
  local missing=()
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  local p
  for p in "${quorlane_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
      "${missing[@]}" >/dev/null
  fi
  # Wine takes its code pages from LC_ALL=zh_CN.UTF-8, and converts file names through it: without
  # the compiled locale, Chinese file names cannot be created.
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    echo "Generating the zh_CN.UTF-8 locale"
    "${sudo[@]}" localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
  fi
}

# Starts a private X server on a free display number and sets the variable named by $1 to it. The
# caller stops every server started so with quorlane_stop_display.
quorlane_display_pids=()
quorlane_start_xvfb() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  quorlane_display_pids+=($!)
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export "$1=:$n"
}

# Sets DISPLAY to a private X server when there is no display.
quorlane_start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  quorlane_start_xvfb DISPLAY
}

# A second private X server for the Wine tests that need the screen to themselves
# (QUORLANE_SCREEN_DISPLAY, read by cmake/wine-run.sh).
quorlane_start_screen_display() {
  [ -n "${QUORLANE_SCREEN_DISPLAY:-}" ] && return 0
  quorlane_start_xvfb QUORLANE_SCREEN_DISPLAY
}

quorlane_stop_display() {
  local pid
  for pid in "${quorlane_display_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  quorlane_display_pids=()
}

# Where Debian's fonts-wine puts the fonts Wine brings with it.
quorlane_wine_fonts=/usr/share/wine/fonts

# A Wine program of a prefix with no standard handles of the caller, and not its lock (fd 9).
quorlane_wine_quietly() {
  local prefix="$1"
  shift
  WINEPREFIX="$prefix" LC_ALL=zh_CN.UTF-8 /usr/lib/wine/wine64 "$@" </dev/null >/dev/null 2>&1 9>&- || true
}

# The Wine prefix of a build tree: created once, reused afterwards, and its Wine server started when
# it is not running. Every prefix the project makes is set up the same way, however old it is.
# Several callers at once take turns.
#
# The server is started here, kept for 30 s after its last program, and so are the system processes
# Wine starts beside the first program (services, devices, the desktop), with no standard handles
# of the caller: they live as long as the server, and a test whose output they held would not end
# before it. Call it with the DISPLAY the prefix's windows are to appear on.
quorlane_wine_prefix() {
  local prefix="$1"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$prefix"
  (
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
      echo "Creating the Wine prefix $prefix (once)"
      quorlane_wine_quietly "$prefix" wineboot -i
      WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w 9>&- || true
    fi
    # Wine draws the title bar's buttons, scroll-bar arrows and check marks as characters of the
    # Marlett font; without it they come out as the letters "0 1 r". fonts-wine installs the fonts
    # Wine brings in /usr/share/wine/fonts, but Debian's Wine 8 looks for them under the name
    # Z:\usr\share\wine\../fonts (WINEDEBUG=+file shows it), which never resolves, so no prefix
    # gets any of them. Windows keeps Marlett in its Fonts folder, and Wine loads every font it
    # finds there: copy it in. Only Marlett: the other faces would change how the window's text is
    # drawn.
    local fonts="$prefix/drive_c/windows/Fonts"
    if [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ] && [ -f "$quorlane_wine_fonts/marlett.ttf" ]; then
      cp "$quorlane_wine_fonts/marlett.ttf" "$fonts/marlett.ttf.part"
      mv "$fonts/marlett.ttf.part" "$fonts/marlett.ttf"
    fi
    # A running server holds the registry, and may not have written it out: the settings below
    # are looked at only when it starts here.
    WINEPREFIX="$prefix" /usr/lib/wine/wineserver -p30 </dev/null >/dev/null 2>&1 9>&- || exit 0
    # The tests expect the system DPI of 96; one that sets another for its run sets it back, but a
    # run cut short may not have.
    if ! grep -q '"LogPixels"=dword:00000060' "$prefix/system.reg" 2>/dev/null; then
      quorlane_wine_quietly "$prefix" reg add 'HKEY_CURRENT_CONFIG\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d 96 /f
    fi
    # Without a window manager, every top-level window Wine manages takes two seconds to close.
    if ! grep -q '"Managed"="N"' "$prefix/user.reg" 2>/dev/null; then
      quorlane_wine_quietly "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    fi
    quorlane_wine_quietly "$prefix" cmd /c exit
  ) 9>"$prefix/.quorlane-start.lock"
}

quorlane_stop_wine() {
  local prefix="$1"
  [ -d "$prefix" ] && WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
}
