# The Wine environment that runs cross-built programs here and in the
# installed package (wine-run, the UI tests): a private virtual display, a
# 32-bit prefix of the build tree's own, and crashes reported as failures.
# Source it; it defines functions only.

kw_say() { printf '%s\n' "$*" >&2; }

# True when this machine can run Wine's 32-bit programs natively. Wine runs a
# 32-bit Windows program in a 32-bit Linux process, so a kernel without IA-32
# emulation (ia32_emulation=off, or a host that runs 64-bit user code only)
# refuses its loader with "Exec format error"; the same loader under a user-mode
# emulator (binfmt_misc with qemu-i386) does start, but is far too slow for
# tests (a prefix took over ten minutes to make), so that counts as unable too.
kw_wine_runs_here() {
  command -v wine >/dev/null 2>&1 || return 1
  local loader=/usr/lib/wine/wine f
  for f in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$f" ] && grep -q '^enabled' "$f" 2>/dev/null && grep -q '^interpreter .*qemu-i386' "$f" 2>/dev/null && return 1
  done
  [ -x "$loader" ] || return 0  # another layout: let Wine speak for itself
  "$loader" --version >/dev/null 2>&1
}

# Why kw_wine_runs_here said no, in one line.
kw_wine_why_not() {
  command -v wine >/dev/null 2>&1 || { echo "Wine is not installed (Debian packages wine, wine32:i386)"; return; }
  echo "this machine cannot execute 32-bit x86 programs natively ($(uname -r); the kernel's IA-32 emulation is off), and Wine runs 32-bit Windows programs in 32-bit processes"
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
  # A prefix whose boot failed is not marked ready, so the next run makes it again.
  if ! wineboot -i >"$WINEPREFIX.log" 2>&1 || ! timeout 120 wineserver -w || [ ! -f "$WINEPREFIX/system.reg" ]; then
    kw_say "Wine could not make the prefix $WINEPREFIX (log: $WINEPREFIX.log)"
    return 1
  fi
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
