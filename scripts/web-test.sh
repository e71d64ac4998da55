#!/usr/bin/env bash
# web-test.sh BUILD WEB_BUILD: plays the browser build (WEB_BUILD, from `make web`) in Debian's
# headless Chromium against the desktop build's score server and compares it with the scripted
# runner's screenshots. puppeteer-core comes from the npm registry at the version locked in
# tests/web/package-lock.json, installed beside the browser build (never into the clone); it
# drives the system's chromium and downloads no browser.
set -euo pipefail
build=$(realpath "${1:-build}")
site=$(realpath "${2:-build-web}")
here=$(cd "$(dirname "$0")/.." && pwd)

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if ! command -v npm >/dev/null; then
  echo "web-test: installing npm"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends npm
fi

# The test's own packages, installed again only when the lock file changed.
node_dir=$build/web-test-node
if ! cmp -s "$here/tests/web/package-lock.json" "$node_dir/package-lock.json"; then
  rm -rf "$node_dir"
  mkdir -p "$node_dir"
  cp "$here/tests/web/package.json" "$here/tests/web/package-lock.json" "$node_dir/"
  (cd "$node_dir" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
fi

# The served build carries the licence and the third-party notices beside the game.
bash "$here/scripts/check-licence.sh" "$site/LICENSE.txt"
cmp -s "$here/packaging/THIRD-PARTY-NOTICES.txt" "$site/THIRD-PARTY-NOTICES.txt" ||
  { echo "web-test: $site/THIRD-PARTY-NOTICES.txt is not packaging's" >&2; exit 1; }

out=$build/web-test
rm -rf "$out"
mkdir -p "$out"
NODE_PATH=$node_dir/node_modules node "$here/tests/web/browser_test.mjs" \
  --build "$build" --site "$site" --out "$out" --node-modules "$node_dir/node_modules"
