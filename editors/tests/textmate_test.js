// Tokenises the sample and every given configuration with the TextMate grammar, through
// the same engine VS Code uses. usage: node textmate_test.js NODE_MODULES GRAMMAR SAMPLE FILE...
const path = require('path');
const fs = require('fs');
const [modules, grammarPath, sample, ...files] = process.argv.slice(2);
const tm = require(path.join(modules, 'vscode-textmate'));
const onig = require(path.join(modules, 'vscode-oniguruma'));

// Text of the sample -> innermost scope, checked token by token.
const expected = [
  ['; comment with *BITS and "quotes"', 'comment.line.semicolon.ncf'],
  ['*NORVO_MODULE_B', 'keyword.other.ncf'], ['*bits', 'keyword.other.ncf'],
  ['0x1F', 'constant.numeric.hex.ncf'], ['C1N60', 'constant.numeric.midi.ncf'],
  ['c5p1', 'constant.numeric.midi.ncf'], ['C4C7', 'constant.numeric.midi.ncf'],
  ['MIN', 'keyword.operator.wordlike.ncf'], ['mod', 'keyword.operator.wordlike.ncf'],
  ['\\034', 'constant.character.escape.ncf'], ['\\x', 'constant.character.escape.ncf'],
  ['\\', 'invalid.illegal.escape.ncf'], ['C1N60A', 'variable.other.ncf'],
  ['MINUS', 'variable.other.ncf'], ['5', 'constant.numeric.decimal.ncf'],
  ['*DIVISION', 'keyword.other.ncf'], ['12', 'constant.numeric.decimal.ncf'],
];
// What a token of each kind may look like, checked on every file.
const shapes = {
  'comment.line.semicolon.ncf': /^;/, 'keyword.other.ncf': /^\*[A-Za-z0-9_]+$/,
  'constant.numeric.midi.ncf': /^C\d+[NCP]\d+$/i, 'constant.numeric.decimal.ncf': /^\d+$/,
  'constant.numeric.hex.ncf': /^0x[0-9a-f]+$/i, 'variable.other.ncf': /^[A-Za-z][\w#$?@]*$/,
  'string.quoted.double.ncf': /./, 'constant.character.escape.ncf': /^\\(\d{3}|\D)$/,
  'keyword.operator.wordlike.ncf': /^[A-Za-z]+$/,
};

async function main() {
  const wasm = fs.readFileSync(path.join(modules, 'vscode-oniguruma/release/onig.wasm')).buffer;
  await onig.loadWASM(wasm);
  const registry = new tm.Registry({
    onigLib: Promise.resolve({ createOnigScanner: (s) => new onig.OnigScanner(s),
                               createOnigString: (s) => new onig.OnigString(s) }),
    loadGrammar: async () => tm.parseRawGrammar(fs.readFileSync(grammarPath, 'utf8'), grammarPath),
  });
  const grammar = await registry.loadGrammar('source.ncf');
  const tokenise = (file) => {
    const out = [];
    let stack = tm.INITIAL;
    for (const line of fs.readFileSync(file, 'latin1').split(/\r?\n/)) {
      const r = grammar.tokenizeLine(line, stack);
      for (const t of r.tokens) out.push([line.slice(t.startIndex, t.endIndex), t.scopes[t.scopes.length - 1]]);
      stack = r.ruleStack;
    }
    return out;
  };
  const failures = [];
  const got = tokenise(sample).filter(([text]) => text.trim() !== '');
  for (const [text, scope] of expected) {
    if (!got.some(([t, s]) => t === text && s === scope)) failures.push(`${sample}: no ${scope} token '${text}'`);
  }
  const counts = {};
  for (const file of [sample, ...files]) {
    for (const [text, scope] of tokenise(file)) {
      counts[scope] = (counts[scope] || 0) + 1;
      const shape = shapes[scope];
      if (shape && !shape.test(text)) failures.push(`${file}: '${text}' tokenised as ${scope}`);
      if (scope === 'source.ncf' && /^\s*[A-Za-z0-9*;]/.test(text)) failures.push(`${file}: '${text}' not highlighted`);
    }
  }
  for (const scope of Object.keys(shapes)) if (!counts[scope]) failures.push(`no ${scope} token anywhere`);
  failures.slice(0, 30).forEach((f) => console.log('FAIL: ' + f));
  if (!failures.length) console.log(`textmate: ${files.length + 1} files tokenised as expected`);
  process.exit(failures.length ? 1 : 0);
}
main().catch((e) => { console.log('FAIL: ' + e); process.exit(1); });
