#!/usr/bin/env bash
# Installs the browser tests' Node modules (playwright-core only; it drives Debian's
# /usr/bin/chromium and downloads no browser) from the committed package-lock.json.
set -euo pipefail
cd "$(dirname "$0")"
if [[ -f node_modules/playwright-core/package.json ]] &&
   [[ node_modules/.package-lock.json -nt package-lock.json ]]; then
    exit 0
fi
PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund
