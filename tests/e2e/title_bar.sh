#!/usr/bin/env bash
# The window frame of the real application under Xvfb: the title bar's look (bar colour, logo,
# icons, title text), the native title, the settings cog opening the preferences window, that
# window's own close button closing only it, and a system close request quitting.
set -euo pipefail
app="$1"
source "$(dirname "$0")/lib/run.sh"
atoms_pid=""
stop_helpers() { stop_process "$atoms_pid"; }
source "$(dirname "$0")/lib/seed.sh"
# A document with a cue list: the main window opens alone.
seed_document_with_list "$home" "Gala"

# Colour of one pixel as RRGGBB; brightest grey level (0..1) in an area.
pixel() { convert "$1" -crop "1x1+$2+$3" +repage -format '%[hex:p{0,0}]' info: | cut -c1-6; }
brightest() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:maxima]' info:; }
bright_enough() { awk -v v="$1" -v min="$2" 'BEGIN { exit !(v >= min) }'; }

# The framework looks up the window-manager atoms only if the server knows them. A bare Xvfb
# learns them here, and this connection stays open (an X server without clients resets and
# forgets its atoms), so the application's close requests are understood.
python3 -c '
import ctypes, ctypes.util, sys, time
x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
d = ctypes.c_void_p(x.XOpenDisplay(None))
for name in (b"WM_PROTOCOLS", b"WM_DELETE_WINDOW", b"WM_CHANGE_STATE"):
    x.XInternAtom(d, name, 0)
x.XSync(d, 0)
print("ready", flush=True)
time.sleep(600)
' > "$shots/atoms" &
atoms_pid=$!
for _ in $(seq 100); do grep -q ready "$shots/atoms" 2>/dev/null && break; sleep 0.1; done

[ -z "$(window_ids)" ] || fail "a Vantrel window is already open on this display"
fail_if_another_instance_runs
HOME="$home" "$app" >/dev/null 2>&1 &
pid=$!
wait_for_windows 1
main=$(window_ids)

title=$(xprop -id "$main" WM_NAME | sed 's/^[^"]*"\(.*\)"$/\1/')
[ "$title" = "Gala - Vantrel" ] || fail "native title is '$title'"

# The content sits inside a 4 px resizable border; the bar is the top 30 px of the content.
b=4
w=$(width_of "$main")
# Wait for the first paint to reach the screen.
for _ in $(seq 50); do
    import -window "$main" "$shots/main.png"
    [ "$(pixel "$shots/main.png" $((b + 100)) $((b + 2)))" = "0F0D15" ] && break
    sleep 0.1
done
[ "$(pixel "$shots/main.png" $((b + 100)) $((b + 2)))" = "0F0D15" ] || fail "bar colour $(pixel "$shots/main.png" $((b + 100)) $((b + 2)))"
bright_enough "$(brightest "$shots/main.png" 18x18+$((b + 6))+$((b + 6)))" 0.3 || fail "no logo"
bright_enough "$(brightest "$shots/main.png" 12x12+$((b + 30))+$((b + 9)))" 0.3 || fail "no settings cog"
for right in 18 42 66; do   # close, full screen, minimise
    bright_enough "$(brightest "$shots/main.png" 12x18+$((w - b - right))+$((b + 6)))" 0.6 || fail "no icon at -$right"
done
bright_enough "$(brightest "$shots/main.png" 200x30+$((w / 2 - 100))+$b)" 0.9 || fail "no title text"

# The settings cog opens the preferences window; a second click only brings it to the front.
xdotool mousemove --window "$main" $((b + 36)) $((b + 15)) click 1
wait_for_windows 2
prefs=$(window_ids | grep -v "^$main\$")
xdotool mousemove --window "$main" $((b + 36)) $((b + 15)) click 1
sleep 0.5
[ "$(window_ids | wc -l)" -eq 2 ] || fail "a second preferences window was built"

# The preferences window has no cog; its close button closes only that window.
pw=$(width_of "$prefs")
for _ in $(seq 50); do
    import -window "$prefs" "$shots/prefs.png"
    [ "$(pixel "$shots/prefs.png" $((b + 100)) $((b + 2)))" = "0F0D15" ] && break
    sleep 0.1
done
bright_enough "$(brightest "$shots/prefs.png" 12x12+$((b + 30))+$((b + 9)))" 0.3 && fail "cog on the preferences window"
xdotool mousemove --window "$prefs" $((pw - b - 12)) $((b + 15)) click 1
wait_for_windows 1
[ "$(window_ids)" = "$main" ] || fail "the wrong window closed"
kill -0 "$pid" || fail "closing the preferences window quit the application"

# A system close request (what Alt+F4 sends) on the reopened preferences window quits.
xdotool mousemove --window "$main" $((b + 36)) $((b + 15)) click 1
wait_for_windows 2
prefs=$(window_ids | grep -v "^$main\$")
python3 "$(dirname "$0")/lib/wm-close.py" "$prefs"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running after a close request on the preferences window"
wait "$pid" && rc=0 || rc=$?
pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc after the close request"
echo "ok"
