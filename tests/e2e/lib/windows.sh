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
