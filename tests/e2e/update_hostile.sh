#!/usr/bin/env bash
# The real application against a hostile update service. Each case starts the application and
# accepts the update; it must end with the failure dialog up and the application running, with
# nothing in Downloads, nothing written outside it and nothing started:
#   bomb     an entry that claims 1 byte and inflates past the 1 GiB limit
#   escape   entries that climb out of the folder, an absolute path, a symbolic link
#   short    a reply that ends halfway through its announced length
#   endless  a reply without a length that never ends: the download stops at its limit
set -euo pipefail
app="$1"
source "$(dirname "$0")/lib/run.sh"
source "$(dirname "$0")/lib/update_session.sh"
start_update_service
seed_document_with_list "$home" "Gala"

for kind in bomb escape short endless; do
    echo "$kind" > "$home/service/mode"
    start_and_accept_update
    wait_for_failure_dialog "$kind"
    check_nothing_left "$kind"
    kill -0 "$pid" 2>/dev/null || fail "$kind: the application quit"
    terminate_app "$kind"
    echo "$kind: ok"
done

# The download stopped at its 256 MiB limit: the service got no further than that plus what
# the connection buffers.
sent=$(cat "$home/service/endless.log")
[ "$sent" -lt $((300 << 20)) ] || fail "endless: the service sent $sent bytes before the download stopped"
echo "ok"
