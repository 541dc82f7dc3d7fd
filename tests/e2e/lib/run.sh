# One run of the application on the display (sourced, not run): a fresh home and a folder for
# captures, both removed at exit once the application ($pid) and the script's own helper
# processes (its stop_helpers, if it defines one) are stopped; fail; the instance and window
# helpers.
home=$(mktemp -d)
shots=$(mktemp -d)
pid=""
stop_process() {
    if [ -n "$1" ]; then kill "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; fi
}
cleanup() {
    if declare -F stop_helpers >/dev/null; then stop_helpers; fi
    stop_process "$pid"
    rm -rf "$home" "$shots"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "${BASH_SOURCE[0]}")/instance.sh"
source "$(dirname "${BASH_SOURCE[0]}")/windows.sh"
