#!/usr/bin/env bash
# Fails when a Windows executable imports a DLL that a clean Windows machine
# does not have (the MinGW runtime, or anything not in the list below).
set -u
allowed='^(kernel32|user32|gdi32|advapi32|comctl32|wininet|ws2_32|msvcrt|shell32|ole32)\.dll$'
status=0
for exe in "$@"; do
  dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  if [ -z "$dlls" ]; then
    echo "FAIL $exe: no import table read"
    status=1
    continue
  fi
  for dll in $dlls; do
    if ! printf '%s\n' "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
      echo "FAIL $exe imports $dll"
      status=1
    fi
  done
  echo "$exe imports: $(echo $dlls)"
done
exit $status
