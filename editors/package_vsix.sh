#!/bin/sh
# Packages the generated VS Code extension folder as a .vsix with the pinned vsce.
# usage: package_vsix.sh EDITORS_SRC NPM_DIR EXTENSION_DIR OUT_VSIX   (absolute paths)
set -eu
src=$1 npm_dir=$2 extension=$3 out=$4
if ! "$src/npm_ci.sh" "$src" "$npm_dir"; then
  echo "The VS Code extension package needs node, npm and the packages of $src/package-lock.json;" >&2
  echo "configure with -DPLENUM_EDITORS_VSIX=OFF to build without it." >&2
  exit 1
fi
rm -f "$out"
# vsce asks before packaging without a repository or licence; there is no one to answer.
if ! (cd "$extension" && node "$npm_dir/node_modules/@vscode/vsce/vsce" package --no-dependencies \
        --allow-missing-repository --skip-license --out "$out" </dev/null >"$out.log" 2>&1); then
  cat "$out.log" >&2
  rm -f "$out"
  exit 1
fi
