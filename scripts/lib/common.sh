# Shared by the README's commands: packages and builds, and (from
# shell/kestrowane-wine.sh) the virtual display and the Wine prefix.
# Source it; it defines functions only.

KW_ROOT=${KW_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
# kw_say, the virtual display and the Wine prefix.
source "$KW_ROOT/shell/kestrowane-wine.sh"

# Installs the Debian packages of the list (kw_packages: all, or those of a
# tag) that are missing (as root), or prints the exact command to run and
# fails.
kw_need_packages() {
  local missing
  mapfile -t missing < <(kw_missing_packages "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    kw_say_install "${missing[@]}"
    exit 1
  fi
  kw_say "Installing Debian packages: ${missing[*]}"
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    kw_say "Adding the i386 architecture (Wine's 32-bit half)"
    dpkg --add-architecture i386
  fi
  # A mirror caught mid-sync fails one index ("File has unexpected size");
  # apt keeps the lists it had, so try again a few times and then install
  # from what is there: a package still missing fails the install itself.
  local try
  for try in 1 2 3; do
    DEBIAN_FRONTEND=noninteractive apt-get update -q >&2 && break
    kw_say "apt-get update failed (try $try of 3)"
    [ "$try" -lt 3 ] && sleep 10
  done
  local install=(apt-get install -y -q --no-install-recommends)
  DEBIAN_FRONTEND=noninteractive "${install[@]}" "${missing[@]}" >&2 && return 0
  # Without one architecture's security index the two halves of a
  # multi-architecture library can be offered at different versions; the
  # release's own versions are offered for both.
  local release
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$release" ] || return 1
  kw_say "Installing again from $release's own versions"
  DEBIAN_FRONTEND=noninteractive "${install[@]}" -t "$release" "${missing[@]}" >&2
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
