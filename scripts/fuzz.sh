#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (address and undefined-behaviour
# sanitizers on) and runs them for a bounded time, seeded from tests/data and data/.
#
#   scripts/fuzz.sh                every target, FUZZ_SECONDS each (default 10)
#   scripts/fuzz.sh merge 600      one target for 600 s: pgn, page, ini, merge or settings
#
# Any crash, sanitizer report or input that takes longer than 10 s fails the script; the
# failing input is left in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(pgn page ini merge settings)
declare -A names=([pgn]="the PGN reader" [page]="the page writers" [ini]="the ini reader"
                  [merge]="the merge of new moves" [settings]="the settings reader")
[[ $# -ge 1 ]] && targets=("$1")
seconds=${2:-${FUZZ_SECONDS:-10}}
out=build-fuzz

cmake -S . -B "$out" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DKORVANE_FUZZ=ON -DBUILD_TESTING=OFF \
      -DKORVANE_BUILD_UI=OFF >/dev/null
if ! cmake --build "$out" -j"$(nproc)" --target "${targets[@]/%/_fuzzer}" >"$out/build.log" 2>&1; then
    cat "$out/build.log"
    exit 1
fi

# Seeds of each target, copied so that the fuzzer's additions stay out of the tree.
seeds() {
    case "$1" in
        pgn|page) find tests/data -name '*.pgn' ;;
        merge) find tests/data/merge tests/data/pgn/real -name '*.pgn' ;;
        ini) find data -name '*.ini' ;;
        settings) find tests/data/settings -name '*.cfg' ;;
    esac
}

for target in "${targets[@]}"; do
    corpus="$out/corpus/$target"
    mkdir -p "$corpus"
    seeds "$target" | xargs -r cp -t "$corpus"
    options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1)
    case "$target" in
        pgn|page) options+=(-max_len=4096 -dict=fuzz/pgn.dict) ;;
        merge) options+=(-max_len=16384 -dict=fuzz/pgn.dict) ;;
        *) options+=(-max_len=4096) ;;
    esac
    echo "Fuzzing ${names[$target]} for ${seconds} s"
    if ! (cd "$out" && "fuzz/${target}_fuzzer" "${options[@]/#-dict=/-dict=../}" "corpus/$target" \
              >"$target.log" 2>&1); then
        tail -n 40 "$out/$target.log"
        echo "Fuzzing ${names[$target]} failed: the input is in $out/, the report in $out/$target.log"
        exit 1
    fi
    grep -E "^Done|slowest_unit_time|peak_rss" "$out/$target.log"
done
