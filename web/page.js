// The page around the game: loading status, the canvas fitted to the window with its aspect
// kept, full screen, and the hooks the program and the browser test use.
'use strict';

(function () {
  const canvas = document.getElementById('canvas');
  const area = document.getElementById('game');
  const status = document.getElementById('status');
  const fullScreenButton = document.getElementById('fullscreen');

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
    const shown = document.fullscreenElement === area;
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
    rivoltraMeasure: measure,
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
    rivoltraTick: (clock, screen, count) => {
      if (screen === 0 && measure.mainMenuAt === null) measure.mainMenuAt = performance.now();
      if (measure.ticks.length < 20000) measure.ticks.push([count, clock, performance.now()]);
      measure.screen = screen;
      if (measure.holdAtTick !== count) return 0;
      measure.held = count;
      return 1;
    },
    rivoltraFullScreen: (on) => {
      const shown = document.fullscreenElement === area;
      if (on && !shown) {
        area.requestFullscreen().catch(() => setTimeout(matchFullScreenOption, 0));
      } else if (!on && shown) {
        document.exitFullscreen().catch(() => {});
      }
    },
    rivoltraEnded: () => {
      status.textContent = 'Thanks for playing. Reload the page to play again.';
    },
  };

  fullScreenButton.addEventListener('click', () => {
    if (Module.calledRun && !Module.rivoltraFetching) Module._rivoltra_toggle_full_screen();
    canvas.focus();
  });
  document.addEventListener('fullscreenchange', () => {
    fitCanvas();
    matchFullScreenOption();
  });
  window.addEventListener('resize', fitCanvas);
  fitCanvas();
})();
