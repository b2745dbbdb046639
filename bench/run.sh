#!/usr/bin/env bash
# Compares how fast our PGN reader validates a file of thousands of games with Debian's
# pgn-extract on the same file, and times a whole conversion by vistrel.
# Usage: bench/run.sh [file.pgn]   (default: 5000 generated games)
# pgn-extract is installed here when missing (it is needed by this benchmark only).
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/common.sh

file=${1:-}
if [[ -z "$file" ]]; then
    file="$out/generated-5000.pgn"
    [[ -f "$file" ]] || "$out/bench/bench_pgn" generate 5000 "$file"
fi

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
