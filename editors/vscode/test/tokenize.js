'use strict';
// Tokenizes text with the extension's grammars, in the same tokenizer
// library the editor uses (vscode-textmate on the Oniguruma engine).

const fs = require('fs');
const path = require('path');
const tm = require('vscode-textmate');
const oniguruma = require('vscode-oniguruma');

const extension = path.join(__dirname, '..');

async function loadGrammars() {
  const wasm = fs.readFileSync(
      path.join(path.dirname(require.resolve('vscode-oniguruma')),
          'onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer);
  const manifest = JSON.parse(
      fs.readFileSync(path.join(extension, 'package.json'), 'utf8'));
  const byScope = {};
  for (const g of manifest.contributes.grammars) {
    byScope[g.scopeName] = path.join(extension, g.path);
  }
  const registry = new tm.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (s) => new oniguruma.OnigString(s),
    }),
    loadGrammar: async (scope) => byScope[scope] === undefined ? null :
        tm.parseRawGrammar(fs.readFileSync(byScope[scope], 'utf8'),
            byScope[scope]),
  });
  return {
    line: await registry.loadGrammar('source.scenario-line'),
    train: await registry.loadGrammar('source.scenario-train'),
  };
}

// Each line of text with its tokens: { text, tokens: [{ start, end,
// scopes }] }.
function tokenizeLines(grammar, text) {
  let state = tm.INITIAL;
  return text.split(/\r\n|\r|\n/).map((line) => {
    const result = grammar.tokenizeLine(line, state);
    state = result.ruleStack;
    return {
      text: line,
      tokens: result.tokens.map((t) => ({
        start: t.startIndex,
        end: Math.min(t.endIndex, line.length),
        scopes: t.scopes,
      })),
    };
  });
}

module.exports = { loadGrammars, tokenizeLines };
