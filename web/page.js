// The page around the game: loading status, the canvas fitted to its area with its aspect kept
// (again on every resize and rotation), full screen where the browser has it, short notes to
// the player, and the hooks the program, the other scripts of the page and the browser test use.
'use strict';

(function () {
  const canvas = document.getElementById('canvas');
  const area = document.getElementById('game');
  // Full screen shows the game with its touch controls.
  const stage = document.getElementById('stage');
  const status = document.getElementById('status');
  const fullScreenButtons = [document.getElementById('fullscreen'),
    document.getElementById('fullscreen-touch')];
  const note = document.getElementById('note');
  // iPhone has no Fullscreen API for page elements: no button there.
  const canFullScreen = document.fullscreenEnabled === true &&
    typeof area.requestFullscreen === 'function';

  function fitCanvas() {
    const scale = Math.min(area.clientWidth / 800, area.clientHeight / 600);
    const fitted = scale > 0 ? scale : 1;
    canvas.style.width = Math.floor(800 * fitted) + 'px';
    canvas.style.height = Math.floor(600 * fitted) + 'px';
  }

  // The game's option follows the browser's state: after the player left full screen with the
  // browser's own key, or when the browser refused it.
  function matchFullScreenOption() {
    if (!Module.calledRun || Module.rivoltraFetching) return;
    const shown = document.fullscreenElement === stage;
    if (shown !== (Module._rivoltra_full_screen_option() !== 0)) {
      Module._rivoltra_toggle_full_screen();
    }
  }

  // Measurements for the browser test: start to the main menu, each tick's game clock and
  // browser time, the screen of the last tick. The test may hold the game on one tick's picture
  // (window.rivoltraTest.holdAtTick, set before the page loads).
  const test = window.rivoltraTest || {};
  const measure = {
    runtimeAt: null, mainMenuAt: null, ticks: [], screen: -1, holdAtTick: test.holdAtTick ?? null, held: null,
  };
  // Told of the game's view (see PageViewBits) whenever it may have changed: after every tick and
  // every input the page gave it.
  const viewListeners = [];
  let lastView = -1;
  function viewChanged(view) {
    if (view === lastView || view < 0) return;
    lastView = view;
    const parts = {
      screen: view & 0xFF, finishPrompt: (view & 0x100) !== 0, paused: (view & 0x200) !== 0,
      fullScreen: (view & 0x400) !== 0, watchingReplay: (view & 0x800) !== 0,
    };
    for (const listener of viewListeners) listener(parts);
  }
  let noteTimer = null;
  function showNote(text, ms = 6000) {
    note.textContent = text;
    note.hidden = false;
    clearTimeout(noteTimer);
    noteTimer = setTimeout(() => { note.hidden = true; }, ms);
  }

  // "?replay=ID": the page watches a verified entry's replay from the server's table. The program
  // gets the file's name now; the file itself is fetched before the program starts.
  const replayId = new URLSearchParams(location.search).get('replay');
  const watching = replayId !== null && /^[0-9]{1,15}$/.test(replayId);

  window.Module = {
    canvas: canvas,
    arguments: watching ? ['--replay', '/watch.rvr'] : [],
    preRun: [() => {
      if (!watching) return;
      addRunDependency('replay');
      fetch('/cgi/replay.pl?get=' + replayId, { cache: 'no-store' })
        .then((response) => (response.ok ? response.arrayBuffer() : null))
        .then((bytes) => { if (bytes) FS.writeFile('/watch.rvr', new Uint8Array(bytes)); })
        .catch(() => {})
        .finally(() => removeRunDependency('replay'));
    }],
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    setStatus: (text) => { status.textContent = text; },
    monitorRunDependencies: (left) => {
      status.textContent = left > 0 ? 'Loading\u2026' : '';
    },
    onRuntimeInitialized: () => {
      measure.runtimeAt = performance.now();
      status.textContent = '';
      canvas.focus();
    },
    rivoltraMeasure: measure,
    rivoltraViewListeners: viewListeners,
    rivoltraViewChanged: viewChanged,
    rivoltraShowNote: showNote,
    // Listeners told of each tick with the race actions the touch controls held for it, the time
    // it ran and the time it was due (both on the page's clock).
    rivoltraTickListeners: [],
    rivoltraTick: (clock, screen, count, view, touched, late) => {
      const now = performance.now();
      if (screen === 0 && measure.mainMenuAt === null) measure.mainMenuAt = now;
      if (measure.ticks.length < 20000) measure.ticks.push([count, clock, now]);
      measure.screen = screen;
      viewChanged(view);
      for (const listener of Module.rivoltraTickListeners) listener(touched, now, now - late);
      if (measure.holdAtTick !== count) return 0;
      measure.held = count;
      return 1;
    },
    rivoltraFullScreen: (on) => {
      const shown = document.fullscreenElement === stage;
      if (on && !canFullScreen) {
        setTimeout(matchFullScreenOption, 0);
      } else if (on && !shown) {
        stage.requestFullscreen().catch(() => setTimeout(matchFullScreenOption, 0));
      } else if (!on && shown) {
        document.exitFullscreen().catch(() => {});
      }
    },
    rivoltraEnded: () => {
      status.textContent = 'Thanks for playing. Reload the page to play again.';
    },
  };

  for (const button of fullScreenButtons) {
    button.hidden = !canFullScreen;
    button.addEventListener('click', () => {
      if (Module.calledRun && !Module.rivoltraFetching) Module._rivoltra_toggle_full_screen();
      canvas.focus();
    });
  }
  document.addEventListener('fullscreenchange', () => {
    fitCanvas();
    matchFullScreenOption();
  });
  // A rotation resizes the window; some browsers report the new size a moment later.
  window.addEventListener('resize', fitCanvas);
  window.addEventListener('orientationchange', () => setTimeout(fitCanvas, 100));
  new ResizeObserver(fitCanvas).observe(area);
  fitCanvas();
})();
