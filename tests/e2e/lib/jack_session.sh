# A JACK server with the dummy backend and our LTC player as a client, for the checks that
# need a real audio device (sourced, not run). Both are stopped again by their process ids
# when the sourcing script exits.
#
#   start_jack_session APP     starts both; APP is the application executable, the test
#                              programs live beside it in the build folder
#   start_ltc_player NAME INFO [ARGS...]
#                              starts one more player (see tests/tools/LtcPlayer.cpp)
#   run_jack_tests FILTER      runs the JACK tests (test_jack, which ctest does not list)
#                              matching the gtest filter against them

build_dir=""
test_jack=""
work=""
jack_pid=""
player_pids=()
player_name=""
player=""

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

stop_jack_session() {
    for pid in "${player_pids[@]}"; do stop_pid "$pid"; done
    stop_pid "$jack_pid"
    [ -n "$work" ] && rm -rf "$work"
}

start_jack_session() {
    local app="$1"
    build_dir="$(cd "$(dirname "$app")/.." && pwd)"
    test_jack="$build_dir/tests/test_jack"
    player="$build_dir/tests/vantrel_ltc_player"
    work="$(mktemp -d)"
    trap stop_jack_session EXIT

    # A server of our own, so parallel runs and a user's server are left alone.
    local server="vantrel-e2e-$$"
    export JACK_DEFAULT_SERVER="$server" JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1
    player_name="vantrel-ltc-$$"

    # jackd gives each thread it starts one second to run and gives up (or crashes) otherwise,
    # which a loaded machine can miss: start it again, a few times, until it takes clients.
    # A show machine runs JACK with real-time scheduling, which also keeps the audio flowing on
    # a busy test machine; where this user may not have it, the server runs without.
    local realtime=(--no-realtime)
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

    start_ltc_player "$player_name" "$work/player.txt"
}

start_ltc_player() {
    local name="$1" info="$2"
    shift 2
    # The player waits for the server itself; the tests wait for the player's report.
    "$player" --name "$name" --fps 25 --start 10:00:00:00 --info "$info" "$@" >>"$work/player.log" 2>&1 &
    player_pids+=($!)
}

run_jack_tests() {
    local run=("$test_jack" --gtest_filter="$1")
    if [ -z "${DISPLAY:-}" ]; then
        run=(xvfb-run -a -s "-screen 0 1920x1080x24" "${run[@]}")
    fi

    local status=0
    VANTREL_JACK_PLAYER="$player_name" VANTREL_JACK_INFO="$work/player.txt" "${run[@]}" || status=$?
    if [ "$status" -ne 0 ]; then
        echo "--- jackd log"; cat "$work/jackd.log"
        echo "--- player log"; cat "$work/player.log"
    fi
    return "$status"
}
