#!/usr/bin/env bash
# The real application with a document that holds a web-client server: it serves the files
# of the "dist" folder beside the executable on that port and greets a browser over WebSocket
# with "cuelist", "waveform", "time" and "misc".
set -euo pipefail
app="$1"
repo="$(cd "$(dirname "$0")/../.." && pwd)"
work=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "$0")/lib/instance.sh"
source "$(dirname "$0")/lib/seed.sh"

# A free port on this machine, from a range of its own.
port=$(python3 -c '
import random, socket
for _ in range(200):
    p = random.randint(20000, 29999)
    s = socket.socket()
    try:
        s.bind(("0.0.0.0", p)); s.close(); print(p); break
    except OSError:
        s.close()
')

# The executable with a dist folder beside it.
mkdir -p "$work/bin/dist" "$work/home"
cp "$app" "$work/bin/Vantrel"
printf '<!doctype html><title>crew</title>' > "$work/bin/dist/index.html"
seed_document_with_list "$work/home" "Gala"
sed -i "s#<Servers IP=\"0.0.0.0\"/>#<Servers IP=\"0.0.0.0\"><Server uuid=\"0123456789abcdef0123456789abcdef\" port=\"$port\" name=\"Stage\"><ColorMask/></Server></Servers>#" \
    "$work/home/Documents/Vantrel/Gala.xml"

fail_if_another_instance_runs
HOME="$work/home" "$work/bin/Vantrel" >/dev/null 2>&1 &
pid=$!

# The server answers once its start check has given it the dist folder.
page=""
for _ in $(seq 300); do
    page=$(curl -s --max-time 2 "http://127.0.0.1:$port/" || true)
    [ "$page" = "<!doctype html><title>crew</title>" ] && break
    sleep 0.1
done
[ "$page" = "<!doctype html><title>crew</title>" ] || fail "index.html not served (got '$page')$(exit_note "$pid")"

types=$(NODE_PATH="$repo/node_modules" node "$(dirname "$0")/lib/ws-greeting.js" "ws://127.0.0.1:$port/" 4 10000) \
    || fail "no greeting"
[ "$types" = "$(printf 'cuelist\nwaveform\ntime\nmisc')" ] || fail "greeting was: $types"
kill -0 "$pid" || fail "the application is gone"
echo "ok"
