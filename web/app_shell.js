// The page as an installed app: the service worker that keeps every file of the build so the game
// starts with no network (sw.js), the note when a new build was installed for the next start,
// sound that starts with the first touch and pauses with a hidden tab, and the results kept while
// offline, sent when the page is next online.
'use strict';

(function () {
  // ---- Offline: the worker. A new build is fetched by the new worker in the background; once this
  // page has loaded all its files it lets the new worker take over, so the next start gets the new
  // build whole and this one never mixes files of two builds.
  const started = () => Module.calledRun === true;
  function whenStarted(then) {
    if (started()) then();
    else (Module.postRun = Module.postRun || []).push(then);
  }
  function updateInstalled(worker) {
    whenStarted(() => {
      worker.postMessage('take-over');
      Module.rivoltraUpdateInstalled = true;
      Module.rivoltraShowNote('An update of the game was installed: it starts next time.');
    });
  }
  if ('serviceWorker' in navigator && window.isSecureContext) {
    const updating = navigator.serviceWorker.controller !== null;
    navigator.serviceWorker.register('sw.js').then((registration) => {
      if (registration.waiting && updating) updateInstalled(registration.waiting);
      registration.addEventListener('updatefound', () => {
        const worker = registration.installing;
        worker.addEventListener('statechange', () => {
          if (worker.state === 'installed' && updating) updateInstalled(worker);
        });
      });
    }).catch((error) => console.warn('Rivoltra: no offline play: ' + error));
  }

  // ---- Sound. Browsers start it only inside a player's gesture: iOS needs the audio context
  // resumed in the touch handler itself. A hidden tab pauses it, as it pauses the game.
  const audioContext = () => (Module.SDL2 ? Module.SDL2.audioContext : null);
  function startSound() {
    const context = audioContext();
    if (context && context.state === 'suspended' && !document.hidden) context.resume();
  }
  for (const type of ['touchstart', 'touchend', 'mousedown', 'keydown']) {
    window.addEventListener(type, startSound, { capture: true, passive: true });
  }
  let playingWhenHidden = false;
  document.addEventListener('visibilitychange', () => {
    const context = audioContext();
    if (!context) return;
    if (document.hidden) {
      playingWhenHidden = context.state === 'running';
      if (playingWhenHidden) context.suspend();
    } else if (playingWhenHidden) {
      context.resume();
    }
  });

  // ---- Results kept while offline (in the save folder, which lives in IndexedDB): sent when
  // the page starts and whenever it comes online again; the game sends them outside a race.
  function sendKept() {
    if (started() && !Module.rivoltraFetching && navigator.onLine) Module._rivoltra_send_unsent();
  }
  whenStarted(sendKept);
  window.addEventListener('online', sendKept);
  Module.rivoltraUnsentSent = (sent, left) => {
    if (sent > 0) {
      Module.rivoltraShowNote(sent === 1 ? 'Your score kept offline was sent to the table.' :
        `${sent} scores kept offline were sent to the table.`);
    }
    Module.rivoltraMeasure.unsentSent = (Module.rivoltraMeasure.unsentSent || 0) + sent;
    Module.rivoltraMeasure.unsentLeft = left;
  };
})();
