#!/usr/bin/env bash
# Installs what is missing, builds Korvane and starts it.
#   scripts/run.sh          Korvane as usual
#   scripts/run.sh --demo   a live demo round: eight simulated boards play real games into
#                           build/demo/boards, Korvane opens on them and publishes into
#                           build/demo/html, and the overview page opens in the browser.
#                           Closing Korvane ends the boards.
set -euo pipefail
cd "$(dirname "$0")/.."
demo=false
if [[ "${1:-}" == "--demo" ]]; then
    demo=true
    shift
fi
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
if [[ ! -x build/ui/korvane ]]; then
    echo "Korvane's window is not built yet; the converter is at build/vistrel/vistrel."
    exit 1
fi
if [[ "$demo" == false ]]; then
    exec build/ui/korvane "$@"
fi

# The demo keeps its own program directory (a copy of the program, whose directory holds
# its settings and project), so the settings of a real round are left alone.
root="$(pwd)"
dir="$root/build/demo"
rm -rf "$dir"
mkdir -p "$dir/program"
cp build/ui/korvane "$dir/program/korvane"
build/tools/demo/demo-setup "$dir/program" "$dir/boards" "$dir/html" \
    "$root/build/vistrel/vistrel" "$root/data/vistrel-game.ini" "$root/data/vistrel-overview.ini" 8

build/tools/boards/boards --out "$dir/boards" --pace 15 --clock 90+30 --start-ply 4 \
    --event "Korvane Demo" --round 1 \
    tools/boards/games/eight-games.pgn > "$dir/boards.log" 2>&1 &
boards_pid=$!
# The overview page opens in the browser once the first scan has made it.
(
    for _ in $(seq 120); do
        if [[ -f "$dir/html/allgames.htm" ]]; then
            xdg-open "$dir/html/allgames.htm" >/dev/null 2>&1 || true
            exit 0
        fi
        sleep 1
    done
) &
opener_pid=$!
trap 'kill "$boards_pid" "$opener_pid" 2>/dev/null || true' EXIT

for _ in $(seq 50); do
    [[ -f "$dir/boards/board8.pgn" ]] && break
    sleep 0.1
done
echo "Demo round: boards in $dir/boards, pages in $dir/html (the boards' log: $dir/boards.log)."
"$dir/program/korvane" --resume "$@"
