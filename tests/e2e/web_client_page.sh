#!/usr/bin/env bash
# The web-client page of the real application under Xvfb: a fresh start opens the preferences
# window; on WEBCLIENTS the add button makes "New Server" on port 3030, which then answers
# HTTP, and "Copy Server Summary" of the action menu puts "New Server - <computer>.local:3030"
# on the clipboard, read back with xclip while the application runs. The row's QR button shows
# the address as a code that zbarimg reads from the screen.
set -euo pipefail
app="$1"
source "$(dirname "$0")/lib/run.sh"

# Another program on port 3030 would move the new server to the next port.
python3 -c 'import socket; s = socket.socket(); s.bind(("0.0.0.0", 3030)); s.close()' \
    || fail "port 3030 is taken on this machine"

start_with_preferences_window

# The content sits inside a 4 px border, below the 30 px title bar; the side bar's entries are
# 40 px apart, the page starts at (174, 10) and is as wide as the content less 184.
b=4
top=$((b + 30))
page_x=$((b + 174))
page_y=$((top + 10))
page_w=$(($(width_of "$prefs") - 2 * b - 184))
click() { xdotool mousemove --window "$prefs" "$1" "$2" click 1; }

click $((b + 40)) $((top + 3 * 40 + 20))      # WEBCLIENTS
sleep 0.5
# The "Webclients" panel starts 90 px down the page; its header holds the add button at the
# right end and the action menu left of it.
click $((page_x + page_w - 34)) $((page_y + 90 + 18))
served=""
for _ in $(seq 100); do
    code=$(curl -s -o /dev/null --max-time 2 -w '%{http_code}' "http://127.0.0.1:3030/" || true)
    [ -n "$code" ] && [ "$code" != "000" ] && { served=$code; break; }
    sleep 0.1
done
[ -n "$served" ] || fail "nothing answers on port 3030 after the add button$(exit_note "$pid")"

expected="New Server - $(hostname).local:3030"
summary=""
for _ in $(seq 5); do
    click $((page_x + page_w - 107)) $((page_y + 90 + 18))
    sleep 0.5
    # The menu opens under the action button; its one item is the first row.
    click $((page_x + page_w - 107)) $((page_y + 90 + 32 + 18))
    sleep 0.5
    summary=$(timeout 10 xclip -o -selection clipboard 2>/dev/null || true)
    [ "$summary" = "$expected" ] && break
    import -window root "$shots/screen.png" 2>/dev/null || true
done
[ "$summary" = "$expected" ] || fail "clipboard holds '$summary', expected '$expected'$(exit_note "$pid")"

# The row's buttons: the QR icon is the one in grey of lightness 0.5 (the copy icon beside it is
# darker, the remove icon red), on the row's middle line. The rows start 151 px down the panel's
# content, which lies 6 px inside the panel below its 36 px header; a row is 30 px high.
row_y=$((page_y + 90 + 36 + 6 + 156 + 15))
import -window "$prefs" "$shots/prefs.png"
qr_x=$(convert "$shots/prefs.png" -crop "$((page_w))x1+$page_x+$row_y" +repage txt:- | python3 -c '
import re, sys
best = None
for line in sys.stdin:
    m = re.match(r"(\d+),0: \((\d+),(\d+),(\d+)", line)
    if m:
        x, r, g, b = map(int, m.groups())
        if r == g == b and 0x78 <= r <= 0x88:
            best = x
print(best if best is not None else "")
')
[ -n "$qr_x" ] || fail "no QR button on the row's line"
click $((page_x + qr_x - 3)) $row_y
decoded=""
for _ in $(seq 20); do
    sleep 0.3
    import -window root "$shots/screen.png"
    decoded=$(zbarimg --quiet --raw "$shots/screen.png" 2>/dev/null || true)
    [ -n "$decoded" ] && break
done
[ "$decoded" = "http://$(hostname).local:3030" ] || fail "the QR code on screen reads '$decoded'"

kill -0 "$pid" || fail "the application is gone"
echo "ok"
