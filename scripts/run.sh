#!/usr/bin/env bash
# Installs what is missing, builds Korvane and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
if [[ -x build/ui/korvane ]]; then
    exec build/ui/korvane "$@"
fi
echo "Korvane's window is not built yet; the converter is at build/vistrel/vistrel."
