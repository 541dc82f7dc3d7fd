#!/usr/bin/env bash
# Installs everything the build, the tests and the application need on Debian 12.
# Idempotent: it installs only what is missing, and says what it is doing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    g++ cmake ninja-build pkg-config ccache mold
    juce-modules-source
    libx11-dev libxcursor-dev libxinerama-dev libxrandr-dev libxcomposite-dev libxext-dev
    libasound2-dev libjack-jackd2-dev libcurl4-gnutls-dev libfreetype-dev libgl-dev
    libflac-dev libvorbis-dev libogg-dev libpng-dev libjpeg-dev zlib1g-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libltc-dev libboost1.81-dev libqrcodegencpp-dev libssl-dev openssl
    xvfb xauth x11-utils xdotool imagemagick libgl1-mesa-dri libgtk-3-dev zbar-tools xclip
    fonts-dejavu-core fonts-noto-mono
    jackd2 curl python3 procps stress-ng
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

# One query for every package keeps a set-up machine's check quick.
declare -A installed=()
while read -r name; do installed[$name]=1; done < <(dpkg-query -W -f='${Package} ${Status}\n' \
    "${packages[@]}" 2>/dev/null | awk '/ install ok installed$/ { print $1 }' || true)
missing=()
for p in "${packages[@]}"; do
    if [ -z "${installed[$p]:-}" ]; then missing+=("$p"); fi
done
# Node.js may come from another repository that bundles npm; only install it when absent.
if ! command -v npm >/dev/null 2>&1; then missing+=(nodejs npm); fi

# One line per phase, then one per package as it arrives, is unpacked and is set up. Some
# steps print nothing for minutes (the package lists, a large unpack, triggers), so a ticker
# says every 20 s how long the current phase has run.
phase_file="$(mktemp)"
ticker=""
stop_ticker() {
    if [ -n "$ticker" ]; then kill "$ticker" 2>/dev/null || true; wait "$ticker" 2>/dev/null || true; fi
    ticker=""
    rm -f "$phase_file"
}
trap stop_ticker EXIT
phase() {
    echo "setup: $1"
    echo "$1" >"$phase_file"
}
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: Debian packages missing: ${missing[*]}"
    (
        start=$SECONDS
        while sleep 20; do
            echo "setup:   still working ($((SECONDS - start)) s): $(cat "$phase_file" 2>/dev/null)"
        done
    ) &
    ticker=$!
    # jackd2 asks whether to enable real-time scheduling; answer no. sudo drops the
    # environment, so the non-interactive front end is passed through env.
    echo "jackd2 jackd/tweak_rt_limits boolean false" | "${sudo_cmd[@]}" debconf-set-selections
    apt=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)
    phase "updating the package lists"
    "${apt[@]}" update -qq >/dev/null
    phase "installing them with what they need (on a fresh machine about ten minutes)"
    "${apt[@]}" install -y --no-install-recommends -o Dpkg::Use-Pty=0 "${missing[@]}" | awk -v phase_file="$phase_file" '
        # A line at every twentieth of each step, with the package at hand; the ticker covers
        # the time between them.
        function step(what, n, name,    t) {
            t = total > 0 ? total : n
            print what " " n " of " total (name == "" ? "" : ": " name) > phase_file; close(phase_file)
            if (n == 1 || n >= t || int(n * 20 / t) > shown[what]) {
                shown[what] = int(n * 20 / t)
                printf "setup:   %s %d of %d%s\n", what, n, total, (name == "" ? "" : ": " name); fflush()
            }
        }
        / newly installed/ { for (i = 2; i <= NF; i++) if ($i == "newly") total += $(i - 1); total += $1 }
        /^Get:[0-9]+ /     { step("downloaded", ++fetched, "") }
        /^Unpacking /      { step("unpacked", ++unpacked, $2) }
        /^Setting up /     { step("set up", ++done, $3) }'
fi

# Fonts and browser-side test tools from npm, into the checkout (node_modules is ignored by git).
if [ ! -f node_modules/.package-lock.json ] || [ package.json -nt node_modules/.package-lock.json ] \
    || [ package-lock.json -nt node_modules/.package-lock.json ]; then
    phase "installing npm packages"
    npm install --no-audit --no-fund --no-progress --loglevel=error >/dev/null
fi
stop_ticker
echo "setup: done"
