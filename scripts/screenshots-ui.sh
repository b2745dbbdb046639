#!/usr/bin/env bash
# Makes docs/korvane-monitor.png (the main window with the monitor window) and
# docs/korvane-settings.png (the settings dialog): runs the program's windows on Qt's
# offscreen platform with three demo games and the built converter, and photographs them.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target vistrel korvane_screenshots

# A fixed place, so the paths shown in the pictures read plainly.
demo=/tmp/korvane-demo/korvane
rm -rf /tmp/korvane-demo
trap 'rm -rf /tmp/korvane-demo' EXIT
mkdir -p "$demo/data"
cp build/vistrel/vistrel "$demo/"
cp data/vistrel-game.ini data/vistrel-overview.ini "$demo/data/"
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/ui/korvane_screenshots docs "$demo"
