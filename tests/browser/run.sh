#!/usr/bin/env bash
# The printer application's pages in a real browser: Debian's Chromium, driven headless by
# playwright-core from the npm registry (the version package-lock.json pins, installed with
# `npm ci` into the build folder; never a downloaded browser).
#
#     tests/browser/run.sh BUILD_DIR [--shots DIR] [--keep]
#
# --shots DIR also writes the screenshots to DIR (docs/screenshots for the README); they are
# always written to BUILD_DIR/browser-tests/screenshots.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
shift
work="$build/browser-tests"
mkdir -p "$work"

# Installed again only when the pinned versions change.
if ! cmp -s "$here/package-lock.json" "$work/package-lock.json" ||
    [ ! -d "$work/node_modules/playwright-core" ]; then
    cp "$here/package.json" "$here/package-lock.json" "$work/"
    (cd "$work" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --ignore-scripts --no-audit \
        --no-fund --loglevel=error)
fi
exec node "$here/pages_test.js" "$build" "$work" "$@"
