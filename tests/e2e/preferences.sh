#!/usr/bin/env bash
# The preferences window of the real application under Xvfb: a fresh start opens it over the
# main window on the PROJECT page; typing a name into the document bar and pressing Return
# saves the document under that name, makes it the last used file and retitles both windows.
set -euo pipefail
app="$1"
source "$(dirname "$0")/lib/run.sh"

title_of() { xprop -id "$1" WM_NAME | sed 's/^[^"]*"\(.*\)"$/\1/'; }
pixel() { convert "$1" -crop "1x1+$2+$3" +repage -format '%[hex:p{0,0}]' info: | cut -c1-6; }
# The top-level windows of the display from the bottom of the stack to the top.
stacking() {
    python3 -c '
import ctypes, ctypes.util
x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
x.XDefaultRootWindow.restype = ctypes.c_ulong
d = ctypes.c_void_p(x.XOpenDisplay(None))
root, parent = ctypes.c_ulong(), ctypes.c_ulong()
children, n = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
x.XQueryTree(d, ctypes.c_ulong(x.XDefaultRootWindow(d)), ctypes.byref(root), ctypes.byref(parent),
             ctypes.byref(children), ctypes.byref(n))
for i in range(n.value):
    print(children[i])
x.XCloseDisplay(d)
'
}

[ -z "$(window_ids)" ] || fail "a Vantrel window is already open on this display"
fail_if_another_instance_runs
HOME="$home" "$app" >/dev/null 2>&1 &
pid=$!
wait_for_windows 2

# The preferences window is the wide one (1366 px of content) and lies above the main window.
prefs="" main=""
for id in $(window_ids); do
    if [ "$(width_of "$id")" -ge 1366 ]; then prefs=$id; else main=$id; fi
done
[ -n "$prefs" ] && [ -n "$main" ] || fail "cannot tell the windows apart: $(window_ids | tr '\n' ' ')"
order=$(stacking | grep -n -x -e "$prefs" -e "$main" | cut -d: -f2 | tr '\n' ' ')
[ "$order" = "$main $prefs " ] || fail "stacking from the bottom is '$order', main $main, preferences $prefs"

# The PROJECT entry is marked: its button has the selected fill, the next one does not.
# The content sits inside a 4 px border, below the 30 px title bar.
b=4
top=$((b + 30))
for _ in $(seq 50); do
    import -window "$prefs" "$shots/prefs.png"
    [ "$(pixel "$shots/prefs.png" $((b + 158)) $((top + 10)))" = "1D1929" ] && break
    sleep 0.1
done
[ "$(pixel "$shots/prefs.png" $((b + 158)) $((top + 10)))" = "1D1929" ] || fail "PROJECT is not selected: $(pixel "$shots/prefs.png" $((b + 158)) $((top + 10)))"
[ "$(pixel "$shots/prefs.png" $((b + 158)) $((top + 50)))" = "0F0D15" ] || fail "TIMETABLE looks selected"

# The document bar's name: the page starts at (174, 10), the label at (12, 12) in the bar.
xdotool mousemove --window "$prefs" $((b + 174 + 12 + 30)) $((top + 10 + 12 + 14)) click 1
sleep 0.3
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "Gala"
xdotool key Return

folder="$home/Documents/Vantrel"
for _ in $(seq 100); do [ -f "$folder/Gala.xml" ] && break; sleep 0.1; done
[ -f "$folder/Gala.xml" ] || fail "no Gala.xml: $(ls "$folder")"
grep -q "lastusedfile fullpathname=\"$folder/Gala.xml\"" "$folder/preferences/preferences.xml" \
    || fail "last used file: $(grep lastusedfile "$folder/preferences/preferences.xml")"
for id in "$main" "$prefs"; do
    for _ in $(seq 50); do [ "$(title_of "$id")" = "Gala - Vantrel" ] && break; sleep 0.1; done
    [ "$(title_of "$id")" = "Gala - Vantrel" ] || fail "window $id is titled '$(title_of "$id")'"
done
# The autosave writes the document into the new file.
for _ in $(seq 50); do grep -q "<Vantrel" "$folder/Gala.xml" && break; sleep 0.1; done
grep -q "<Vantrel" "$folder/Gala.xml" || fail "Gala.xml was never written"
echo "ok"
