#!/bin/sh
# Installs the npm packages pinned in PACKAGE_DIR/package-lock.json into INSTALL_DIR, and
# again only when the lock file changed. No install scripts run: nothing is fetched
# beyond the pinned packages.
# usage: npm_ci.sh PACKAGE_DIR INSTALL_DIR    (status 77: no node/npm, or npm ci failed)
set -eu
src=$1 dir=$2
command -v node >/dev/null && command -v npm >/dev/null || { echo "node/npm not installed" >&2; exit 77; }
mkdir -p "$dir"
# A test and a build step may ask at once; one installs, the other waits.
exec 9>"$dir/.lock"
flock 9
if [ -d "$dir/node_modules" ] && cmp -s "$src/package-lock.json" "$dir/installed.lock"; then
  exit 0
fi
rm -f "$dir/installed.lock"
cp "$src/package.json" "$src/package-lock.json" "$dir/"
if ! (cd "$dir" && npm ci --ignore-scripts --no-audit --no-fund >npm.log 2>&1); then
  echo "npm ci failed (registry unreachable?), see $dir/npm.log" >&2
  exit 77
fi
cp "$src/package-lock.json" "$dir/installed.lock"
