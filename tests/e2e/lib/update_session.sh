# The application against the local update service (sourced after lib/run.sh, not run): the
# service (stopped at exit through stop_helpers), a start of the application that answers the
# update prompt of its start-up check with OK, and the dialogs that follow.
update_lib="$(dirname "${BASH_SOURCE[0]}")"
source "$update_lib/seed.sh"
service=""
stop_helpers() { stop_process "$service"; }

# Sets port. The service writes its requests to $home/service/requests.log and reads what
# the archive request gets from $home/service/mode (see update_service.py).
start_update_service() {
    python3 "$update_lib/update_service.py" "$home/service" "$home/marker" &
    service=$!
    for _ in $(seq 100); do [ -f "$home/service/port" ] && break; sleep 0.1; done
    [ -f "$home/service/port" ] || fail "the update service did not start"
    port=$(cat "$home/service/port")
}

# The application's visible dialogs (800 x 450 windows).
dialog_ids() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true); do
        if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: 800x450"; then echo "$id"; fi
    done
}

# Clicks a dialog's rightmost button (OK, or the progress dialog's only one, " Cancel"), which
# ends 25 px from the right edge, 50 px high at y = 380.
press_rightmost_button() { xdotool mousemove --window "$1" 760 405 click 1; }

# Starts the application ($app, HOME=$home) on the service and presses OK on the update
# prompt, which then gives way to the progress dialog; sets pid.
start_and_accept_update() {
    fail_if_another_instance_runs
    HOME="$home" VANTREL_UPDATE_URL="http://127.0.0.1:$port" "$app" >/dev/null 2>&1 &
    pid=$!
    local prompt=""
    for _ in $(seq 300); do
        prompt=$(dialog_ids | head -n 1)
        [ -n "$prompt" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$prompt" ] || fail "no update prompt$(exit_note "$pid")"
    sleep 0.3
    press_rightmost_button "$prompt"
    # Its title would pass for the failure dialog's: wait until it is gone.
    for _ in $(seq 100); do
        dialog_ids | grep -qx "$prompt" || return 0
        sleep 0.1
    done
    fail "the update prompt stayed up after OK"
}

# True when the dialog says "Something went wrong...": that title reaches into the middle of
# the title row, where the progress dialog's "Hang on..." does not.
is_failure_dialog() {
    # A window that goes away while it is captured can leave the capture waiting.
    timeout 5 import -window "$1" "$shots/dialog.png" 2>/dev/null || return 1
    local spread
    spread=$(convert "$shots/dialog.png" -crop 140x80+280+10 +repage -colorspace Gray -format '%[fx:maxima-minima]' info:)
    awk -v v="$spread" 'BEGIN { exit !(v >= 0.3) }'
}
# Waits until the failure dialog is up, with the application still running.
wait_for_failure_dialog() {
    local id
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || fail "the application quit instead of reporting a failure ($1)"
        for id in $(dialog_ids); do is_failure_dialog "$id" && return 0; done
        sleep 0.1
    done
    fail "no failure dialog ($1)$(exit_note "$pid")"
}

# Nothing of the update anywhere in the home: no folder left in Downloads (a run that stops
# removes it, which may take a moment after its dialog), no file that escaped, no marker of a
# started installer.
check_nothing_left() {
    local left=""
    for _ in $(seq 50); do
        left=$( (find "$home/Downloads" -mindepth 1 2>/dev/null || true) | head -n 3)
        [ -z "$left" ] && break
        sleep 0.1
    done
    [ -z "$left" ] || fail "$1: left in Downloads: $left"
    left=$(find "$home" -name 'escaped*' | head -n 3)
    [ -z "$left" ] || fail "$1: written outside the folder: $left"
    [ ! -e "$home/marker" ] || fail "$1: the installer was started"
}
