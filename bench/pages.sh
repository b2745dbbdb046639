#!/usr/bin/env bash
# Sizes of the converter's pages and its speed on a file of many games.
# Usage: bench/pages.sh [many-games.pgn]
# Default file: the first 1005 games of the shared corpus' real/gnuchess-book-1.02-every29th.pgn
# (public domain) when $KORVANE_CORPUS or ../shared/corpus holds it, else 1005 generated games.
# Prints, for a 60-move game page with and without clocks, its bytes raw and gzip-compressed
# (aims: 40 KB and 12 KB without clocks); for the many-games file, what each game beyond the
# first costs in page bytes per PGN byte (aim: about 2) and the conversion's CPU time against
# pgn-extract's legality check of the same file (aim: at most 1).
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/common.sh
vistrel=$(pwd)/$out/vistrel/vistrel
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The first n games of a file.
first_games() {  # file, n
    awk -v n="$2" '/^\[Event /{g++} g<=n' "$1"
}

convert() {  # pgn, ini
    "$vistrel" "$1" "$2" -x
}

sizes() {  # label, page
    printf '  %-36s %7d bytes, gzip -6: %6d, gzip -9: %6d\n' "$1" "$(wc -c <"$2")" \
        "$(gzip -6c "$2" | wc -c)" "$(gzip -9c "$2" | wc -c)"
}

echo "A 60-move game page (the last game of tests/browser/fixtures/overview.pgn):"
game=$(awk '/^\[Event /{g++} g==4' tests/browser/fixtures/overview.pgn | tr -d '\r')
printf '%s\n' "$game" >"$work/clocks.pgn"
printf '%s\n' "$game" | sed -E 's/ *\{ *\[%clk [^]]*\] *\}//g' >"$work/plain.pgn"
sed 's/1-0/*/g' "$work/plain.pgn" >"$work/live.pgn"
for name in plain clocks live; do
    convert "$work/$name.pgn" data/vistrel-game.ini
done
sizes "without clocks:" "$work/plain.htm"
sizes "without clocks, still being played:" "$work/live.htm"
sizes "with clocks:" "$work/clocks.htm"

file=${1:-}
if [[ -z "$file" ]]; then
    corpus=${KORVANE_CORPUS:-../shared/corpus}/real/gnuchess-book-1.02-every29th.pgn
    file="$work/many.pgn"
    if [[ -f "$corpus" ]]; then
        first_games "$corpus" 1005 >"$file"
    else
        "$out/bench/bench_pgn" generate 1005 "$file"
    fi
fi
cp "$file" "$work/all.pgn"
first_games "$file" 1 >"$work/one.pgn"
convert "$work/all.pgn" data/vistrel-game.ini
convert "$work/one.pgn" data/vistrel-game.ini
games=$(grep -c '^\[Event ' "$work/all.pgn" || true)
pgn_all=$(wc -c <"$work/all.pgn")
pgn_one=$(wc -c <"$work/one.pgn")
page_all=$(wc -c <"$work/all.htm")
page_one=$(wc -c <"$work/one.htm")
echo
echo "Many games: $file ($games games, $pgn_all bytes)"
sizes "page of all games:" "$work/all.htm"
awk -v pa="$page_all" -v p1="$page_one" -v ga="$pgn_all" -v g1="$pgn_one" 'BEGIN {
    printf "  each game beyond the first: %.2f page bytes per PGN byte (aim: about 2)\n",
        (pa - p1) / (ga - g1) }'

ours=$(seconds "$vistrel" "$work/all.pgn" data/vistrel-game.ini -x)
theirs=$(seconds pgn-extract -s -o /dev/null "$work/all.pgn")
echo "  CPU seconds, best of 5: conversion by vistrel $ours, pgn-extract -s $theirs"
awk -v a="$ours" -v b="$theirs" 'BEGIN {
    printf "  conversion time / pgn-extract time: %.2f (aim: at most 1)\n", a / b }'
