#!/usr/bin/env bash
# Started without a display the application says so on one line of standard error, naming
# the DISPLAY variable, and exits with an error code instead of crashing; likewise with a
# DISPLAY that names no reachable display. It writes nothing before it stops.
set -euo pipefail
app="$1"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# The check comes before the single-instance lock, so another running instance does not matter.

check() {
    local what="$1" expected="$2" rc=0 out
    shift 2
    out=$(env "$@" HOME="$home" timeout 30 "$app" 2>&1 >/dev/null) || rc=$?
    [ "$rc" -ne 0 ] || fail "$what: exit code 0"
    [ "$rc" -lt 124 ] || fail "$what: exit code $rc (a crash or a hang)"
    [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || fail "$what: expected one line, got: $out"
    grep -q -- "$expected" <<<"$out" || fail "$what: '$out' does not say '$expected'"
}

check "DISPLAY unset" "DISPLAY environment variable is not set" -u DISPLAY
check "DISPLAY empty" "DISPLAY environment variable is not set" DISPLAY=
check "no display server" '":97" named by the DISPLAY' DISPLAY=:97
[ -z "$(ls -A "$home")" ] || fail "files were written: $(ls -A "$home")"
echo "ok"
