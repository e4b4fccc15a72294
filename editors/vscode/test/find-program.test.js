'use strict';
// Where the extension finds scenario-compiler, and what it tells the
// author when it finds none.

const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { test } = require('node:test');
const { findProgram } = require('../src/find-program');

function folderWith(name, mode) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'find-program-'));
  fs.writeFileSync(path.join(folder, name), '', { mode });
  return folder;
}

test('the setting wins over PATH', () => {
  const folder = folderWith('scenario-compiler', 0o755);
  const onPath = folderWith('scenario-compiler', 0o755);
  const set = path.join(folder, 'scenario-compiler');
  assert.deepStrictEqual(findProgram(set, { PATH: onPath }, 'linux'),
      { program: set });
});

test('a setting that names no program is said so, with its name', () => {
  const found = findProgram('/nowhere/scenario-compiler', { PATH: '' },
      'linux');
  assert.match(found.error, /"scenarioCompiler\.path" names \/nowhere/);
});

test('PATH is searched in order, skipping what cannot run', () => {
  const notRunnable = folderWith('scenario-compiler', 0o644);
  const runnable = folderWith('scenario-compiler', 0o755);
  const found = findProgram('', {
    PATH: ['', notRunnable, runnable].join(':'),
  }, 'linux');
  assert.deepStrictEqual(found,
      { program: path.join(runnable, 'scenario-compiler') });
});

test('on Windows the program is scenario-compiler.exe, Path any case', () => {
  const folder = folderWith('scenario-compiler.exe', 0o644);
  const found = findProgram('', { Path: `"${folder}"` }, 'win32');
  assert.strictEqual(found.program,
      path.join(folder, 'scenario-compiler.exe'));
});

test('none found names the program, PATH and the setting', () => {
  const found = findProgram('', { PATH: os.tmpdir() }, 'win32');
  assert.match(found.error, /scenario-compiler\.exe was not found on PATH/);
  assert.match(found.error, /"scenarioCompiler\.path"/);
});
