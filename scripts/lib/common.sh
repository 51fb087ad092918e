# Shared by the README's commands and the Wine wrapper: packages, the virtual
# display and the Wine prefix. Source it; it defines functions only.

KW_ROOT=${KW_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}

KW_PACKAGES=(cmake g++ make googletest g++-mingw-w64-i686 wine wine32:i386 fonts-wine xvfb imagemagick clang libclang-rt-dev)

kw_say() { printf '%s\n' "$*" >&2; }

# Installs the Debian packages the project needs when some are missing (as
# root), or prints the exact command to run and fails.
kw_need_packages() {
  local missing=() p
  for p in "${KW_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local needs_i386=0
  for p in "${missing[@]}"; do [[ $p == *:i386 ]] && needs_i386=1; done
  if [ "$(id -u)" -ne 0 ]; then
    kw_say "Missing Debian packages: ${missing[*]}"
    kw_say "Install them as root with:"
    [ $needs_i386 -eq 1 ] && kw_say "  dpkg --add-architecture i386 && apt-get update"
    kw_say "  apt-get install -y ${missing[*]}"
    exit 1
  fi
  kw_say "Installing Debian packages: ${missing[*]}"
  if [ $needs_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    kw_say "Adding the i386 architecture (Wine's 32-bit half)"
    dpkg --add-architecture i386
  fi
  DEBIAN_FRONTEND=noninteractive apt-get update -q >&2 || return 1
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >&2 || return 1
}

# Configures and builds one preset (host, host-asan, win32), quietly unless it fails.
kw_build() {
  local preset=$1; shift
  local log="$KW_ROOT/build/$preset.log"
  mkdir -p "$KW_ROOT/build"
  if ! { cmake --preset "$preset" -S "$KW_ROOT" && cmake --build --preset "$preset" -j "$(nproc)" "$@"; } >"$log" 2>&1; then
    cat "$log" >&2
    kw_say "Build of preset $preset failed (log: $log)"
    return 1
  fi
}

# Starts a private virtual display when there is none; kw_stop_display ends it.
KW_XVFB_PID=
kw_start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n=${KW_DISPLAY_FROM:-90}
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  KW_XVFB_PID=$!
  local i
  for i in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
  export DISPLAY=":$n"
}
kw_stop_display() {
  [ -n "$KW_XVFB_PID" ] && kill "$KW_XVFB_PID" 2>/dev/null && wait "$KW_XVFB_PID" 2>/dev/null
  KW_XVFB_PID=
  return 0
}

# The Wine environment of a build tree: its own 32-bit prefix, no debug
# output, no installer dialogs.
kw_wine_env() {
  local build=${1:-$KW_ROOT/build/win32}
  export WINEPREFIX="$build/wineprefix"
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Makes the prefix once: unmanaged X11 windows (Wine draws the frames and sets
# the focus itself) and crashes that end the process with a failure instead of
# a debugger dialog.
kw_prepare_prefix() {
  kw_prefix_fonts
  [ -f "$WINEPREFIX/.kestrowane-ready" ] && return 0
  kw_say "Preparing the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >"$WINEPREFIX.log" 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$WINEPREFIX.log" 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d 'kestrowane-no-debugger.exe' /f >>"$WINEPREFIX.log" 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >>"$WINEPREFIX.log" 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$WINEPREFIX.log" 2>&1
  wineserver -w
  kw_prefix_fonts
  touch "$WINEPREFIX/.kestrowane-ready"
}

# Wine here does not load the fonts of its own package (fonts-wine), so the
# caption buttons lose their Marlett glyphs; the prefix's Fonts folder gets
# a copy of them.
kw_prefix_fonts() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  [ -d "$fonts" ] && [ -d /usr/share/wine/fonts ] || return 0
  cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
}
