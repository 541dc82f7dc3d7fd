#!/usr/bin/env bash
# Starts the real application with an empty HOME: it shows its main window titled after the
# untitled document and, as the document has no cue list yet, the preferences window; a second
# start exits without a window, leaving the first untouched. Then with a document that holds a
# cue list: the main window alone, titled after that document.
set -euo pipefail
app="$1"
home=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    rm -rf "$home"
}
trap cleanup EXIT
# What the application printed goes with a failure: a start that ended early says why there.
fail() {
    echo "FAIL: $*"
    if [ -s "${out:-}" ]; then sed 's/^/  application: /' "$out"; fi
    exit 1
}
source "$(dirname "$0")/lib/instance.sh"
source "$(dirname "$0")/lib/windows.sh"
source "$(dirname "$0")/lib/seed.sh"

[ -z "$(window_ids)" ] || fail "a Vantrel window is already open on this display"
fail_if_another_instance_runs

out="$home/start.log"
HOME="$home" "$app" >"$out" 2>&1 &
pid=$!

title_of() { xprop -id "$1" WM_NAME | sed 's/^[^"]*"\(.*\)"$/\1/'; }

wait_for_windows 2
for id in $(window_ids); do
    [ "$(title_of "$id")" = "Untitled Vantrel Document - Vantrel" ] || fail "native title is '$(title_of "$id")'"
done
[ -f "$home/Documents/Vantrel/preferences/preferences.xml" ] || fail "no preferences file"

# Browsers, files and audio share the descriptors: the soft limit is raised to the hard one.
read -r soft hard < <(awk '/^Max open files/ { print $4, $5 }' "/proc/$pid/limits")
[ "$soft" = "$hard" ] || fail "open-file limit is $soft, the hard limit $hard"

# A second start ends by itself, opens nothing, and the first keeps running.
HOME="$home" timeout 20 "$app" >/dev/null 2>&1 || fail "second start did not exit cleanly ($?)"
sleep 0.5
[ "$(window_ids | wc -l)" -eq 2 ] || fail "second start opened a window"
kill -0 "$pid" || fail "first instance is gone"

# A termination request shuts the application down cleanly.
terminate_app "SIGTERM"
# No JACK server runs here, which is no fault: nothing about it on the terminal.
if grep -i "jack" "$out"; then fail "the start printed JACK messages"; fi

# With a cue list in the document the main window opens alone.
rm -rf "$home"/*
seed_document_with_list "$home" "Gala"
HOME="$home" "$app" >/dev/null 2>&1 &
pid=$!
wait_for_windows 1
[ "$(title_of "$(window_ids)")" = "Gala - Vantrel" ] || fail "native title is '$(title_of "$(window_ids)")'"
sleep 0.5
[ "$(window_ids | wc -l)" -eq 1 ] || fail "the preferences window opened for a document with a cue list"
echo "ok"
