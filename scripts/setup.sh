#!/usr/bin/env bash
# Installs what Phasework needs on a Debian machine. Quick when everything is already there.
set -euo pipefail

packages=(
    build-essential cmake pkg-config ccache
    libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev libpng-dev libfreetype-dev
    libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
    ffmpeg locales
    clang libclang-rt-14-dev
    libifcplusplus-dev libboost-dev
    libpugixml-dev
    libcpp-httplib-dev chromium nodejs
    libcsv-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The date tests run under locales with different day/month/year orders.
wanted_locales=(en_US.UTF-8 en_GB.UTF-8 de_DE.UTF-8 ja_JP.UTF-8)
have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
for l in "${wanted_locales[@]}"; do
    norm=$(echo "$l" | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
    if ! grep -qx "$norm" <<<"$have"; then
        echo "setup: generating locale $l"
        "${sudo_cmd[@]}" localedef -i "${l%%.*}" -f UTF-8 "$l" || echo "setup: could not generate $l"
    fi
done

# The browser workspace's page uses three.js, and its tests drive chromium with puppeteer-core:
# both from npm, pinned by Web/package-lock.json, installed into Web/node_modules.
web_dir="$(cd "$(dirname "$0")/.." && pwd)/Web"
if [ ! -f "$web_dir/node_modules/.package-lock.json" ] ||
   [ "$web_dir/package-lock.json" -nt "$web_dir/node_modules/.package-lock.json" ]; then
    if command -v npm >/dev/null; then
        echo "setup: installing the web workspace's npm packages"
        (cd "$web_dir" && npm ci --no-audit --no-fund --loglevel=error)
    else
        echo "setup: npm is missing (it comes with nodejs): the web workspace and its tests need it"
    fi
fi
