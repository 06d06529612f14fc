#!/usr/bin/env bash
# Fails unless the executable is a 32-bit PE (PE32, i386) for the Windows GUI subsystem.
set -u
header=$(i686-w64-mingw32-objdump -p "$1") || exit 1
status=0
grep -Eq '^Magic[[:space:]]+010b' <<<"$header" || { echo "FAIL $1: not PE32"; status=1; }
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$header" || { echo "FAIL $1: not the Windows GUI subsystem"; status=1; }
i686-w64-mingw32-objdump -f "$1" | grep -q 'architecture: i386' || { echo "FAIL $1: not i386"; status=1; }
[ $status -eq 0 ] && echo "$1: PE32, i386, Windows GUI"
exit $status
