#!/usr/bin/env bash
# End to end over a real audio device: starts a JACK server with the dummy backend and our
# LTC player as a client, then runs the tests (test_jack) that read the player through JUCE's JACK
# device. $1 is the application executable; the test programs live beside it in the build folder.
set -euo pipefail
source "$(dirname "$0")/lib/jack_session.sh"

start_jack_session "$1"
run_jack_tests 'JackFixture.*'
