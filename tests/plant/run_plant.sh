#!/usr/bin/env bash
# An elevated program must not load a wininet.dll or comctl32.dll that was
# planted in its folder. In one fresh folder holding the program and both
# planted DLLs, with Wine told to prefer DLLs found on disk as Windows does:
# first a program that imports the two DLLs the usual way must load the
# planted ones (else this test proves nothing); then kiln_proxy.exe must run
# its start (finding the system's proxy through the real wininet) and end
# without loading either.
#
# run_plant.sh WINE_RUN KILN_PROXY_EXE NAIVE_EXE WININET_DLL COMCTL32_DLL
set -u
[ "$#" -eq 5 ] || { echo "usage: $0 WINE_RUN KILN_PROXY_EXE NAIVE_EXE WININET_DLL COMCTL32_DLL"; exit 2; }
wine_run=$(realpath "$1")
kiln_exe=$(realpath "$2")
naive_exe=$(realpath "$3")
planted_dlls=("$(realpath "$4")" "$(realpath "$5")")
markers=(planted_wininet.txt planted_comctl32.txt)
inet_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
app_key='HKLM\SOFTWARE\kiln_proxy'

work=$(mktemp -d "${TMPDIR:-/tmp}/kiln_plant.XXXXXX")
kiln_pid=
kiln_started=0
fail() {
  echo "FAIL: $*"
  if [ "$kiln_started" -eq 1 ]; then
    for marker in "${markers[@]}"; do
      [ -f "$work/folder/$marker" ] && echo "FAIL: $marker written: the planted DLL was loaded by $(cat "$work/folder/$marker")"
    done
  fi
  [ -s "$work/wine.log" ] && { echo "Wine's output:"; cat "$work/wine.log"; }
  exit 1
}

# Polls until the command succeeds, for at most $1 seconds.
wait_until() {
  local limit=$(( $1 * 10 ))
  shift
  for _ in $(seq 1 "$limit"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

windows_path() {
  printf 'Z:%s' "$1" | tr / '\\'
}

reg() {
  "$wine_run" reg "$@" >/dev/null 2>&1 </dev/null
}

xvfb_pid=
saved_inet=
cleanup() {
  if [ -n "$kiln_pid" ] && kill -0 "$kiln_pid" 2>/dev/null; then
    kill "$kiln_pid" 2>/dev/null
    wait "$kiln_pid" 2>/dev/null
  fi
  if [ -n "$saved_inet" ]; then
    reg delete "$inet_key" /v ProxyServer /f
    reg delete "$inet_key" /v ProxyEnable /f
    reg import "$(windows_path "$saved_inet")"
  fi
  reg delete "$app_key" /f
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The program must reach both DLLs only through the loader's search of the
# system directory, never through its import table.
imports=$(i686-w64-mingw32-objdump -p "$kiln_exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || fail "no import table read from $kiln_exe"
echo "kiln_proxy.exe imports: $(echo $imports)"
for dll in wininet.dll comctl32.dll; do
  printf '%s\n' "$imports" | grep -qx "$dll" && fail "kiln_proxy.exe imports $dll"
done

if [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$work/display" >/dev/null 2>&1 </dev/null &
  xvfb_pid=$!
  wait_until 10 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
fi

folder="$work/folder"
app="$work/app"
mkdir -p "$folder" "$app"
cp "$kiln_exe" "$naive_exe" "${planted_dlls[@]}" "$folder/" || fail "cannot copy the programs"
cd "$folder" || fail "cannot enter $folder"
# Native (on disk) before builtin: Wine then searches the program's folder
# first, as Windows does for DLLs that are not known DLLs.
export WINEDLLOVERRIDES="wininet,comctl32=n,b;mscoree,mshtml="

# Wine's output goes to a file: a wineserver started here keeps it open.
"$wine_run" "$folder/$(basename "$naive_exe")" </dev/null >>"$work/wine.log" 2>&1
status=$?
[ "$status" -eq 0 ] || fail "the naive program exited with $status"
for marker in "${markers[@]}"; do
  [ -f "$marker" ] || fail "the naive program did not load the planted DLL that writes $marker: the planted DLLs are not picked up, so nothing below would be shown"
  echo "$marker written, loaded by $(cat "$marker")"
  rm -f "$marker"
done

saved_inet="$work/inet.reg"
reg export "$inet_key" "$(windows_path "$saved_inet")" /y || fail "cannot save the Internet settings"
reg add "$app_key" /v apppath /t REG_SZ /d "$(windows_path "$app")\\" /f || fail "cannot set apppath"
reg add "$inet_key" /v ProxyServer /t REG_SZ /d 'http=http=10.0.0.1:80' /f || fail "cannot set ProxyServer"
reg add "$inet_key" /v ProxyEnable /t REG_DWORD /d 1 /f || fail "cannot set ProxyEnable"

"$wine_run" "$folder/$(basename "$kiln_exe")" </dev/null >>"$work/wine.log" 2>&1 &
kiln_pid=$!
kiln_started=1

running() { kill -0 "$kiln_pid" 2>/dev/null; }
started() { [ -f "$app/setting.bin" ] || ! running; }
wait_until 60 started || fail "no setting.bin within 60 s"
running || fail "kiln_proxy.exe ended before it wrote setting.bin"
text=$(perl -0777 -ne 'print ~$_' "$app/setting.bin")
[ "$text" = "0,10.0.0.1,80,,,,," ] || fail "setting.bin holds [$text], not the system's proxy from the real wininet"
echo "setting.bin holds $text"

find_dialog() { wid=$(xdotool search --onlyvisible --pid "$kiln_pid" 2>/dev/null | head -n 1); [ -n "$wid" ] || ! running; }
wait_until 60 find_dialog || fail "no dialog window within 60 s"
running || fail "kiln_proxy.exe ended before its dialog was seen"
eval "$(xdotool getwindowgeometry --shell "$wid")"
# Wine maps the dialog's client area, 263 x 154 dialog units; the middle
# of CANCEL (202,131, 46 x 15 units) in pixels.
x=$(( X + (202 * 2 + 46) * WIDTH / (263 * 2) ))
y=$(( Y + (131 * 2 + 15) * HEIGHT / (154 * 2) ))
# Other tests' windows may stand on the same screen: click only once the
# pointer is over this dialog.
over_dialog() {
  xdotool mousemove --sync "$x" "$y"
  [ "$(xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p')" = "$wid" ] || ! running
}
wait_until 60 over_dialog || fail "another window covers CANCEL at $x,$y"
running || fail "kiln_proxy.exe ended before CANCEL was clicked"
xdotool click 1

ended() { ! running; }
wait_until 30 ended || fail "kiln_proxy.exe still running 30 s after CANCEL at $x,$y"
wait "$kiln_pid"
status=$?
kiln_pid=
[ "$status" -eq 0 ] || fail "kiln_proxy.exe exited with $status"

for marker in "${markers[@]}"; do
  [ ! -f "$marker" ] || fail "kiln_proxy.exe loaded a planted DLL"
done
echo "PASS: the planted DLLs were loaded by the naive program and not by kiln_proxy.exe"
