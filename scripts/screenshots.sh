#!/usr/bin/env bash
# Makes docs/game-page.png (a phone) and docs/overview-page.png (a laptop): converts the
# browser-test fixtures with the converter and the shipped ini files, then photographs the
# pages with headless Chromium. Also docs/editor-menu.png, drawn by the window tests' program
# (build it first). Usage: scripts/screenshots.sh [path of vistrel] (default build/vistrel/vistrel)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
vistrel=${1:-build/vistrel/vistrel}
[[ -x "$vistrel" ]] || { echo "no converter at $vistrel; build it first" >&2; exit 1; }
vistrel=$(cd "$(dirname "$vistrel")" && pwd)/$(basename "$vistrel")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp tests/browser/fixtures/game.pgn tests/browser/fixtures/overview.pgn "$work/"
"$vistrel" "$work/game.pgn" data/vistrel-game.ini -x
"$vistrel" "$work/overview.pgn" data/vistrel-overview.ini -x

shoot() {  # page, picture, width, height
    chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$work/profile-$2" --hide-scrollbars --window-size="$3,$4" \
        --screenshot="$root/docs/$2" "file://$work/$1" >/dev/null 2>&1
    echo "docs/$2"
}
mkdir -p docs
shoot game.htm game-page.png 390 844         # a phone
shoot overview.htm overview-page.png 1366 768  # a laptop

# The editor with its glyph menu, drawn by the window tests' program on Qt's offscreen platform.
if [[ -x build/tests/ui/test_ui ]]; then
    KORVANE_SCREENSHOT="$root/docs/editor-menu.png" QT_QPA_PLATFORM=offscreen \
        build/tests/ui/test_ui --gtest_also_run_disabled_tests \
        --gtest_filter='EditorScreenshot.*' >/dev/null
    echo "docs/editor-menu.png"
fi
