#!/usr/bin/env bash
# Starts the real application against a local update service that offers a newer version:
# the start-up check prompts, OK downloads the archive and unpacks it into a folder of its own
# in Downloads, starts its first entry (which leaves a marker file) and the application quits
# by itself.
set -euo pipefail
app="$1"
source "$(dirname "$0")/lib/run.sh"
source "$(dirname "$0")/lib/update_session.sh"
start_update_service
seed_document_with_list "$home" "Gala"
start_and_accept_update
grep -q "^GET /updates/19203/overview.xml" "$home/service/requests.log" || fail "the overview was not asked for"

for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the application did not quit after the update started"
wait "$pid" && rc=0 || rc=$?
pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc"

grep -q "^GET /files/update.zip application/octet-stream" "$home/service/requests.log" || fail "the archive was not downloaded"
[ -x "$home/Downloads/Vantrel update/install.sh" ] || fail "the archive was not unpacked into its own folder"
for _ in $(seq 100); do [ -s "$home/marker" ] && break; sleep 0.1; done
[ "$(cat "$home/marker" 2>/dev/null)" = "ran" ] || fail "the installer did not run"
echo "ok"
