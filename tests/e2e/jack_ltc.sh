#!/usr/bin/env bash
# End to end over a real audio device: starts a JACK server with the dummy backend and our
# LTC player as a client, then runs the tests (test_jack) that read the player through JUCE's JACK
# device. Stops both again by their process ids. $1 is the application executable; the test
# programs live beside it in the build folder.
set -euo pipefail

app="$1"
build_dir="$(cd "$(dirname "$app")/.." && pwd)"
test_jack="$build_dir/tests/test_jack"
player="$build_dir/tests/vantrel_ltc_player"
work="$(mktemp -d)"

# A server of our own, so parallel runs and a user's server are left alone.
server="vantrel-e2e-$$"
export JACK_DEFAULT_SERVER="$server" JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1
player_name="vantrel-ltc-$$"

jack_pid=""
player_pid=""
stop_pid() {
    local pid="$1"
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
cleanup() {
    stop_pid "$player_pid"
    stop_pid "$jack_pid"
    rm -rf "$work"
}
trap cleanup EXIT

# jackd gives each thread it starts one second to run and gives up (or crashes) otherwise,
# which a loaded machine can miss: start it again, a few times, until it takes clients.
# A show machine runs JACK with real-time scheduling, which also keeps the audio flowing on a
# busy test machine; where this user may not have it, the server runs without.
realtime=(--no-realtime)
if chrt -f 1 true 2>/dev/null; then realtime=(--realtime); fi
jack_running() { [ "$(jack_wait -s "$server" -c 2>/dev/null)" = running ]; }
for attempt in 1 2 3 4 5; do
    jackd "${realtime[@]}" -n "$server" -d dummy -r 48000 -p 512 >>"$work/jackd.log" 2>&1 &
    jack_pid=$!
    for _ in $(seq 300); do
        kill -0 "$jack_pid" 2>/dev/null || break
        jack_running && break
        sleep 0.1
    done
    jack_running && break
    echo "--- jackd start $attempt failed" >>"$work/jackd.log"
    stop_pid "$jack_pid"
    jack_pid=""
done
if [ -z "$jack_pid" ]; then
    echo "FAIL: the JACK server did not start"
    cat "$work/jackd.log"
    exit 1
fi

# The player waits for the server itself; the tests wait for the player's report.
"$player" --name "$player_name" --fps 25 --start 10:00:00:00 --info "$work/player.txt" \
    >"$work/player.log" 2>&1 &
player_pid=$!

run=("$test_jack")
if [ -z "${DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1920x1080x24" "${run[@]}")
fi

status=0
VANTREL_JACK_PLAYER="$player_name" VANTREL_JACK_INFO="$work/player.txt" "${run[@]}" || status=$?
if [ "$status" -ne 0 ]; then
    echo "--- jackd log"; cat "$work/jackd.log"
    echo "--- player log"; cat "$work/player.log"
fi
exit "$status"
