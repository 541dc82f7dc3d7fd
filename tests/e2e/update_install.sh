#!/usr/bin/env bash
# Starts the real application against a local update service that offers a newer version:
# the start-up check prompts, OK downloads the archive and unpacks it into a folder of its own
# in Downloads, starts its first entry (which leaves a marker file) and the application quits
# by itself.
set -euo pipefail
app="$1"
here="$(dirname "$0")"
home=$(mktemp -d)
pid=""
service=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    if [ -n "$service" ]; then kill "$service" 2>/dev/null || true; wait "$service" 2>/dev/null || true; fi
    rm -rf "$home"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$here/lib/instance.sh"
source "$here/lib/seed.sh"
fail_if_another_instance_runs

python3 "$here/lib/update_service.py" "$home/service" "$home/marker" &
service=$!
for _ in $(seq 100); do [ -f "$home/service/port" ] && break; sleep 0.1; done
[ -f "$home/service/port" ] || fail "the update service did not start"
port=$(cat "$home/service/port")

seed_document_with_list "$home" "Gala"
HOME="$home" VANTREL_UPDATE_URL="http://127.0.0.1:$port" "$app" >/dev/null 2>&1 &
pid=$!

# The prompt: an 800 x 450 window of the application.
dialog=""
for _ in $(seq 300); do
    for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true); do
        if xdotool getwindowgeometry "$id" | grep -q "Geometry: 800x450"; then dialog=$id; fi
    done
    [ -n "$dialog" ] && break
    sleep 0.1
done
[ -n "$dialog" ] || fail "no update prompt$(exit_note "$pid")"
grep -q "^GET /updates/19203/overview.xml" "$home/service/requests.log" || fail "the overview was not asked for"

# OK is the rightmost button, ending 25 px from the right edge, 50 px high at y = 380.
sleep 0.3
xdotool mousemove --window "$dialog" 760 405 click 1

for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the application did not quit after the update started"
wait "$pid" && rc=0 || rc=$?
pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc"

grep -q "^GET /files/update.zip application/octet-stream" "$home/service/requests.log" || fail "the archive was not downloaded"
[ -x "$home/Downloads/Vantrel update/install.sh" ] || fail "the archive was not unpacked into its own folder"
for _ in $(seq 100); do [ -s "$home/marker" ] && break; sleep 0.1; done
[ "$(cat "$home/marker" 2>/dev/null)" = "ran" ] || fail "the installer did not run"
echo "ok"
