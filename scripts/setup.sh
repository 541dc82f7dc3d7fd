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

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
# Node.js may come from another repository that bundles npm; only install it when absent.
if ! command -v npm >/dev/null 2>&1; then missing+=(nodejs npm); fi

# One line per phase, then one per package as it arrives and as it is set up, so a long
# install on a fresh machine shows that it is moving.
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: Debian packages missing: ${missing[*]}"
    # jackd2 asks whether to enable real-time scheduling; answer no. sudo drops the
    # environment, so the non-interactive front end is passed through env.
    echo "jackd2 jackd/tweak_rt_limits boolean false" | "${sudo_cmd[@]}" debconf-set-selections
    apt=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)
    echo "setup: updating the package lists"
    "${apt[@]}" update -qq >/dev/null
    echo "setup: installing them with what they need (on a fresh machine about ten minutes)"
    "${apt[@]}" install -y --no-install-recommends -o Dpkg::Use-Pty=0 "${missing[@]}" | awk '
        / newly installed/ { for (i = 2; i <= NF; i++) if ($i == "newly") total += $(i - 1); total += $1 }
        /^Get:[0-9]+ /     { printf "setup:   downloaded %d of %d\n", ++fetched, total; fflush() }
        /^Setting up /     { printf "setup:   set up %d of %d: %s\n", ++done, total, $3; fflush() }'
fi

# Fonts and browser-side test tools from npm, into the checkout (node_modules is ignored by git).
if [ ! -f node_modules/.package-lock.json ] || [ package.json -nt node_modules/.package-lock.json ] \
    || [ package-lock.json -nt node_modules/.package-lock.json ]; then
    echo "setup: installing npm packages"
    npm install --no-audit --no-fund --no-progress --loglevel=error >/dev/null
fi
echo "setup: done"
