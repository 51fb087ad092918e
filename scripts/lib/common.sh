# Shared by the README's commands: packages and builds, and (from
# cmake/kestrowane-wine.sh) the virtual display and the Wine prefix.
# Source it; it defines functions only.

KW_ROOT=${KW_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
# kw_say, the virtual display and the Wine prefix.
source "$KW_ROOT/cmake/kestrowane-wine.sh"

KW_PACKAGES=(cmake g++ make googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 fonts-wine
  fonts-wqy-microhei xvfb imagemagick clang libclang-rt-dev)

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

# Configures and builds one preset (host, host-asan, win32, win64), quietly unless it fails.
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
