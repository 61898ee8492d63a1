#!/usr/bin/env bash
# Remakes the pictures of docs/editors.md from the editor files of a build folder
# (default build/): lines of examples/large_console.ncf highlighted by the TextMate grammar
# (rendered by shiki, photographed by headless Chromium) and by Vim (running in an xterm
# under Xvfb, photographed by ImageMagick's import). Not part of the tests: it needs a
# browser and an X server, and pictures are looked at, not compared.
#   editor-screenshots.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$here" && cd "${1:-build}" && pwd)
editors=$build/editors/out
example=$here/examples/large_console.ncf
first=149 last=204    # couplers, expressions, hex bytes, MIDI literals, strings with escapes
shots=$here/docs/screenshots
[ -f "$editors/vim/syntax/ncf.vim" ] || { echo "no editor files in $editors: build first" >&2; exit 2; }

"$here/scripts/install-packages.sh" chromium xvfb xterm imagemagick fonts-dejavu-core vim
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The TextMate grammar, with VS Code's Light+ colours.
npm_dir=$build/editors/screenshots-npm
"$here/editors/npm_ci.sh" "$here/editors/screenshots" "$npm_dir"
node "$here/editors/screenshots/render_textmate.mjs" "$npm_dir/node_modules" \
  "$editors/vscode/syntaxes/ncf.tmLanguage.json" "$example" $first $last "$work/textmate.html"
height=$(( (last - first + 1) * 19 + 48 ))
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=900,$height \
  --screenshot="$shots/textmate-large_console.png" "file://$work/textmate.html" >/dev/null 2>&1
echo "wrote docs/screenshots/textmate-large_console.png"

# Vim with its default colours on a light terminal, the window photographed by Vim itself
# once it has drawn the screen.
rows=$(( last - first + 3 ))
cd "$(dirname "$example")"
xvfb-run -a -s "-screen 0 1200x1400x24" \
  xterm -tn xterm-256color -geometry 96x$rows -fa 'DejaVu Sans Mono' -fs 10 -bg white -fg black \
    -e vim -N -u NONE -i NONE -n --cmd "set rtp^=$editors/vim" --cmd 'set background=light' \
      --cmd 'filetype plugin on' --cmd 'syntax on' -c 'set number laststatus=2 ruler' \
      -c "call cursor($first, 1)" -c 'normal! zt' \
      -c "call timer_start(1500, {-> [system('import -window \$WINDOWID $work/vim.png'), execute('qa!')]})" \
      "$(basename "$example")"
[ -s "$work/vim.png" ] || { echo "Vim's window was not photographed" >&2; exit 1; }
cp "$work/vim.png" "$shots/vim-large_console.png"
echo "wrote docs/screenshots/vim-large_console.png"
