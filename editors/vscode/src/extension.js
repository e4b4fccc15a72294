'use strict';
// The extension's client: starts `scenario-compiler lsp` over standard
// input and output for the line (*_linea.txt) and train (*-.txt)
// descriptions. Colouring and snippets need no program; everything else
// (diagnostics, hover, outline, completion) comes from the server.

const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');
const { findProgram, SETTING } = require('./find-program');

let client;

async function activate(context) {
  const setting = vscode.workspace.getConfiguration().get(SETTING, '');
  const found = findProgram(setting, process.env, process.platform);
  if (found.error) {
    const open = 'Open Settings';
    vscode.window.showErrorMessage(`Scenario descriptions: ${found.error}`,
        open).then((choice) => {
      if (choice === open) {
        vscode.commands.executeCommand('workbench.action.openSettings',
            SETTING);
      }
    });
    return;
  }
  const server = { command: found.program, args: ['lsp'] };
  client = new LanguageClient(
      'scenarioCompiler', 'Scenario Compiler',
      { run: server, debug: server },
      {
        documentSelector: [
          { scheme: 'file', language: 'scenario-line' },
          { scheme: 'file', language: 'scenario-train' },
        ],
      });
  context.subscriptions.push(client);
  context.subscriptions.push(vscode.workspace.onDidChangeConfiguration((e) => {
    if (e.affectsConfiguration(SETTING)) {
      vscode.window.showInformationMessage(
          `Scenario descriptions: reload the window for the new "${SETTING}"` +
          ' to take effect.');
    }
  }));
  await client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
