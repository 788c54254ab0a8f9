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

# Starts a private X server when there is no display, and sets DISPLAY. The caller stops it with
# quorlane_stop_display.
quorlane_display_pid=""
quorlane_start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  quorlane_display_pid=$!
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
}

quorlane_stop_display() {
  if [ -n "$quorlane_display_pid" ]; then
    kill "$quorlane_display_pid" 2>/dev/null || true
    wait "$quorlane_display_pid" 2>/dev/null || true
    quorlane_display_pid=""
  fi
}

# Where Debian's fonts-wine puts the fonts Wine brings with it.
quorlane_wine_fonts=/usr/share/wine/fonts

# The Wine prefix of a build tree: created once, reused afterwards. Brings an existing prefix up to
# date too, so every prefix the project makes is set up the same way, however old it is.
quorlane_wine_prefix() {
  local prefix="$1"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$prefix/system.reg" ]; then
    echo "Creating the Wine prefix $prefix (once)"
    WINEPREFIX="$prefix" LC_ALL=zh_CN.UTF-8 /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w || true
  fi
  # Wine draws the title bar's buttons, scroll-bar arrows and check marks as characters of the
  # Marlett font; without it they come out as the letters "0 1 r". fonts-wine installs the fonts
  # Wine brings in /usr/share/wine/fonts, but Debian's Wine 8 looks for them under the name
  # Z:\usr\share\wine\../fonts (WINEDEBUG=+file shows it), which never resolves, so no prefix
  # gets any of them. Windows keeps Marlett in its Fonts folder, and Wine loads every font it finds
  # there: copy it in. Only Marlett: the other faces would change how the window's text is drawn.
  local fonts="$prefix/drive_c/windows/Fonts"
  if [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ] && [ -f "$quorlane_wine_fonts/marlett.ttf" ]; then
    cp "$quorlane_wine_fonts/marlett.ttf" "$fonts/marlett.ttf.part"
    mv "$fonts/marlett.ttf.part" "$fonts/marlett.ttf"
  fi
  # The tests expect the system DPI of 96; one that sets another for its run sets it back, but a
  # run cut short may not have.
  if ! grep -q '"LogPixels"=dword:00000060' "$prefix/system.reg" 2>/dev/null; then
    WINEPREFIX="$prefix" /usr/lib/wine/wine64 reg add 'HKEY_CURRENT_CONFIG\Software\Fonts' \
      /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w || true
  fi
  # Without a window manager, every top-level window Wine manages takes two seconds to close.
  if ! grep -q '"Managed"="N"' "$prefix/user.reg" 2>/dev/null; then
    WINEPREFIX="$prefix" /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /d N /f >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w || true
  fi
}

quorlane_stop_wine() {
  local prefix="$1"
  [ -d "$prefix" ] && WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
}
