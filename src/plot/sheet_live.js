// The served sheet's live part: it asks the server that served the page
// for the round's number every half second; when it moves on, it fetches
// the round (/sheet.json: the drawing, its data and the diagnostics) and
// takes the new drawing through sheetPage.load, which keeps the stretch in
// view, then shows the diagnostics over it, or hides them when the round
// had none. A page served before any sheet existed reloads once one does.
// document.body.dataset.round is the round shown, for checks and tools.
(() => {
  'use strict';

  const kEvery = 500;  // ms between two asks
  let round = null;
  let drawing = null;

  function showDiagnostics(text) {
    const box = document.getElementById('diagnostics');
    box.textContent = text;
    box.hidden = text === '';
  }

  async function take() {
    const reply = await fetch('/sheet.json', {cache: 'no-store'});
    const state = await reply.json();
    if (state.drawing !== null && state.drawing !== drawing) {
      if (!window.sheetPage) {
        location.reload();
        return;
      }
      // Also on the first answer: the page does not know which drawing it
      // was served with, and a newer one may have come in between.
      window.sheetPage.load(state.svg, state.data);
      drawing = state.drawing;
    }
    showDiagnostics(state.diagnostics);
    round = String(state.round);
    document.body.dataset.round = round;
  }

  async function ask() {
    try {
      const reply = await fetch('/round', {cache: 'no-store'});
      const now = (await reply.text()).trim();
      if (now !== round) await take();
      document.body.dataset.live = 'connected';
    } catch (error) {
      // The server stopped (watch ended): the page stays as it was.
      document.body.dataset.live = 'lost';
    }
    setTimeout(ask, kEvery);
  }

  ask();
})();
