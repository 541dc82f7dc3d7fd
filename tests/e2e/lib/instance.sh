# Helpers for the end-to-end scripts (sourced, not run).

# The application runs once per machine (a lock file in /var/tmp). While another instance
# runs, say a developer's or another test run's, the one a check starts exits at once and the
# check would fail with a confusing message. Fail with a plain one instead.
fail_if_another_instance_runs() {
    local others="" pid own
    # Only instances that share our /var/tmp can hold the lock; one in another mount
    # namespace (a parallel, isolated test run) cannot.
    own=$(readlink /proc/self/ns/mnt)
    for pid in $(pgrep -x Vantrel || true); do
        [ "$(readlink "/proc/$pid/ns/mnt" 2>/dev/null)" = "$own" ] || continue
        others+="$(ps -o pid=,args= -p "$pid")"$'\n'
    done
    [ -z "$others" ] && return 0
    echo "FAIL: another Vantrel is running on this machine; only one instance can run, so this check cannot:"
    printf "%s" "$others"
    exit 1
}

# For failure messages: notes when the application started as process $1 has already exited.
exit_note() { kill -0 "$1" 2>/dev/null || echo " (the application has exited)"; }

# Sends the application ($pid) a termination request and waits at most 10 s for it to end, with
# exit code 0.
terminate_app() {
    kill -TERM "$pid"
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "$1: still running 10 s after the termination request"
    wait "$pid" && rc=0 || rc=$?
    pid=""
    [ "$rc" -eq 0 ] || fail "$1: exit code $rc"
}
