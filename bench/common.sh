# Shared by the benchmark scripts that compare with Debian's pgn-extract: source it from the
# repository's root. Installs pgn-extract when missing (these benchmarks alone need it),
# builds the PGN benchmark and the converter into $out, and defines seconds().

# Debian puts pgn-extract in /usr/games, which is often not on the PATH.
export PATH="$PATH:/usr/games"
if ! command -v pgn-extract >/dev/null; then
    if [[ $(id -u) -eq 0 ]]; then
        apt-get install -y -qq --no-install-recommends pgn-extract >/dev/null
    else
        echo "$0 needs pgn-extract: sudo apt-get install pgn-extract" >&2
        exit 1
    fi
fi

out=build-bench
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DKORVANE_BUILD_UI=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$out" --target bench_pgn vistrel -j2 >/dev/null

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
