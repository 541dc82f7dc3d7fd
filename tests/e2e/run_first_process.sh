#!/usr/bin/env bash
# scripts/run.sh as the first process (PID 1) of a new pid namespace, as in a container, and
# without a display: it starts its own virtual display and the application opens its windows
# there. A termination request to that first process ends the application cleanly.
set -euo pipefail
app="$1"
root=$(cd "$(dirname "$0")/../.." && pwd)
home=$(mktemp -d)
outer=""
cleanup() {
    if [ -n "$outer" ]; then kill -KILL "$outer" 2>/dev/null || true; wait "$outer" 2>/dev/null || true; fi
    rm -rf "$home"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$home/run.log" ] && sed 's/^/  run.sh: /' "$home/run.log"; exit 1; }
source "$(dirname "$0")/lib/instance.sh"

# run.sh starts the build folder's executable; a check of another build has nothing to run.
if [ "$(realpath "$app")" != "$root/build/bin/Vantrel" ]; then
    echo "SKIP: scripts/run.sh starts $root/build/bin/Vantrel, not the $app under test"
    exit 77
fi
if ! unshare --pid --fork --mount-proc true 2>/dev/null; then
    echo "SKIP: a new pid namespace needs root (CAP_SYS_ADMIN)"
    exit 77
fi
fail_if_another_instance_runs

# Without VANTREL_WERROR the build step does not configure again: the build is there.
env -u DISPLAY -u VANTREL_WERROR HOME="$home" \
    unshare --pid --fork --mount-proc "$root/scripts/run.sh" >"$home/run.log" 2>&1 &
outer=$!

# The first process of the namespace is unshare's child; the application runs inside it.
first=""
for _ in $(seq 100); do first=$(pgrep -P "$outer" || true); [ -n "$first" ] && break; sleep 0.1; done
[ -n "$first" ] || fail "no first process in the new namespace"
[ "$(awk '/^NSpid:/ { print $NF }' "/proc/$first/status")" = 1 ] || fail "run.sh is not PID 1 of its namespace"
ns=$(readlink "/proc/$first/ns/pid")

app_pid=""
for _ in $(seq 600); do
    for p in $(pgrep -x Vantrel || true); do
        [ "$(readlink "/proc/$p/ns/pid" 2>/dev/null)" = "$ns" ] && app_pid=$p
    done
    [ -n "$app_pid" ] && break
    kill -0 "$outer" 2>/dev/null || fail "run.sh ended before the application started"
    sleep 0.1
done
[ -n "$app_pid" ] || fail "the application did not start within 60 s"

# Its windows, on the virtual display that run.sh started for it.
display=$(tr '\0' '\n' <"/proc/$app_pid/environ" | sed -n 's/^DISPLAY=//p')
authority=$(tr '\0' '\n' <"/proc/$app_pid/environ" | sed -n 's/^XAUTHORITY=//p')
[ -n "$display" ] || fail "the application has no DISPLAY"
windows=0
for _ in $(seq 300); do
    windows=$(DISPLAY="$display" XAUTHORITY="$authority" xdotool search --name " - Vantrel\$" 2>/dev/null | wc -l || true)
    [ "$windows" -ge 1 ] && break
    sleep 0.1
done
[ "$windows" -ge 1 ] || fail "no Vantrel window on display $display"

# A stop request to the first process, as a container runtime sends it.
kill -TERM "$first"
for _ in $(seq 300); do kill -0 "$outer" 2>/dev/null || break; sleep 0.1; done
kill -0 "$outer" 2>/dev/null && fail "still running 30 s after SIGTERM to the first process"
rc=0
wait "$outer" || rc=$?
outer=""
[ "$rc" -eq 0 ] || fail "exit code $rc after SIGTERM"
echo "ok"
