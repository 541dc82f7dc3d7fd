#!/usr/bin/env bash
# Sets up the machine, builds, and starts the application. Without a display it
# starts its own virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh --target Vantrel
if [ -n "${DISPLAY:-}" ]; then
    exec ./build/bin/Vantrel
fi
# Not exec'd: as the first process of a container or pid namespace, xvfb-run would be PID 1,
# and Xvfb tells only a parent above PID 1 that it is ready, so it would wait forever. It runs
# in the background so that a stop request (SIGTERM, or SIGINT) can be handed on to the
# application, which quits as on a quit; as PID 1 this script would otherwise ignore SIGTERM.
xvfb-run -a -s "-screen 0 1920x1080x24" ./build/bin/Vantrel &
child=$!
trap 'pkill -TERM -x Vantrel -P "$child" || true' TERM INT
# A handled signal ends a wait early; the last wait gives the application's exit status.
while kill -0 "$child" 2>/dev/null; do wait "$child" || true; done
wait "$child"
