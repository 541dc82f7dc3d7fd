#!/usr/bin/env bash
# End to end over a real audio device: starts a JACK server with the dummy backend and our
# LTC player as a client, then runs the tests (test_jack) that read the player through JUCE's JACK
# device. $1 is the application executable; the test programs live beside it in the build folder.
# With --bench as $2 it runs the lag benchmark instead: how long after a frame starts playing
# its time reaches ten browsers, with the show screen drawing (p50, p90, p99, max);
# VANTREL_JACK_BENCH_SECONDS sets how long it measures.
set -euo pipefail
source "$(dirname "$0")/lib/jack_session.sh"

start_jack_session "$1"
if [ "${2:-}" = "--bench" ]; then
    run_jack_tests 'JackLagBenchmark.*'
else
    run_jack_tests 'JackFixture.*'
fi
