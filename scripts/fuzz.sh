#!/usr/bin/env bash
# Builds the libFuzzer target for the PGN, SAN and FEN readers with clang and runs it for a
# bounded time (FUZZ_SECONDS, default 60) on the PGN files of tests/data as seeds.
# Any crash or sanitizer report fails the script; the failing input is left in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
out=build-fuzz
mkdir -p "$out/corpus"

clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -I. chess/*.cpp fuzz/PgnFuzzer.cpp -o "$out/pgn_fuzzer"

# Seeds: the committed PGN fixtures, copied so that the fuzzer's additions stay out of the tree.
find tests/data -name '*.pgn' -exec cp {} "$out/corpus/" \;

echo "Fuzzing the PGN reader for ${seconds} s"
cd "$out"
./pgn_fuzzer -max_total_time="$seconds" -max_len=4096 -dict=../fuzz/pgn.dict \
             -print_final_stats=1 corpus 2>&1 | tail -n 12
