#!/usr/bin/env bash
# The real application while it unpacks a long entry (1023 MiB of zeros, about 1 MB to
# download): " Cancel" ends the run with the cancel message and the application running, and
# a termination request ends the application within seconds. Both leave nothing in Downloads
# and start nothing.
set -euo pipefail
app="$1"
source "$(dirname "$0")/lib/run.sh"
source "$(dirname "$0")/lib/update_session.sh"
start_update_service
seed_document_with_list "$home" "Gala"
echo long > "$home/service/mode"
payload="$home/Downloads/Vantrel update/payload.bin"
wait_for_payload() {
    for _ in $(seq 1000); do [ -s "$payload" ] && return 0; sleep 0.01; done
    fail "$1: the long entry was not being written$(exit_note "$pid")"
}

start_and_accept_update
wait_for_payload cancel
for id in $(dialog_ids); do press_rightmost_button "$id"; done
wait_for_failure_dialog cancel
check_nothing_left cancel
kill -0 "$pid" 2>/dev/null || fail "cancel: the application quit"
terminate_app cancel
echo "cancel: ok"

start_and_accept_update
wait_for_payload quit
start=$(date +%s%N)
terminate_app quit
echo "quit: ended in $(( ($(date +%s%N) - start) / 1000000 )) ms"
check_nothing_left quit
echo "ok"
