#!/usr/bin/env bash
# Lists the imports of a PE32 image that no instruction reaches: IAT slots that
# neither a call or jump through memory nor an import thunk that is itself
# called refers to. Such imports come from functions that --gc-sections
# removed after their object file had already pulled the import in.
#   bench/dead_imports.sh IMAGE.exe
set -u
image=$1
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
base=$($objdump -p "$image" | awk '/^ImageBase/ { print $2 }')
disasm=$($objdump -d --no-show-raw-insn "$image")
$objdump -p "$image" | awk -v base="$base" '
  function hex(s,   i, c, v) { v = 0; s = tolower(s); sub(/^0x/, "", s)
    for (i = 1; i <= length(s); i++) { c = index("0123456789abcdef", substr(s, i, 1)) - 1; v = v * 16 + c }
    return v }
  /^ [0-9a-f]+\t[0-9a-f]+ [0-9a-f]+ [0-9a-f]+ [0-9a-f]+ [0-9a-f]+$/ { first_thunk = $6; next }
  /DLL Name:/ { dll = $3; slot = hex(first_thunk); next }
  dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ {
    printf "%x %s %s\n", hex(base) + slot, dll, $3; slot += 4 }
' | while read -r address dll name; do
  thunk=$(printf '%s\n' "$disasm" | awk -v a="0x$address" 'index($0, "jmp    *" a) { sub(/:.*/, "", $1); print $1; exit }')
  if printf '%s\n' "$disasm" | grep -q -- "\*0x$address\b" && [ -z "$thunk" ]; then continue; fi
  if [ -n "$thunk" ] && printf '%s\n' "$disasm" | grep -Eq "(call|jmp) +$thunk\b"; then continue; fi
  if [ -z "$thunk" ] && printf '%s\n' "$disasm" | grep -q -- "0x$address\b"; then continue; fi
  echo "$dll $name"
done
