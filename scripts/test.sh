#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then runs the
# headless-logic tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --tests
[[ -x tests/browser/setup.sh ]] && tests/browser/setup.sh

# The shared PGN corpus beside the checkout, when there is one: every valid game must read.
if [[ -z "${KORVANE_CORPUS:-}" && -d ../shared/corpus ]]; then
    export KORVANE_CORPUS="$(cd ../shared/corpus && pwd)"
fi

jobs=$(nproc)
werror=OFF
[[ "${CI:-}" == "true" ]] && werror=ON

echo "== build and test"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_WERROR=$werror >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs" --timeout 600)

echo "== sanitizers (address, undefined)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKORVANE_SANITIZE=ON -DKORVANE_BUILD_UI=OFF \
      -DKORVANE_WERROR=$werror >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs" --timeout 900 -LE slow)

echo "== fuzz the readers (bounded)"
scripts/fuzz.sh
