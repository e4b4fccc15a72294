'use strict';
// Finds the scenario-compiler program the extension starts as its language
// server. Kept apart from the editor's API so that it runs, and is tested,
// under plain Node.

const fs = require('fs');
const path = require('path');

const SETTING = 'scenarioCompiler.path';

// The program's file name on the platform.
function programName(platform) {
  return platform === 'win32' ? 'scenario-compiler.exe' : 'scenario-compiler';
}

// True when file is a file that can be run (on Windows: any file).
function isProgram(file, platform) {
  try {
    if (!fs.statSync(file).isFile()) return false;
    if (platform !== 'win32') fs.accessSync(file, fs.constants.X_OK);
    return true;
  } catch (e) {
    return false;
  }
}

// Where the program is: { program } with its full path, or { error } with
// a message for the author that names what was looked for and how to set
// it. setting is scenarioCompiler.path ('' or unset: look on PATH); env
// the process environment; platform process.platform.
function findProgram(setting, env, platform) {
  const name = programName(platform);
  if (setting && setting.trim() !== '') {
    const file = setting.trim();
    if (isProgram(file, platform)) return { program: file };
    return {
      error: `The setting "${SETTING}" names ${file}, which is not a ` +
          `program that can be run. Set it to the full path of ${name}, or ` +
          'clear it to use the one found on PATH.',
    };
  }
  const pathVariable = Object.keys(env).find(
      (key) => key.toUpperCase() === 'PATH');
  const folders = (pathVariable ? env[pathVariable] : '') || '';
  const delimiter = platform === 'win32' ? ';' : ':';
  for (const folder of folders.split(delimiter)) {
    if (folder === '') continue;
    const file = path.join(folder.replace(/^"(.*)"$/, '$1'), name);
    if (isProgram(file, platform)) return { program: file };
  }
  return {
    error: `${name} was not found on PATH, so the description files get ` +
        'no diagnostics, hover, outline or completion (colouring and ' +
        `snippets still work). Install it, or set "${SETTING}" to its ` +
        'full path, then reload the window.',
  };
}

module.exports = { findProgram, programName, SETTING };
