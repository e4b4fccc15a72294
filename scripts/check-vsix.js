'use strict';
// Checks a packed VS Code extension as the editor would load it: its
// manifest parses, has the version given, a publisher and an engine, the
// scenarioCompiler.path setting, and names only files the package holds
// (the client, its language client library, grammars that parse, snippets
// and the language configuration).
//
// Usage: node scripts/check-vsix.js FILE.vsix VERSION WORK_DIR
// (WORK_DIR, made here, receives the unpacked package).

const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');

const [vsix, version, work] = process.argv.slice(2);
fs.mkdirSync(work, { recursive: true });
execFileSync('cmake', ['-E', 'tar', 'xf', path.resolve(vsix)], { cwd: work });
const root = path.join(work, 'extension');
const manifest =
    JSON.parse(fs.readFileSync(path.join(root, 'package.json'), 'utf8'));
const problems = [];
if (manifest.version !== version) {
  problems.push(`version ${manifest.version}, not ${version}`);
}
if (!manifest.publisher || !(manifest.engines && manifest.engines.vscode)) {
  problems.push('no publisher or engines.vscode');
}
const c = manifest.contributes || {};
const properties = (c.configuration && c.configuration.properties) || {};
if (!properties['scenarioCompiler.path']) {
  problems.push('no scenarioCompiler.path setting');
}
const files = [
  manifest.main,
  'node_modules/vscode-languageclient/package.json',
  ...(c.grammars || []).map((g) => g.path),
  ...(c.snippets || []).map((s) => s.path),
  ...(c.languages || []).map((l) => l.configuration),
];
for (const file of files) {
  if (!file || !fs.existsSync(path.join(root, file))) {
    problems.push(`names ${file}, which it does not hold`);
    continue;
  }
  if (file.endsWith('.json')) {
    try {
      JSON.parse(fs.readFileSync(path.join(root, file), 'utf8'));
    } catch (e) {
      problems.push(`${file}: ${e.message}`);
    }
  }
}
if (problems.length > 0) {
  console.error(`${vsix}: ${problems.join('; ')}`);
  process.exit(1);
}
