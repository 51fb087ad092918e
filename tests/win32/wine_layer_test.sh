#!/usr/bin/env bash
# The Wine layer's failures, each produced for real: a loader that fails, a
# loader that is missing (32-bit and 64-bit), no Wine on the PATH, a wineboot
# that fails, an Xvfb that dies, a program that fails silently or crashes
# under wine-run, a prefix that cannot be made. Each must fail (never skip)
# with one line that names what went wrong, and a prefix that failed is
# never marked ready. Besides: where wine-run puts a program's prefix, each
# script's --help, the Debian packages README.md names, and the probe of
# whether the kernel executes 32-bit programs.
#
#   wine_layer_test.sh WORK_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../shell/kestrowane-wine.sh"
work=$1
rm -rf "$work"; mkdir -p "$work/bin"
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

# A stand-in program that says something and fails.
stand_in() { printf '#!/bin/sh\necho "%s" >&2\nexit %s\n' "$2" "$3" >"$work/bin/$1"; chmod +x "$work/bin/$1"; }

# expect_check CASE STATUS PATTERN [ARCH]: kw_wine_check ARCH gives STATUS and
# a reason matching PATTERN.
expect_check() {
  local case=$1 want=$2 pattern=$3 got
  kw_wine_check "${4:-win32}"; got=$?
  [ "$got" = "$want" ] || fail "$case: kw_wine_check gave $got, expected $want ($KW_WINE_WHY)"
  [[ $KW_WINE_WHY =~ $pattern ]] || fail "$case: the reason \"$KW_WINE_WHY\" does not match /$pattern/"
}

# 64-bit Wine needs no 32-bit process: it runs here whatever the kernel, and
# its failures name the 64-bit loader and package wine64.
expect_check "64-bit Wine on this machine" 0 "^$" win64
stand_in loader "wine: could not load ntdll.so" 3
KW_WINE64_LOADER=$work/bin/loader expect_check "a failing 64-bit loader" 1 \
  "64-bit loader .*/bin/loader does not run \\(status 3: wine: could not load ntdll.so\\).*apt-get install -y wine64" win64
KW_WINE64_LOADER=$work/bin/none expect_check "a missing 64-bit loader" 1 "64-bit loader .*/bin/none is missing.*wine64" win64
KW_WINE64_SERVER=$work/bin/none expect_check "a missing 64-bit server" 1 "64-bit server .*/bin/none is missing.*wine64" win64
# A 64-bit prefix is made by the 64-bit loader: a failing one fails its first step.
out=$(KW_WINE64_LOADER=$work/bin/loader; kw_wine_env "$work/failed64" win64; kw_prepare_prefix 2>&1)
[[ $out == *"'wineboot -i' failed with status 3 (log: $work/failed64/wineprefix.log)"* ]] ||
  fail "a failing 64-bit loader: expected the wineboot step and its log, got: $out"
[ ! -e "$work/failed64/wineprefix/.kestrowane-ready" ] || fail "a failing 64-bit loader: the prefix was marked ready"

# The 64-bit commands go on the PATH for win64 and off it again for win32,
# every other folder kept in its place.
path=/kw-a:$PATH:/kw-b:/kw-a
out=$(PATH=$path; kw_wine_env "$work/env" win64; echo "$PATH"; kw_wine_env "$work/env" win32; echo "$PATH")
[ "$out" = "$work/env/wine64-bin:$path"$'\n'"$path" ] || fail "the PATH for win64, then win32: expected $path with the 64-bit commands first, then without, got: $out"

# Where a program runs: in the build tree that holds it, else in a folder of
# the user's own for its architecture, never in one of the system's.
# The loose program lies outside every build tree, this test's own included
# (ctest runs it inside one).
loose=$(mktemp -d "${TMPDIR:-/tmp}/kw-loose.XXXXXX")
mkdir -p "$work/tree/sub/app"
touch "$work/tree/CMakeCache.txt" "$work/tree/sub/app/p.exe" "$loose/p.exe"
while IFS='|' read -r case prog arch xdg home want; do
  prog=${prog//LOOSE/$loose}
  got=$(XDG_CACHE_HOME=${xdg//WORK/$work} HOME=${home//WORK/$work} kw_run_home "${prog//WORK/$work}" "$arch")
  [ "$got" = "${want//WORK/$work}" ] || fail "kw_run_home, $case: gave $got, expected ${want//WORK/$work}"
done <<EOF2
a program in a build tree|WORK/tree/sub/app/p.exe|win64|WORK/xdg|WORK/home|WORK/tree
a program outside any tree|LOOSE/p.exe|win64|WORK/xdg|WORK/home|WORK/xdg/kestrowane/win64
no XDG_CACHE_HOME|LOOSE/p.exe|win32||WORK/home|WORK/home/.cache/kestrowane/win32
no home at all|LOOSE/p.exe|win64||/|${TMPDIR:-/tmp}/kestrowane-$(id -u)/win64
EOF2
rm -rf "$loose"

# wine-run says why for every status but 0. A stand-in 64-bit loader that
# answers its version and otherwise ends with a status and no word stands
# for Wine failing silently; the prefix is marked ready, the display given.
printf 'MZ' >"$work/p64.exe"
head -c 58 /dev/zero >>"$work/p64.exe"
printf '\x40\0\0\0PE\0\0\x64\x86' >>"$work/p64.exe"
# One that says Wine's word for a crash and ends with 0 stands for a crash.
printf '#!/bin/sh\n[ "$1" = --version ] && echo wine-8.0 && exit 0\nexit 3\n' >"$work/bin/silent"
printf '#!/bin/sh\n[ "$1" = --version ] && echo wine-8.0 && exit 0\necho "wine: Unhandled page fault on read access to 00000000" >&2\n' >"$work/bin/crash"
chmod +x "$work/bin/silent" "$work/bin/crash"
printf 'wine ui64\n' >"$work/packages"  # a text file, no Windows program
mkdir -p "$work/run/wineprefix" "$work/run/not-a-folder"
echo "$KW_PREFIX_VERSION" >"$work/run/wineprefix/.kestrowane-ready"
touch "$work/run/a-file"
while IFS='|' read -r case loader build prog want_status want; do
  out=$(KW_WINE64_LOADER=$work/bin/$loader KW_WINE64_SERVER=$work/bin/silent DISPLAY=:99 \
    KW_WIN32_BUILD=$work/run/$build "$here/../../shell/wine-run" ${prog:+"$work/$prog"} 2>&1)
  status=$?
  [ $status -eq "$want_status" ] || fail "wine-run, $case: status $status, expected $want_status ($out)"
  [[ $out == *"${want//WORK/$work}"* ]] || fail "wine-run, $case: expected \"${want//WORK/$work}\", got: $out"
done <<EOF2
a program that ends with 3 and says nothing|silent|.|p64.exe|3|wine-run: WORK/p64.exe ended with status 3, and wrote nothing
a program that crashes and ends with 0|crash|.|p64.exe|1|wine-run: WORK/p64.exe crashed (Wine reported an unhandled exception)
no such program|silent|.|none.exe|1|wine-run: no program WORK/none.exe
a file that is no Windows program|silent|.|packages|1|wine-run: WORK/packages is not a Windows program for i386 or x86-64
no program at all|silent|.||2|wine-run PROGRAM [ARGS...]
a prefix that cannot be made|silent|a-file/x|p64.exe|1|Wine prefix WORK/run/a-file/x/wineprefix: cannot write
EOF2

# A program that outlives its limit is ended, and that is said.
printf '#!/bin/sh\nexec sleep 30\n' >"$work/bin/wine"
chmod +x "$work/bin/wine"
out=$(PATH=$work/bin:$PATH; kw_wine_run "$work/hang.log" 1 hang.exe; echo "$? $KW_RUN_WHY")
[ "$out" = "124 hang.exe still ran after 1 s; ended it" ] || fail "kw_wine_run past its limit: expected 124 and the reason, got: $out"
rm -f "$work/bin/wine"

# Bad usage of a script: status 2 and one line that names what is wrong,
# before anything is built, installed or run.
while IFS='|' read -r script args want; do
  read -ra words <<<"$args"
  out=$("$here/../../$script" "${words[@]}" 2>&1)
  status=$?
  [ $status -eq 2 ] && [ "$out" = "$want" ] || fail "$script $args: expected status 2 and \"$want\", got $status: $out"
done <<EOF2
scripts/test|--tier|test: --tier needs one of host host-asan win32 e2e soak win64 e2e64 fuzz
scripts/test|--tier e2e65|test: --tier needs one of host host-asan win32 e2e soak win64 e2e64 fuzz, not e2e65
scripts/greet|--screenshot|greet: --screenshot needs a folder
scripts/greet|--tour --name|greet: --name needs a text
scripts/e2e-repeat|--tier e2e65 1|e2e-repeat: scripts/test refused --tier e2e65: test: --tier needs one of host host-asan win32 e2e soak win64 e2e64 fuzz, not e2e65
scripts/e2e-repeat|123456789012345678901|e2e-repeat: N must be a whole number from 1 to 99999
scripts/fuzz|0|fuzz: SECONDS must be a whole number from 1 to 9999999
EOF2

# Each script's --help prints its usage, the comment at its start, and none of its code.
for script in scripts/greet scripts/test scripts/bench scripts/fuzz scripts/e2e-repeat \
  shell/wine-run shell/kestrowane-ui-test; do
  out=$("$here/../../$script" --help 2>&1)
  status=$?
  [ $status -eq 0 ] || fail "$script --help: status $status"
  [[ $out == *"${script##*/} "[A-Z[-]* ]] || fail "$script --help: no usage line in: $out"
  ! grep -qE '^(#|set -|source |[a-z_]+=)' <<<"$out" || fail "$script --help shows code: $out"
done

# README.md names the packages of shell/debian-packages in its order: all
# of them, those of a UI test of each architecture, and those the commands
# of "Your own program" install.
readme=$(tr -s '\n ' '  ' <"$here/../../README.md")
while IFS='|' read -r tag before; do
  listed=$(kw_packages ${tag:+"$tag"} | tr '\n' ' ')
  named=$(grep -o "$before \`[^\`]*\`" <<<"$readme" | head -n 1 | sed 's/.*`\(.*\)`/\1/')
  [ "$named" = "${listed% }" ] || fail "README.md after \"$before\" names \"$named\"; shell/debian-packages has \"${listed% }\""
done <<EOF2
|what they install:
ui32|for a 32-bit program
ui64|for a 64-bit program
EOF2
named=$(sed -n 's/^apt-get install -y //p' "$here/../../README.md")
listed=$(kw_packages own | tr '\n' ' ')
[ "$named" = "${listed% }" ] || fail "README.md's own-program commands install \"$named\"; shell/debian-packages has \"${listed% }\""
# A UI test names the packages of the list that its program needs and are
# missing; before that, a program, drive or script that is not there or is
# no Windows program of the right machine.
printf '# a list\nwine ui32 ui64\nkw-absent-a ui64\nkw-absent-b\nkw-absent-c ui32 ui64\n' >"$work/packages"
cp "$work/p64.exe" "$work/p32.exe"
printf '\x4c\x01' | dd of="$work/p32.exe" bs=1 seek=68 conv=notrunc 2>/dev/null  # machine i386
while IFS='|' read -r case drive prog script dir limit want_status want; do
  out=$(KW_PACKAGE_LIST=$work/packages KESTROWANE_UI_LIMIT=$limit "$here/../../shell/kestrowane-ui-test" \
    "$work/$drive" "$work/$prog" "$work/$script" "$work/$dir" 2>&1)
  status=$?
  [ $status -eq "$want_status" ] && [[ $out == *"${want//WORK/$work}" ]] ||
    fail "a UI test, $case: expected status $want_status and \"${want//WORK/$work}\", got $status: $out"
done <<EOF2
no program|p64.exe|none.exe|packages|ui|600|1|kestrowane-ui-test: no program WORK/none.exe
a program that is no Windows program|p64.exe|packages|packages|ui|600|1|kestrowane-ui-test: WORK/packages is not a Windows program for i386 or x86-64 (no PE image of either machine)
a drive of another machine|p32.exe|p64.exe|packages|ui|600|1|kestrowane-ui-test: WORK/p64.exe is a win64 program and WORK/p32.exe is not: the menu hook must match the program
no script|p64.exe|p64.exe|none.script|ui|600|1|kestrowane-ui-test: no script WORK/none.script
a limit that is no number|p64.exe|p64.exe|packages|ui|10m|2|kestrowane-ui-test: KESTROWANE_UI_LIMIT "10m" is no whole number of seconds from 1 to 9999999
a work folder inside a file|p64.exe|p64.exe|packages|packages/ui|600|1|kestrowane-ui-test: cannot make the work folder WORK/packages/ui
missing packages|p64.exe|p64.exe|packages|ui|600|1|apt-get install -y kw-absent-a kw-absent-c
EOF2

# The probe of whether the kernel executes 32-bit programs: kw_exec32_refused
# runs the program that KW_I386_PROBE holds and reads what came back. The
# probe is an i386 executable; stand-ins for it produce each answer for
# real: an image for a machine that no kernel here executes is refused with
# "Exec format error", a program that exits with 42 (as the probe does where
# it runs) is not, nor is one that fails for another reason (the loader's
# probe then decides), and KESTROWANE_NO_32BIT=1 refuses any.
base64 -d <<<"$KW_I386_PROBE" >"$work/i386"
[ "$(od -An -tx1 -N5 "$work/i386" | tr -d ' ')$(od -An -tx1 -j16 -N4 "$work/i386" | tr -d ' ')" = 7f454c460102000300 ] ||
  fail "KW_I386_PROBE is not a 32-bit ELF executable for i386: $(od -An -tx1 -N20 "$work/i386")"
{ head -c 18 "$work/i386"; printf '\xff\xff'; tail -c +21 "$work/i386"; } >"$work/foreign"
printf '#!/bin/sh\nexit 42\n' >"$work/exits42"
printf '#!/bin/sh\necho "no such file" >&2\nexit 1\n' >"$work/fails"
while IFS='|' read -r case probe no32 want; do
  got=refused
  (KW_I386_PROBE=$(base64 -w0 "$work/$probe") KESTROWANE_NO_32BIT=$no32 kw_exec32_refused) || got=runs
  [ "$got" = "$want" ] || fail "kw_exec32_refused, $case: $got, expected $want"
done <<EOF2
an image for a machine the kernel does not execute|foreign||refused
a program that exits with 42|exits42||runs
a program that fails for another reason|fails||runs
any program with KESTROWANE_NO_32BIT=1|exits42|1|refused
EOF2

# This machine: 0 where it runs 32-bit programs, 77 (with the reason) where
# its kernel refuses them or KESTROWANE_NO_32BIT=1 stands for such a kernel,
# as the probe finds.
if [ "${KESTROWANE_NO_32BIT:-}" = 1 ]; then
  expect_check "KESTROWANE_NO_32BIT=1" 77 "^KESTROWANE_NO_32BIT=1 stands for a kernel that refuses"
  echo "wine_layer_test: KESTROWANE_NO_32BIT=1; the 32-bit cases need a 32-bit-capable kernel"
  exit $((failures > 0))
fi
if kw_exec32_refused; then
  expect_check "this machine" 77 "refuses to execute 32-bit x86 programs \\(Exec format error"
  echo "wine_layer_test: the kernel refuses 32-bit programs here; the other cases need a 32-bit-capable kernel"
  exit $((failures > 0))
fi
expect_check "this machine" 0 "^$"

KW_WINE_LOADER=$work/bin/loader expect_check "a failing loader" 1 \
  "loader .*/bin/loader does not run \\(status 3: wine: could not load ntdll.so\\).*apt-get install -y wine wine32:i386"
KW_WINE_LOADER=$work/bin/none expect_check "a missing loader" 1 "32-bit loader .*/bin/none is missing.*wine32:i386"
mkdir -p "$work/nowine"
for f in /usr/bin/*; do case ${f##*/} in wine*) ;; *) ln -s "$f" "$work/nowine/" ;; esac; done
PATH=$work/nowine expect_check "no Wine" 1 "^Wine is not installed .*apt-get install"

# A wineboot that fails: the step is named with its log, and the prefix is not ready.
stand_in wineboot "no display" 5
out=$(PATH=$work/bin:$PATH; kw_wine_env "$work/failed"; kw_prepare_prefix 2>&1)
status=$?
[ $status -eq 1 ] || fail "a failing wineboot: kw_prepare_prefix gave $status, expected 1"
[[ $out == *"'wineboot -i' failed with status 5 (log: $work/failed/wineprefix.log)"* ]] ||
  fail "a failing wineboot: expected the step and its log, got: $out"
[ ! -e "$work/failed/wineprefix/.kestrowane-ready" ] || fail "a failing wineboot: the prefix was marked ready"
rm -f "$work/bin/wineboot"

# An Xvfb that dies before it takes clients.
stand_in Xvfb "Fatal server error: no screens" 1
out=$(PATH=$work/bin:$PATH; unset DISPLAY; kw_start_display 2>&1)
status=$?
[ $status -eq 1 ] || fail "a dying Xvfb: kw_start_display gave $status, expected 1"
[[ $out == *"ended with status 1 before it took clients: Fatal server error: no screens"* ]] ||
  fail "a dying Xvfb: expected its status and last line, got: $out"

# A display that dies while in use fails its run.
rm -f "$work/bin/Xvfb"
(
  unset DISPLAY
  kw_start_display || exit 1
  kill -9 "$KW_XVFB_PID"
  kw_wait_pid "$KW_XVFB_PID" 10 "the killed Xvfb" 2>/dev/null
  kw_stop_display 2>"$work/stop.txt" && exit 1
  grep -q "ended while in use" "$work/stop.txt"
) || fail "a display that died while in use: kw_stop_display did not fail with the reason"

# A UI test's copy of a shared prefix: Wine's images are links to the
# template's, every other file a copy of its own (Wine rewrites those), and
# nothing is linked from a template that Wine would update.
template=$work/shared/wineprefix
files=(system.reg user.reg drive_c/windows/win.ini "drive_c/users/a b/notes.txt"
  drive_c/windows/system32/user32.dll drive_c/windows/system32/MSCTF.DLL drive_c/windows/system32/l_intl.nls)
mkdir -p "$template/drive_c/windows/system32" "$template/drive_c/users/a b"
for file in "${files[@]}"; do echo "$file" >"$template/$file"; done
echo "$KW_PREFIX_VERSION" >"$template/.kestrowane-ready"
stamp=$(stat -c %Y "$KW_WINE_INF")
for case in "current $stamp" "stale $((stamp - 1))"; do
  read -r name value <<<"$case"
  printf '%s\r\n' "$value" >"$template/.update-timestamp"
  (kw_wine_env "$work/copy-$name"; kw_copy_prefix_from "$template") || fail "$name template: the copy failed"
  copy=$work/copy-$name/wineprefix
  kw_prefix_ready "$copy" || fail "$name template: the copy is not ready"
  for file in "${files[@]}"; do
    linked=no
    [ "$(stat -c %i "$copy/$file")" = "$(stat -c %i "$template/$file")" ] && linked=yes
    want=no
    [ "$name" = current ] && [[ $file == *32/* ]] && want=yes
    [ "$linked" = "$want" ] || fail "$name template: $file linked: $linked, expected $want"
    cmp -s "$copy/$file" "$template/$file" || fail "$name template: $file differs from the template's"
  done
done
[ -z "$(ls -d "$work"/copy-*/wineprefix.copy.* 2>/dev/null)" ] || fail "the copies left their work folders behind"

[ $failures -eq 0 ] && echo "wine_layer_test: every failure was reported"
exit $((failures > 0))
