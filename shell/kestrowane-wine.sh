# The Wine environment that runs cross-built programs here and in the
# installed package (wine-run, the UI tests, scripts/test, greet and bench):
# whether Wine can run at all, a private virtual display, a prefix of the
# build tree's own, a program run with its crash reported as a failure, and
# the Debian packages all this needs. Every step has a time limit, and a
# step that fails or runs out of time says which it was and where its log
# is. Source it; it defines functions only.
#
# Two architectures, named as WINEARCH names them: win32 runs 32-bit programs
# with Debian's wine wrapper (the 32-bit loader) in a 32-bit prefix; win64
# runs 64-bit programs with the 64-bit loader (package wine64) and its
# wineserver64 in a 64-bit prefix, so that it needs no 32-bit process at all.
# The functions that depend on it take the architecture as their last
# argument (win32 when it is left out).

kw_say() { printf '%s\n' "$*" >&2; }

# The usage of a script: its leading comment, from its second line to the
# first line that is no comment, without the "# ".
kw_usage() { sed -n '2,/^[^#]/{/^#/!q;s/^# \{0,1\}//;p}' "$1"; }

# Runs the command every 50 ms until it succeeds, for up to SECONDS: status
# 0 once it did, 1 when the time ran out.
kw_poll() {
  local tries=$(($1 * 20))
  shift
  until "$@"; do
    [ $((tries -= 1)) -gt 0 ] || return 1
    sleep 0.05
  done
}

# True once the process PID has ended.
kw_gone() { ! kill -0 "$1" 2>/dev/null; }

# Waits (kw_poll) up to SECONDS for the background child PID to end and gives
# its status; past the limit it says what it waited for, ends the child and
# gives 124.
kw_wait_pid() {
  local pid=$1 limit=$2 what=$3
  if ! kw_poll "$limit" kw_gone "$pid"; then
    kw_say "$what still ran after $limit s; ended it"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 124
  fi
  wait "$pid"
}

# ---- Running a program -----------------------------------------------------------

# True when the output of a program run under Wine (a file) shows that it
# crashed: Wine reports an unhandled exception so, whatever exit status the
# process ends with.
kw_crashed() { grep -q 'wine: Unhandled' "$1"; }

# Runs a Windows program under Wine (in the environment kw_wine_env made),
# its output and errors to the file LOG, for up to LIMIT seconds (0: no
# limit). Status: the program's; 124 when it still ran at the limit (it is
# then ended); at least 1 when Wine reports that it crashed, whatever status
# it ended with. For every status but 0, KW_RUN_WHY says in one line what
# happened.
KW_RUN_WHY=
kw_wine_run() {
  local log=$1 limit=$2 status
  shift 2
  KW_RUN_WHY=
  if [ "$limit" = 0 ]; then
    wine "$@" >"$log" 2>&1
  else
    timeout -k 10 "$limit" wine "$@" >"$log" 2>&1
  fi
  status=$?
  if kw_crashed "$log"; then
    KW_RUN_WHY="$1 crashed (Wine reported an unhandled exception)"
    [ $status -eq 0 ] && status=1
  elif [ $status -eq 124 ] && [ "$limit" != 0 ]; then
    KW_RUN_WHY="$1 still ran after $limit s; ended it"
  elif [ $status -ne 0 ]; then
    # The program's own status, or Wine's when it could not start or keep it
    # (a loader or server failure that says nothing with WINEDEBUG=-all).
    KW_RUN_WHY="$1 ended with status $status$([ -s "$log" ] || echo ', and wrote nothing')"
  fi
  return $status
}

# ---- The Debian packages ---------------------------------------------------------

# The packages of debian-packages (beside this file; KW_PACKAGE_LIST names
# another), one a line: all of them, or those of one use (a tag of the list:
# ui32, ui64, own, fuzz).
KW_PACKAGE_LIST=${KW_PACKAGE_LIST:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/debian-packages}
kw_packages() {
  awk -v tag="${1:-}" '/^#/ || !NF { next } tag == "" { print $1; next }
    { for (i = 2; i <= NF; i++) if ($i == tag) print $1 }' "$KW_PACKAGE_LIST"
}

kw_package_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# The packages of kw_packages TAG that are not installed, one a line.
kw_missing_packages() {
  local p
  kw_packages "$@" | while read -r p; do kw_package_installed "$p" || echo "$p"; done
}

# Names the missing packages and the commands that install them, as the
# calling script.
kw_say_install() {
  kw_say "${0##*/}: missing Debian packages: $*"
  kw_say "Install them as root with:"
  [[ " $* " == *":i386 "* ]] && kw_say "  dpkg --add-architecture i386 && apt-get update"
  kw_say "  apt-get install -y $*"
}

# ---- Whether Wine can run here ---------------------------------------------------

# A 96-byte i386 Linux program that exits with 42: the probe of whether this
# kernel executes 32-bit x86 programs at all.
KW_I386_PROBE=f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhgAAAAYAAAAAUAAAAAEAAAuyoAAAC4AQAAAM2A

# True when the kernel refuses to execute a 32-bit x86 program ("Exec format
# error": no IA-32 emulation, a host that runs 64-bit user code only). Wine
# runs 32-bit Windows programs in 32-bit processes, so no 32-bit program can
# run on such a machine. This is the one reason for which a test is skipped.
# KESTROWANE_NO_32BIT=1 makes any machine answer so, to reproduce one.
kw_exec32_refused() {
  [ "${KESTROWANE_NO_32BIT:-}" = 1 ] && return 0
  local probe out status
  probe=$(mktemp "${TMPDIR:-/tmp}/kw-i386.XXXXXX") || return 1
  base64 -d <<<"$KW_I386_PROBE" >"$probe" && chmod +x "$probe"
  out=$("$probe" 2>&1)
  status=$?
  rm -f "$probe"
  [ $status -ne 42 ] && [[ $out == *"Exec format error"* ]]
}

# The architecture of a Windows program, by the machine field of its PE
# header: win32 for an i386 image, win64 for an x86-64 one. A file that is
# no such image (no "MZ", no "PE" signature where the MZ header points, or
# another machine) gives status 1 and prints nothing.
kw_pe_arch() {
  local pe machine
  [ "$(head -c 2 "$1" 2>/dev/null)" = MZ ] || return 1
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] && [ "$(od -An -c -j"$pe" -N4 "$1" 2>/dev/null | tr -d ' ')" = 'PE\0\0' ] || return 1
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  case $machine in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) return 1 ;;
  esac
}

# The architecture of the program at PATH (kw_pe_arch), for the command WHO
# that is to run it: status 1 with one line naming what is wrong when there
# is no file there or it is no Windows program of i386 or x86-64.
kw_program_arch() {
  local who=$1 path=$2
  if [ ! -f "$path" ]; then
    kw_say "$who: no program $path"
    return 1
  fi
  kw_pe_arch "$path" && return 0
  kw_say "$who: $path is not a Windows program for i386 or x86-64 (no PE image of either machine)"
  return 1
}

# Checks that Wine can run programs of the architecture (win32 or win64)
# here. Status 0 when it can; 77 when the kernel refuses 32-bit programs and
# the architecture is win32 (a skip); 1 when Wine is missing or broken (a
# failure). KW_WINE_WHY then holds the reason in one line, naming the fix.
KW_WINE_WHY=
kw_wine_check() {
  KW_WINE_WHY=
  if [ "${1:-win32}" = win64 ]; then
    kw_wine64_check
    return
  fi
  if kw_exec32_refused; then
    if [ "${KESTROWANE_NO_32BIT:-}" = 1 ]; then
      KW_WINE_WHY="KESTROWANE_NO_32BIT=1 stands for a kernel that refuses to execute 32-bit x86 programs, and Wine runs 32-bit Windows programs in 32-bit processes"
    else
      KW_WINE_WHY="this machine's kernel refuses to execute 32-bit x86 programs (Exec format error; $(uname -r)), and Wine runs 32-bit Windows programs in 32-bit processes"
    fi
    return 77
  fi
  local install="as root: dpkg --add-architecture i386 && apt-get update && apt-get install -y wine wine32:i386 fonts-wine"
  if ! command -v wine >/dev/null 2>&1; then
    KW_WINE_WHY="Wine is not installed ($install)"
    return 1
  fi
  # Debian's wrapper runs the 32-bit loader; another layout answers for itself.
  local loader=${KW_WINE_LOADER:-/usr/lib/wine/wine}
  [ -e "$loader" ] || [ -n "${KW_WINE_LOADER:-}" ] || loader=wine
  kw_loader_probe "$loader" 32-bit "$install"
}

# The 64-bit loader and server (KW_WINE64_LOADER and KW_WINE64_SERVER name
# others). They run in 64-bit processes only, so there is no reason to skip.
kw_wine64_loader() { echo "${KW_WINE64_LOADER:-/usr/lib/wine/wine64}"; }
kw_wine64_server() { echo "${KW_WINE64_SERVER:-/usr/lib/wine/wineserver64}"; }
kw_wine64_check() {
  local install="as root: apt-get install -y wine64 fonts-wine" server
  kw_loader_probe "$(kw_wine64_loader)" 64-bit "$install" || return 1
  server=$(kw_wine64_server)
  if [ ! -x "$server" ]; then
    KW_WINE_WHY="Wine's 64-bit server $server is missing ($install)"
    return 1
  fi
}

# The probe of a loader (a path, or a command such as wine) of one
# architecture (32-bit or 64-bit): it must be there and answer its version
# within 30 s. Otherwise status 1, and KW_WINE_WHY says why, naming the fix.
kw_loader_probe() {
  local loader=$1 bits=$2 install=$3 out status
  if [[ $loader == */* ]] && [ ! -x "$loader" ]; then
    KW_WINE_WHY="Wine's $bits loader $loader is missing ($install)"
    return 1
  fi
  out=$(timeout -k 5 30 "$loader" --version 2>&1)
  status=$?
  [ $status -eq 0 ] && [[ $out == wine-* ]] && return 0
  [ $status -eq 124 ] && out="no answer within 30 s"
  KW_WINE_WHY="Wine's $bits loader $loader does not run (status $status: $(head -c 200 <<<"$out" | head -n 1)); reinstall it ($install)"
  return 1
}

# ---- The virtual display -----------------------------------------------------------

# Starts a private virtual display when there is none: Xvfb picks a free
# number itself (-displayfd) and writes it once it takes clients.
# kw_stop_display ends it; kw_display_alive says whether it still runs.
KW_XVFB_PID= KW_XVFB_LOG=
kw_start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local number status
  if ! number=$(mktemp "${TMPDIR:-/tmp}/kw-display.XXXXXX"); then
    kw_say "The virtual display: no temporary file in ${TMPDIR:-/tmp} for its number"
    return 1
  fi
  KW_XVFB_LOG=$number.log
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$number" >"$KW_XVFB_LOG" 2>&1 &
  KW_XVFB_PID=$!
  kw_poll 30 kw_numbered_or_gone "$number" "$KW_XVFB_PID"
  if ! grep -q '^[0-9]' "$number" 2>/dev/null; then
    if kill -0 "$KW_XVFB_PID" 2>/dev/null; then
      kw_say "The virtual display (Xvfb) gave no display number within 30 s (log: $KW_XVFB_LOG)"
      kill "$KW_XVFB_PID" 2>/dev/null
    else
      wait "$KW_XVFB_PID"; status=$?
      kw_say "The virtual display (Xvfb) ended with status $status before it took clients: $(tail -n 1 "$KW_XVFB_LOG") (log: $KW_XVFB_LOG)"
    fi
    KW_XVFB_PID=
    rm -f "$number"
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$number")"
  rm -f "$number"
}

# Whether Xvfb wrote its display number to the file, or ended.
kw_numbered_or_gone() { grep -q '^[0-9]' "$1" 2>/dev/null || kw_gone "$2"; }

# True while the display this process started still runs (or when it uses
# one it did not start); otherwise says so.
kw_display_alive() {
  [ -z "$KW_XVFB_PID" ] && return 0
  kill -0 "$KW_XVFB_PID" 2>/dev/null && return 0
  kw_say "The virtual display $DISPLAY (Xvfb) ended while in use (log: $KW_XVFB_LOG)"
  return 1
}

# Ends the display this process started: status 1 when it had already died.
kw_stop_display() {
  [ -z "$KW_XVFB_PID" ] && return 0
  local alive=0
  kw_display_alive || alive=1
  kill "$KW_XVFB_PID" 2>/dev/null
  kw_poll 5 kw_gone "$KW_XVFB_PID"
  kill -9 "$KW_XVFB_PID" 2>/dev/null
  wait "$KW_XVFB_PID" 2>/dev/null
  [ $alive -eq 0 ] && rm -f "$KW_XVFB_LOG"
  KW_XVFB_PID=
  return $alive
}

# ---- The Wine prefix -----------------------------------------------------------------

# Takes the folder out of PATH wherever it is, leaving the others in order.
kw_path_without() {
  local dir=$1 d kept=() folders
  IFS=: read -ra folders <<<"$PATH"
  for d in "${folders[@]}"; do [ "$d" = "$dir" ] || kept+=("$d"); done
  PATH=$(IFS=:; printf '%s' "${kept[*]}")
}

# The Wine environment of a build tree for an architecture (win32 or win64):
# the tree's own prefix, no debug output, no installer dialogs. For win64,
# the commands wine, wineboot and wineserver on the PATH are the 64-bit
# loader's and server's (kw_wine64_commands), so that every caller runs the
# same commands for both; for win32 they are Debian's own again.
KW_WINE64_BIN=
kw_wine_env() {
  local build=${1:-$KW_ROOT/build/win32} arch=${2:-win32}
  export WINEPREFIX="$build/wineprefix"
  export WINEARCH=$arch
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -n "$KW_WINE64_BIN" ]; then
    kw_path_without "$KW_WINE64_BIN"
    unset WINELOADER WINESERVER
    KW_WINE64_BIN=
  fi
  if [ "$arch" = win64 ]; then
    kw_wine64_commands "$build/wine64-bin"
    export WINELOADER WINESERVER PATH
    WINELOADER=$(kw_wine64_loader) WINESERVER=$(kw_wine64_server)
    KW_WINE64_BIN=$build/wine64-bin
    PATH=$KW_WINE64_BIN:$PATH
  fi
}

# The folder whose wineprefix/ (and wine64-bin/) a program runs with: the
# build tree that holds it (the nearest folder above it with a
# CMakeCache.txt), else one of the user's own for the architecture,
# $XDG_CACHE_HOME/kestrowane/ARCH (~/.cache/kestrowane/ARCH; without a home,
# ${TMPDIR:-/tmp}/kestrowane-UID/ARCH), never a folder of the system's.
kw_run_home() {
  local dir arch=${2:-win32}
  dir=$(cd "$(dirname "$1")" 2>/dev/null && pwd) || dir=/
  while [ ! -f "$dir/CMakeCache.txt" ] && [ "$dir" != / ]; do dir=$(dirname "$dir"); done
  if [ -f "$dir/CMakeCache.txt" ]; then
    echo "$dir"
  elif [ -n "${XDG_CACHE_HOME:-}" ]; then
    echo "$XDG_CACHE_HOME/kestrowane/$arch"
  elif [ -n "${HOME:-}" ] && [ "$HOME" != / ]; then
    echo "$HOME/.cache/kestrowane/$arch"
  else
    echo "${TMPDIR:-/tmp}/kestrowane-$(id -u)/$arch"
  fi
}

# Writes DIR/wine, DIR/wineboot and DIR/wineserver, which run the 64-bit
# loader and server: Debian's wine wrapper always picks the 32-bit loader
# when it is installed, and that one cannot start where the kernel refuses
# 32-bit programs.
kw_wine64_commands() {
  local dir=$1 loader server name line tmp
  loader=$(kw_wine64_loader) server=$(kw_wine64_server)
  mkdir -p "$dir"
  for name in wine wineboot wineserver; do
    case $name in
      wine) line="exec '$loader' \"\$@\"" ;;
      wineboot) line="exec '$loader' wineboot \"\$@\"" ;;
      wineserver) line="exec '$server' \"\$@\"" ;;
    esac
    [ "$(tail -n 1 "$dir/$name" 2>/dev/null)" = "$line" ] && continue
    tmp=$(mktemp "$dir/.$name.XXXXXX") || return 1
    printf '#!/bin/sh\n%s\n' "$line" >"$tmp" && chmod +x "$tmp" && mv -f "$tmp" "$dir/$name"
  done
}

# Ends the prefix's Wine server and every Wine process in it.
kw_wine_stop() { timeout -k 5 30 wineserver -k >/dev/null 2>&1; return 0; }

# What a ready prefix's mark holds: a prefix made by an earlier version of
# these settings is made again.
KW_PREFIX_VERSION=4

# True when the prefix at $1 (default $WINEPREFIX) is complete, with these settings.
kw_prefix_ready() { [ "$(cat "${1:-$WINEPREFIX}/.kestrowane-ready" 2>/dev/null)" = "$KW_PREFIX_VERSION" ]; }

# Makes the prefix once, under a lock, so that parallel callers (ctest -j)
# wait for one maker: status 0 once it is ready, 1 with one line naming the
# step that failed and its log.
kw_prepare_prefix() {
  local lock status=0
  if ! kw_prefix_ready; then
    if ! mkdir -p "$(dirname "$WINEPREFIX")" 2>/dev/null || ! { exec {lock}>"$WINEPREFIX.lock"; } 2>/dev/null; then
      kw_say "Wine prefix $WINEPREFIX: cannot write $WINEPREFIX.lock beside it (set WINEPREFIX's folder writable, or XDG_CACHE_HOME)"
      return 1
    fi
    if ! flock -w 600 "$lock"; then
      kw_say "Wine prefix $WINEPREFIX: another process held $WINEPREFIX.lock for 600 s while making it"
      exec {lock}>&-
      return 1
    fi
    kw_prefix_ready || kw_make_prefix || status=1
    exec {lock}>&-
  fi
  [ $status -eq 0 ] && kw_prefix_fonts
  return $status
}

# One step of making the prefix, with a time limit, logged.
kw_prefix_step() {
  local limit=$1 what=$2 status
  shift 2
  printf '== %s\n' "$what" >>"$WINEPREFIX.log"
  timeout -k 10 "$limit" "$@" >>"$WINEPREFIX.log" 2>&1
  status=$?
  [ $status -eq 0 ] && return 0
  if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    kw_say "Wine prefix $WINEPREFIX: '$what' did not finish within $limit s (log: $WINEPREFIX.log)"
  else
    kw_say "Wine prefix $WINEPREFIX: '$what' failed with status $status (log: $WINEPREFIX.log)"
  fi
  return 1
}

# The prefix's settings: unmanaged X11 windows (Wine draws the frames and
# sets the focus itself), crashes that end the process with a failure
# instead of a debugger dialog, and every script drawn in real glyphs (see
# kw_prefix_scripts). wineserver writes the registry files only when it
# exits, so each check waits for it first.
kw_make_prefix() {
  local aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  kw_say "Making the Wine prefix $WINEPREFIX"
  kw_wine_stop
  case $WINEPREFIX in */wineprefix) rm -rf "$WINEPREFIX" ;; esac  # a prefix left half made
  if ! { : >"$WINEPREFIX.log"; } 2>/dev/null; then
    kw_say "Wine prefix $WINEPREFIX: cannot write its log $WINEPREFIX.log"
    return 1
  fi
  kw_prefix_step 180 "wineboot -i" wineboot -i &&
    kw_prefix_step 120 "wineserver -w after wineboot" wineserver -w || return 1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    kw_say "Wine prefix $WINEPREFIX: wineboot wrote no system.reg (log: $WINEPREFIX.log)"
    return 1
  fi
  kw_prefix_step 60 "reg add X11 Driver Managed=N" \
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f &&
    kw_prefix_step 60 "reg add AeDebug Debugger" \
      wine reg add "$aedebug" /v Debugger /t REG_SZ /d 'kestrowane-no-debugger.exe' /f &&
    kw_prefix_step 60 "reg add AeDebug Auto=1" wine reg add "$aedebug" /v Auto /t REG_SZ /d 1 /f &&
    kw_prefix_step 60 "reg add WineDbg ShowCrashDialog=0" \
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f &&
    kw_prefix_scripts &&
    kw_prefix_step 120 "wineserver -w after the settings" wineserver -w || return 1
  if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg"; then
    kw_say "Wine prefix $WINEPREFIX: the settings are not in user.reg after wineserver ended (log: $WINEPREFIX.log)"
    return 1
  fi
  kw_prefix_fonts
  if ! { echo "$KW_PREFIX_VERSION" >"$WINEPREFIX/.kestrowane-ready"; } 2>/dev/null; then
    kw_say "Wine prefix $WINEPREFIX: cannot write its mark .kestrowane-ready (is the disk full?)"
    return 1
  fi
}

# Every script in real glyphs. The dialogs' font, MS Sans Serif, has Latin
# and Greek letters; a font link adds the CJK ones of WenQuanYi Micro Hei
# (Debian package fonts-wqy-microhei) where it is installed. Wine then draws
# "MS Sans Serif" in the default character set with WenQuanYi Micro Hei
# itself, so the Arabic and Hebrew letters of DejaVu Sans (fonts-dejavu-core)
# are linked to that face. Message boxes,
# captions, menus and tooltips use fonts of their own (Tahoma, whose links
# Wine rewrites at every start, and MS Shell Dlg in the ANSI character set),
# so each of them becomes MS Sans Serif too (8 points, as a LOGFONTW; the
# caption's bold).
kw_prefix_scripts() {
  local links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  # height -11, weight 400 (700: bc02), DEFAULT_CHARSET, face "MS Sans Serif"
  local font=f5ffffff000000000000000000000000900100000000000100000000 value
  font+=4d0053002000530061006e0073002000530065007200690066000000000000000000000000000000000000000000000000000000000000000000000000000000
  if fc-list 2>/dev/null | grep -q 'wqy-microhei.ttc'; then
    kw_prefix_step 60 "reg add a CJK font link for MS Sans Serif" \
      wine reg add "$links" /v "MS Sans Serif" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f || return 1
    if fc-list 2>/dev/null | grep -q '/DejaVuSans.ttf:'; then
      kw_prefix_step 60 "reg add a font link from WenQuanYi Micro Hei to DejaVu Sans" \
        wine reg add "$links" /v "WenQuanYi Micro Hei" /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f || return 1
    fi
  fi
  for value in MessageFont CaptionFont SmCaptionFont MenuFont StatusFont; do
    kw_prefix_step 60 "reg add the font $value MS Sans Serif" \
      wine reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v $value /t REG_BINARY \
      /d "$([ $value = CaptionFont ] && echo "${font/90010000/bc020000}" || echo "$font")" /f || return 1
  done
}

# Copies a ready prefix (a build tree's, shared by its UI tests) into
# $WINEPREFIX when that one is not ready yet: a UI test then starts in a
# second instead of making its own. Nearly all of a prefix (600 MB for
# win32, 1.3 GB for win64) is Wine's program images, which the copy shares
# with the template as hard links, so that each copy takes about 2 MB; every
# other file (the registry, win.ini, ...) is copied, since Wine rewrites
# those. Wine rewrites the images in place only when it updates a prefix,
# which it does when the prefix's .update-timestamp differs from the time of
# its wine.inf (the number Wine writes there, with a DOS line end): a
# template that Wine would update is copied whole. The copy
# is made under another name and renamed, so a copy cut short is never
# taken for a ready one.
KW_WINE_INF=${KW_WINE_INF:-/usr/share/wine/wine.inf}
KW_IMAGE_TYPES=(dll exe drv sys nls ttf acm cpl ocx vxd tlb ds msstyles ax com)
kw_copy_prefix_from() {
  local template=$1 tmp stamp pattern=() type
  [ -n "$template" ] && kw_prefix_ready "$template" && ! kw_prefix_ready || return 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")" && tmp=$(mktemp -d "$WINEPREFIX.copy.XXXXXX") || return 1
  rmdir "$tmp"
  stamp=$(stat -c %Y "$KW_WINE_INF" 2>/dev/null)
  if [ -n "$stamp" ] && [ "$(tr -d '\r\n' <"$template/.update-timestamp" 2>/dev/null)" = "$stamp" ] &&
    cp -al "$template" "$tmp" 2>/dev/null; then
    for type in "${KW_IMAGE_TYPES[@]}"; do pattern+=(! -iname "*.$type"); done
    # Each file that is not an image gets a copy of its own in place of the link.
    (cd "$tmp" && find . -type f "${pattern[@]}" -print0) |
      while IFS= read -r -d '' file; do cp -p --remove-destination "$template/$file" "$tmp/$file" || exit 1; done ||
      { rm -rf "$tmp"; return 1; }
  else
    rm -rf "$tmp"
    cp -a "$template" "$tmp" || { rm -rf "$tmp"; return 1; }
  fi
  mv "$tmp" "$WINEPREFIX"
}

# Gives the prefix $WINEPREFIX a display resolution (LogPixels, dots per
# inch; the project's prefixes have 96) and, when FACE is given, a font that
# stands for MS Sans Serif, the dialogs' font (a replacement): tests and
# screenshots see a program at other metrics so. Programs started afterwards
# take both. Status 0, or 1 with the step that failed.
kw_prefix_metrics() {
  local dpi=$1 face=${2:-}
  kw_prefix_step 60 "reg add LogPixels=$dpi" \
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f || return 1
  if [ -n "$face" ]; then
    kw_prefix_step 60 "reg add a replacement $face for MS Sans Serif" \
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Sans Serif' /t REG_SZ /d "$face" /f || return 1
  fi
  kw_prefix_step 120 "wineserver -w after the metrics" wineserver -w
}

# Wine here does not load the fonts of its own package (fonts-wine), so the
# caption buttons lose their Marlett glyphs; the prefix's Fonts folder gets
# a copy of them.
kw_prefix_fonts() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  [ -d "$fonts" ] && [ -d /usr/share/wine/fonts ] || return 0
  cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
}

# Sets up everything a Wine run needs in one call: the check, the display and
# the prefix of the build tree, for an architecture (win32 or win64). Status
# 0, 77 (skip, with KW_WINE_WHY) or 1 (with the reason said).
kw_wine_ready() {
  local status arch=${2:-win32}
  kw_wine_check "$arch"
  status=$?
  if [ $status -ne 0 ]; then
    kw_say "Wine cannot run $arch programs here: $KW_WINE_WHY"
    return $status
  fi
  kw_wine_env "$1" "$arch"
  kw_start_display || return 1
  kw_prepare_prefix
}
