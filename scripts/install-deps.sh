#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Korvane needs, when they are missing.
# Usage: scripts/install-deps.sh [--tests]
set -euo pipefail

packages=(cmake g++ make qt6-base-dev libcurl4-openssl-dev esbuild)
if [[ "${1:-}" == "--tests" ]]; then
    packages+=(libgtest-dev python3-pyftpdlib python3-openssl chromium clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
# Node.js may come from another packaging than Debian's; only its commands matter.
if [[ "${1:-}" == "--tests" ]]; then
    command -v node >/dev/null || missing+=(nodejs)
    command -v npm >/dev/null || missing+=(npm)
fi
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
    echo "Korvane needs these Debian packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
