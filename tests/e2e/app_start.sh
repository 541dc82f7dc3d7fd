#!/usr/bin/env bash
# Starts the real application with an empty HOME: it shows its main window titled after the
# untitled document, and a second start exits without a window, leaving the first untouched.
set -euo pipefail
app="$1"
home=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    rm -rf "$home"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

window_ids() { xdotool search --name " - Vantrel\$" 2>/dev/null || true; }
[ -z "$(window_ids)" ] || fail "a Vantrel window is already open on this display"

HOME="$home" "$app" >/dev/null 2>&1 &
pid=$!

for _ in $(seq 300); do [ -n "$(window_ids)" ] && break; sleep 0.1; done
ids=$(window_ids)
[ -n "$ids" ] || fail "no main window appeared"
[ "$(echo "$ids" | wc -l)" -eq 1 ] || fail "expected one window, got: $ids"
title=$(xprop -id "$ids" WM_NAME | sed 's/^[^"]*"\(.*\)"$/\1/')
[ "$title" = "Untitled Vantrel Document - Vantrel" ] || fail "native title is '$title'"
[ -f "$home/Documents/Vantrel/preferences/preferences.xml" ] || fail "no preferences file"

# A second start ends by itself, opens nothing, and the first keeps running.
HOME="$home" timeout 20 "$app" >/dev/null 2>&1 || fail "second start did not exit cleanly ($?)"
[ "$(window_ids | wc -l)" -eq 1 ] || fail "second start opened a window"
kill -0 "$pid" || fail "first instance is gone"

# A termination request shuts the application down cleanly.
kill -TERM "$pid"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running after SIGTERM"
wait "$pid" && rc=0 || rc=$?
pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc after SIGTERM"
echo "ok"
