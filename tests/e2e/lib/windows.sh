# Finding and measuring the application's windows on the display (sourced, not run; the
# script defines fail and sets pid to the application's process).

window_ids() { xdotool search --name " - Vantrel\$" 2>/dev/null || true; }
wait_for_windows() {
    for _ in $(seq 300); do [ "$(window_ids | wc -l)" -eq "$1" ] && return 0; sleep 0.1; done
    fail "expected $1 window(s), have: $(window_ids | tr '\n' ' ')$(exit_note "$pid")"
}
width_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'; }
height_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p'; }
position_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'; }

# A fresh start of the application ($app, with HOME=$home) that opens both windows, the
# preferences window over the main one; sets pid and prefs (the wide window's id).
start_with_preferences_window() {
    [ -z "$(window_ids)" ] || fail "a Vantrel window is already open on this display"
    fail_if_another_instance_runs
    HOME="$home" "$app" >/dev/null 2>&1 &
    pid=$!
    wait_for_windows 2
    prefs=""
    local id
    for id in $(window_ids); do
        if [ "$(width_of "$id")" -ge 1366 ]; then prefs=$id; fi
    done
    [ -n "$prefs" ] || fail "no preferences window among $(window_ids | tr '\n' ' ')"
}
