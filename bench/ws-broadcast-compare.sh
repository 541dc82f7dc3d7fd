#!/usr/bin/env bash
# Runs the same client fleet against our WebSocket server (bench_WebSocketTimeServer) and a
# minimal broadcast server on the npm "ws" package (bench/ws-reference-server.js), one after
# the other in the same run, for each client count; prints both rows and their ratios.
#
# Usage: bench/ws-broadcast-compare.sh [BUILD_DIR] [SECONDS] [COUNTS...]
#   VANTREL_BENCH_LOAD=1   keeps every core busy with stress-ng at the lowest priority meanwhile
#   VANTREL_FLEET_THREADS  client threads of the fleet (default 4)
# The machine may be shared: the load average is printed with every row.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$repo/build}"
seconds="${2:-30}"
shift $(( $# > 2 ? 2 : $# ))
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(100 500 1000 2000)
threads="${VANTREL_FLEET_THREADS:-4}"
ulimit -n "$(ulimit -Hn)"

server_pid=""
load_pid=""
cleanup() {
    if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
    if [ -n "$load_pid" ]; then kill "$load_pid" 2>/dev/null || true; wait "$load_pid" 2>/dev/null || true; fi
    server_pid=""
}
trap cleanup EXIT

free_port() {
    python3 -c '
import random, socket
for _ in range(200):
    p = random.randint(40000, 49999)
    s = socket.socket()
    try:
        s.bind(("127.0.0.1", p)); s.close(); print(p); break
    except OSError:
        s.close()
'
}

# Starts a server program, waits for its "listening" line, runs the fleet, stops the server.
measure() {
    local port out
    port=$(free_port)
    out=$(mktemp)
    "$@" "$port" >"$out" 2>&1 &
    server_pid=$!
    for _ in $(seq 100); do grep -q listening "$out" && break; sleep 0.1; done
    grep -q listening "$out" || { echo "server did not start: $(cat "$out")" >&2; exit 1; }
    "$build/bench/bench_WebSocketFleet" "$port" "$count" "$seconds" "$threads" "$server_pid"
    kill "$server_pid"; wait "$server_pid" 2>/dev/null || true
    server_pid=""
    rm -f "$out"
}

field() { sed -n "s/.*\b$1=\([-0-9.]*\).*/\1/p" <<<"$2"; }
ratio() { python3 -c "import sys; a,b=float(sys.argv[1]),float(sys.argv[2]); print(f'{a/b:.2f}' if b else 'n/a')" "$1" "$2"; }

if [ "${VANTREL_BENCH_LOAD:-0}" = 1 ]; then
    nice -n 19 stress-ng --cpu 0 --quiet &
    load_pid=$!
    echo "load: stress-ng --cpu 0 at nice 19 (pid $load_pid)"
fi

for count in "${counts[@]}"; do
    ours=$(measure "$build/bench/bench_WebSocketTimeServer")
    reference=$(measure node "$repo/bench/ws-reference-server.js")
    echo "clients=$count load=$(cut -d' ' -f1-3 /proc/loadavg)"
    echo "  ours:      $ours"
    echo "  reference: $reference"
    line="  ratios (ours/reference):"
    for name in p50_ms p99_ms max_ms fps_per_client cpu_pct rss_end_mb connect_s; do
        line+=" $name=$(ratio "$(field "$name" "$ours")" "$(field "$name" "$reference")")"
    done
    echo "$line"
done
