#!/usr/bin/env bash
# The layout tests (win32_layout) at other resolutions and dialog fonts than
# the build tree's prefix has (96 DPI, MS Sans Serif): each case runs them in
# a copy of that prefix given a resolution and, for the wider font, a
# replacement of MS Sans Serif (kw_prefix_metrics), and tells the program the
# resolution (and, where it is known, the base units) it must find, so a
# setting that did not take fails instead of passing at the old metrics.
#
#   layout_metrics_test.sh BUILD_DIR PROGRAM WORK_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../shell/kestrowane-wine.sh"
build=$1 program=$2 work=$3
arch=$(kw_pe_arch "$program")
kw_wine_check "$arch"
case $? in
  0) ;;
  77) kw_say "layout_metrics_test: skipped: $KW_WINE_WHY"; exit 77 ;;
  *) kw_say "layout_metrics_test: Wine cannot run: $KW_WINE_WHY"; exit 1 ;;
esac
rm -rf "$work"
mkdir -p "$work"
# Wine takes absolute paths alone.
build=$(cd "$build" && pwd) work=$(cd "$work" && pwd) program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
unset DISPLAY
kw_wine_env "$build" "$arch"
trap 'kw_wine_stop; kw_stop_display' EXIT
kw_start_display || exit 1
kw_prepare_prefix || exit 1
shared=$WINEPREFIX
kw_wine_stop

failures=0
# run_case NAME DPI FACE [BASE_UNITS]
run_case() {
  local name=$1 dpi=$2 face=$3 units=${4:-} log=$work/$1.log
  kw_wine_env "$work/$name" "$arch"
  kw_copy_prefix_from "$shared" || { kw_say "layout_metrics_test: $name: could not copy the prefix"; return 1; }
  kw_prefix_metrics "$dpi" "$face" || { kw_say "layout_metrics_test: $name: could not set $dpi DPI, font '$face'"; return 1; }
  if [ -n "$units" ]; then export KW_EXPECT_BASE_UNITS=$units; else unset KW_EXPECT_BASE_UNITS; fi
  KW_EXPECT_DPI=$dpi kw_wine_run "$log" 300 "$program" --gtest_brief=1
  local status=$?
  kw_wine_stop
  if [ $status -ne 0 ]; then
    cat "$log"
    kw_say "layout_metrics_test: $name ($dpi DPI, base units ${units:-as they come}): failed ($KW_RUN_WHY); log $log"
    return 1
  fi
  echo "layout_metrics_test: $name ($dpi DPI, base units ${units:-as they come}): passed"
}
# The prefix's own MS Sans Serif measures 6 x 12 or 6 x 13 at 96 DPI as the
# prefix was made (docs/platform.md); DejaVu Sans standing for it, 7 x 13.
run_case dpi144 144 "" || failures=$((failures + 1))
run_case dpi192 192 "" || failures=$((failures + 1))
run_case wide96 96 "DejaVu Sans" 7x13 || failures=$((failures + 1))
run_case wide192 192 "DejaVu Sans" || failures=$((failures + 1))
[ $failures -eq 0 ]
