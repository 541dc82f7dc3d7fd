#!/usr/bin/env bash
# CSV files dropped on the project page of the real application under Xvfb, through the X
# drag-and-drop protocol from a second program: a fresh start shows the organizer's invitation
# to drop; a drag holding a file that does not end in ".csv" is refused; a drop of two CSV
# files adds two lists in the dropped order, and the autosave writes them.
set -euo pipefail
app="$1"
build_dir=$(cd "$(dirname "$app")/.." && pwd)
source_tool="$build_dir/tests/vantrel_xdnd_source"
data="$(cd "$(dirname "$0")/../data/csv" && pwd)"
source "$(dirname "$0")/lib/run.sh"
source_pid=""
stop_source() {
    stop_process "$source_pid"
    source_pid=""
}
stop_helpers() { stop_source; }
[ -x "$source_tool" ] || fail "no drag source at $source_tool"

# Pixels of exactly one colour in an area of a capture.
count_colour() {
    convert "$1" -crop "$2" +repage -fill black +opaque "$3" -fill white -opaque "$3" \
        -format '%[fx:round(mean*w*h)]' info:
}
document="$home/Documents/Vantrel/Untitled Vantrel Document.xml"
saved_lists() { grep -o '<CueList [^>]*name="[^"]*"' "$document" 2>/dev/null | sed 's/.*name="\([^"]*\)"/\1/' | tr '\n' '|'; }

# Drags the files from the source window at the bottom right to a point of the screen.
drag_files_to() {
    local x="$1" y="$2"
    shift 2
    stop_source
    local out="$shots/source.out"
    : > "$out"
    "$source_tool" 1800 960 "$@" > "$out" 2>"$shots/source.err" &
    source_pid=$!
    for _ in $(seq 100); do grep -q ready "$out" && break; sleep 0.1; done
    grep -q ready "$out" || fail "the drag source did not come up: $(cat "$shots/source.err")"
    sleep 0.2
    xdotool mousemove 1850 1010 mousedown 1
    for step in 1 2 3 4 5 6 7 8; do
        xdotool mousemove $((1850 - step * 6)) $((1010 - step * 6))
        sleep 0.05
    done
    for step in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $((1802 + (x - 1802) * step / 10)) $((962 + (y - 962) * step / 10))
        sleep 0.05
    done
    sleep 0.3
    xdotool mousemove "$x" "$y"
    sleep 0.3
    xdotool mouseup 1
    for _ in $(seq 100); do grep -q drag-end "$out" && break; sleep 0.1; done
    grep -q drag-end "$out" || fail "the drag never ended"
}

start_with_preferences_window
read -r wx wy <<< "$(position_of "$prefs")"
wh=$(height_of "$prefs")

# The organizer: the page starts at (174, 10) of the content, inside a 4 px border below the
# 30 px title bar; the "Cuelists" panel at (0, 63) of the page, its content at (6, 42), 488 px
# wide and as tall as the panel less 48 px.
ox=$((4 + 174 + 6))
oy=$((4 + 30 + 10 + 63 + 42))
oh=$((wh - 4 - oy - 48 + 42))
for _ in $(seq 50); do
    import -window "$prefs" "$shots/fresh.png"
    [ "$(count_colour "$shots/fresh.png" "488x${oh}+${ox}+${oy}" "#404040")" -gt 100 ] && break
    sleep 0.1
done
grey=$(count_colour "$shots/fresh.png" "488x${oh}+${ox}+${oy}" "#404040")
[ "$grey" -gt 100 ] || fail "no drop invitation in the organizer ($grey grey pixels)"

target_x=$((wx + ox + 244))
target_y=$((wy + oy + 60))

# A text file in the drag: refused as a whole.
drag_files_to "$target_x" "$target_y" "$data/Act 2.csv" "$data/Notes.txt"
sleep 1.5
[ -z "$(saved_lists)" ] || fail "a refused drop added lists: $(saved_lists)"

drag_files_to "$target_x" "$target_y" "$data/Act 2.csv" "$data/Act 1 (final mix).csv"
for _ in $(seq 100); do [ "$(saved_lists)" = "Act 2|Act 1|" ] && break; sleep 0.1; done
[ "$(saved_lists)" = "Act 2|Act 1|" ] || fail "saved lists: '$(saved_lists)'$(exit_note "$pid")"

# The rows took the place of the invitation.
import -window "$prefs" "$shots/rows.png"
grey=$(count_colour "$shots/rows.png" "488x${oh}+${ox}+${oy}" "#404040")
[ "$grey" -lt 20 ] || fail "the invitation is still drawn ($grey grey pixels)"
echo "ok"
