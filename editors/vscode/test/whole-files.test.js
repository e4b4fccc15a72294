'use strict';
// Every line of whole description pairs, tokenized as the editor does:
// the text before "[generale]" is a comment, headers are sections, dash
// lines are comments, and every row's keyword gets a row keyword scope and
// each of its values a number, text or separator scope. The pairs are the
// folders named in SCENARIO_PAIR_DIRS (parted by the platform's path
// delimiter), each holding one *_linea.txt and one *-.txt: test/run-tests.sh
// gives the reference's example pair and the exported built-in pair.

const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');
const { loadGrammars, tokenizeLines } = require('./tokenize');

const folders = (process.env.SCENARIO_PAIR_DIRS || '')
    .split(path.delimiter).filter((f) => f !== '');

function scopesAt(line, column) {
  const token = line.tokens.find((t) => t.start <= column && column < t.end);
  return token ? token.scopes : [];
}

// Each non-blank character of [begin, end) has a scope that starts with
// one of prefixes.
function assertCovered(where, line, begin, end, prefixes) {
  for (let c = begin; c < end; ++c) {
    if (/\s/.test(line.text[c])) continue;
    const scopes = scopesAt(line, c);
    assert.ok(scopes.some((s) => prefixes.some((p) => s.startsWith(p))),
        `${where}, column ${c + 1} ("${line.text}"): ${scopes.join(' ')} ` +
        `has none of ${prefixes.join(', ')}`);
  }
}

function checkFile(grammar, file) {
  const text = new TextDecoder('windows-1252').decode(fs.readFileSync(file));
  const lines = tokenizeLines(grammar, text);
  let started = false;
  let rows = 0;
  lines.forEach((line, i) => {
    const where = `${path.basename(file)}:${i + 1}`;
    const trimmed = line.text.trim();
    if (trimmed === '') return;
    if (!started && !/\[generale\]/i.test(line.text)) {
      assertCovered(where, line, 0, line.text.length,
          ['comment.block.preamble']);
      return;
    }
    started = true;
    if (/^\[[^\],]*\]$/.test(trimmed)) {
      assertCovered(where, line, 0, line.text.length,
          ['entity.name.section.scenario']);
    } else if (trimmed.startsWith('-')) {
      assertCovered(where, line, 0, line.text.length,
          ['comment.line.dashes']);
    } else {
      const comma = line.text.indexOf(',');
      const keywordEnd = comma < 0 ? line.text.length : comma;
      assertCovered(where, line, 0, keywordEnd, ['keyword.other.row.']);
      assertCovered(where, line, keywordEnd, line.text.length, [
        'constant.numeric.integer', 'string.', 'punctuation.separator.comma',
      ]);
      ++rows;
    }
  });
  return rows;
}

test('the pairs are given', () => {
  assert.ok(folders.length > 0,
      'SCENARIO_PAIR_DIRS names no folder (run test/run-tests.sh)');
});

for (const folder of folders) {
  test(`every line of the pair in ${folder}`, async () => {
    const grammars = await loadGrammars();
    const names = fs.readdirSync(folder);
    const lineFile = names.find((n) => n.endsWith('_linea.txt'));
    const trainFile = names.find((n) => n.endsWith('-.txt'));
    assert.ok(lineFile && trainFile, `${folder} holds no description pair`);
    assert.ok(checkFile(grammars.line, path.join(folder, lineFile)) > 0);
    assert.ok(checkFile(grammars.train, path.join(folder, trainFile)) > 0);
  });
}
