#!/bin/sh
# Installs the pinned TextMate engine from npm into the build folder once, then tokenises.
# Skipped (77) when node or the npm registry is not there.
# usage: textmate_test.sh EDITORS_SRC NPM_DIR GRAMMAR SAMPLE FILE...
set -eu
src=$1 dir=$2
shift 2
command -v node >/dev/null && command -v npm >/dev/null || { echo "node/npm not installed"; exit 77; }
if [ ! -f "$dir/node_modules/vscode-textmate/package.json" ]; then
  mkdir -p "$dir"
  cp "$src/package.json" "$src/package-lock.json" "$dir/"
  (cd "$dir" && npm ci --no-audit --no-fund --silent >npm.log 2>&1) || { echo "npm ci failed (registry unreachable?)"; exit 77; }
fi
exec node "$src/tests/textmate_test.js" "$dir/node_modules" "$@"
