// Renders lines of a configuration file to an HTML page with the extension's TextMate
// grammar, through shiki with VS Code's Light+ colours.
// usage: node render_textmate.mjs NODE_MODULES GRAMMAR FILE FIRST LAST OUT.html
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const [modules, grammarPath, file, first, last, out] = process.argv.slice(2);
const { createHighlighter } = await import(pathToFileURL(path.join(modules, 'shiki/dist/index.mjs')).href);
const grammar = JSON.parse(fs.readFileSync(grammarPath, 'utf8'));
const highlighter = await createHighlighter({ themes: ['light-plus'], langs: [{ ...grammar, name: 'ncf' }] });
const lines = fs.readFileSync(file, 'latin1').split(/\r?\n/).slice(first - 1, last);
const code = highlighter.codeToHtml(lines.join('\n'), { lang: 'ncf', theme: 'light-plus' });
const escape = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;');
fs.writeFileSync(out, `<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>${escape(path.basename(file))}</title><style>
body { margin: 0; background: #ffffff; }
.title { font: 13px sans-serif; color: #616161; background: #f3f3f3; padding: 6px 12px; }
pre.shiki { margin: 0; padding: 8px 0; font: 14px/19px 'DejaVu Sans Mono', monospace;
            counter-reset: line ${first - 1}; }
pre.shiki .line::before { counter-increment: line; content: counter(line); display: inline-block;
                          width: 3em; margin-right: 1.5em; text-align: right; color: #237893; }
</style></head><body>
<div class="title">${escape(path.basename(file))}, lines ${first} to ${last}: the TextMate grammar of the VS Code extension</div>
${code}
</body></html>
`);
