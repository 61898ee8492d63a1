#!/bin/sh
# Installs the pinned TextMate engine from npm into the build folder once, then tokenises.
# Skipped (77) when node or the npm registry is not there.
# usage: textmate_test.sh EDITORS_SRC NPM_DIR GRAMMAR SAMPLE FILE...
set -eu
src=$1 dir=$2
shift 2
"$src/npm_ci.sh" "$src" "$dir"
exec node "$src/tests/textmate_test.js" "$dir/node_modules" "$@"
