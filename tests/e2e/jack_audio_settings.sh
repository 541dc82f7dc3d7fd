#!/usr/bin/env bash
# The audio settings panel on a real audio device: with a JACK server (dummy backend) and our
# LTC player as a client, plus a second player with the LTC on two ports, runs the panel's
# tests that choose a player as the input and reconfigure the device while LTC is decoded.
# $1 is the application executable.
set -euo pipefail
source "$(dirname "$0")/lib/jack_session.sh"

start_jack_session "$1"
stereo="vantrel-ltc-stereo-$$"
start_ltc_player "$stereo" "$work/stereo.txt" --ports 2
export VANTREL_JACK_STEREO_PLAYER="$stereo" VANTREL_JACK_STEREO_INFO="$work/stereo.txt"
run_jack_tests 'JackAudioSettings.*'
