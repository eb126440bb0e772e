#!/usr/bin/env bash
# Every executable of a build is a PE file of the build's architecture that imports only
# DLLs every Windows has: no C++ runtime, libgcc or thread library to ship beside it.
#   system_imports.sh OBJDUMP BIN_FOLDER FORMAT      (FORMAT: pei-x86-64 or pei-i386)
set -u
objdump=$1
bin=$2
format=$3
# Wine's own builds of the Windows system DLLs stand for "a DLL of the system".
system_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
[ -d "$system_dlls" ] || { echo "no Wine system DLLs in $system_dlls"; exit 1; }

failures=0
checked=0
for exe in "$bin"/*.exe; do
    [ -e "$exe" ] || continue
    checked=$((checked + 1))
    name=$(basename "$exe")
    "$objdump" -f "$exe" | grep -q "file format $format\$" || {
        echo "$name: not $format: $("$objdump" -f "$exe" | grep -o 'file format .*')"
        failures=$((failures + 1))
    }
    while read -r dll; do
        [ -e "$system_dlls/${dll,,}" ] && continue
        echo "$name imports $dll, which is not a system DLL"
        failures=$((failures + 1))
    done < <("$objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p')
done
[ "$checked" -gt 0 ] || { echo "no executables in $bin"; exit 1; }
echo "$checked executables checked, $failures problems"
[ "$failures" -eq 0 ]
