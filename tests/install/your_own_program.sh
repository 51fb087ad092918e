#!/usr/bin/env bash
# Runs the README's "Your own program" commands in an empty folder, verbatim
# but for the package's prefix (/opt/kestrowane there, PREFIX here), and
# checks what they made. The README's block is the one after the marker
# "<!-- MARKER -->" (your-own-program for i686, your-own-program-64 for
# x86-64); when it changes, this test runs the new one.
#
#   your_own_program.sh README MARKER PREFIX WORK_DIR DRIVE_EXE
# DRIVE_EXE, of the block's architecture, closes the starter's window once it
# is up, as a user would. Where Wine runs, the starter's UI test
# (starter.script) runs too.
set -eu
readme=$1 marker=$2 prefix=$3 work=$4 drive=$5
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../shell/kestrowane-wine.sh"
arch=$(kw_pe_arch "$drive")

block=$(awk -v marker="<!-- $marker -->" '$0 == marker { marked = 1; next }
             marked && /^```/ { if (inside) exit; inside = 1; next }
             inside { print }' "$readme")
[ -n "$block" ] || { echo "your_own_program: no command block after the marker $marker in $readme" >&2; exit 1; }
block=${block//\/opt\/kestrowane/$prefix}

# The block's build folder (its -B argument).
build=$(grep -o -- '-B [^ ]*' <<<"$block" | head -n 1 | cut -c4-)
[ -n "$build" ] || { echo "your_own_program: the block configures no build folder" >&2; exit 1; }

rm -rf "$work"; mkdir -p "$work"; cd "$work"
run_line=$(grep -n 'wine-run' <<<"$block" | tail -n 1 | cut -d: -f1)
[ -n "$run_line" ] || { echo "your_own_program: the block never runs the program" >&2; exit 1; }
wine_status=0
kw_wine_check "$arch" || wine_status=$?  # under set -e a bare failing call would end the script
if [ $wine_status -eq 1 ]; then
  echo "your_own_program: Wine cannot run: $KW_WINE_WHY" >&2; exit 1
elif [ $wine_status -eq 77 ]; then
  echo "your_own_program: not running the starter: $KW_WINE_WHY"
  block=$(sed "${run_line}d" <<<"$block")
  bash -eu -c "$block"
else
  # The starter waits for its user: close it once its window is up.
  (
    kw_wine_env "$work/$build" "$arch"
    # wine-run makes the prefix on the block's last line, after the build.
    kw_poll 500 test -f "$WINEPREFIX/.kestrowane-ready" || { echo "no ready prefix $WINEPREFIX after 500 s"; exit 1; }
    timeout 120 wine "$drive" wait Starter 60000 && timeout 60 wine "$drive" click Starter 2
  ) >"$work/closer.log" 2>&1 &
  closer=$!
  status=0
  # The block ends when the starter does: 10 minutes at most, builds included.
  timeout -k 10 540 bash -eu -c "$block" || status=$?
  (kw_wine_env "$work/$build" "$arch"; kw_wine_stop)
  kw_wait_pid $closer 30 "the closer of the starter" || { cat "$work/closer.log" >&2; echo "your_own_program: the starter's window never came up" >&2; exit 1; }
  [ $status -eq 0 ] || { echo "your_own_program: the commands failed ($status)" >&2; exit 1; }
  # The starter's own UI test, in a prefix copied from the one wine-run made.
  ctest --test-dir "$build" --output-on-failure >"$work/ctest.log" 2>&1 ||
    { cat "$work/ctest.log" >&2; echo "your_own_program: the starter's UI test failed" >&2; exit 1; }
  # Its prefix shares Wine's images with the build folder's, not a copy of its own.
  image=drive_c/windows/system32/user32.dll
  [ "$(stat -c %i "$build/starter_ui/wineprefix/$image")" = "$(stat -c %i "$build/wineprefix/$image")" ] ||
    { echo "your_own_program: the starter's UI test made a prefix of its own, not a copy of $build/wineprefix" >&2; exit 1; }
fi
for exe in "$build/starter.exe" "$build/starter_checked.exe"; do
  [ -f "$exe" ] || { echo "your_own_program: the commands made no $exe" >&2; exit 1; }
done

# Without the toolchain the package says which file to pass.
if out=$(cmake -S . -B host-build -DCMAKE_PREFIX_PATH="$prefix" 2>&1); then
  echo "your_own_program: a host build accepted the package" >&2; exit 1
fi
toolchain=$(grep -o 'share/kestrowane/mingw-[a-z0-9_]*\.cmake' <<<"$block" | head -n 1)
grep -q "CMAKE_TOOLCHAIN_FILE=$prefix/$toolchain" <<<"$out" || {
  echo "your_own_program: the package's refusal does not name its toolchain file:" >&2; echo "$out" >&2; exit 1; }
echo "your_own_program: the README's commands built the starter against $prefix"
