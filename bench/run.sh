#!/usr/bin/env bash
# Compares how fast our PGN reader validates a file of thousands of games with Debian's
# pgn-extract on the same file, and times a whole conversion by vistrel.
# Usage: bench/run.sh [file.pgn]   (default: 5000 generated games)
# pgn-extract is installed here when missing (it is needed by this benchmark only).
set -euo pipefail
cd "$(dirname "$0")/.."

# Debian puts it in /usr/games, which is often not on the PATH.
export PATH="$PATH:/usr/games"
if ! command -v pgn-extract >/dev/null; then
    if [[ $(id -u) -eq 0 ]]; then
        apt-get install -y -qq --no-install-recommends pgn-extract >/dev/null
    else
        echo "bench/run.sh needs pgn-extract: sudo apt-get install pgn-extract" >&2
        exit 1
    fi
fi

out=build-bench
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DKORVANE_BUILD_UI=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$out" --target bench_pgn vistrel -j2 >/dev/null

file=${1:-}
if [[ -z "$file" ]]; then
    file="$out/generated-5000.pgn"
    [[ -f "$file" ]] || "$out/bench/bench_pgn" generate 5000 "$file"
fi

# Best of five runs of a command, in CPU seconds (user + system): on a machine shared with
# other work, wall-clock time measures the neighbours as much as the program.
seconds() {
    local best=1e9 TIMEFORMAT='%3U %3S'
    for _ in 1 2 3 4 5; do
        local cpu
        cpu=$( { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{print $1 + $2}')
        best=$(awk -v a="$cpu" -v b="$best" 'BEGIN { print (a < b) ? a : b }')
    done
    echo "$best"
}

echo "File: $file"
"$out/bench/bench_pgn" validate "$file" 3
ours=$(seconds "$out/bench/bench_pgn" validate "$file" 1)
theirs=$(seconds pgn-extract -s -o /dev/null "$file")
work=$(mktemp -d)
cp "$file" "$work/bench.pgn"
convert=$(seconds "$out/vistrel/vistrel" "$work/bench.pgn" data/vistrel-game.ini -x)
rm -rf "$work"
echo "CPU seconds, best of 5:"
echo "  validate, our reader (bench_pgn): $ours"
echo "  validate, pgn-extract -s:         $theirs"
echo "  whole conversion by vistrel:      $convert (reading, checking and writing the page)"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "pgn-extract time / our time: %.2f (above 1: we are faster)\n", b / a }'
