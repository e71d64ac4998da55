// The save folder lives in the browser's IndexedDB: mounted and read in before the program
// starts, written back whenever the program saved, every few seconds for files other parts of
// the game add, and when the page is hidden or closed. Without IndexedDB (a private window that
// refuses it) the game still runs and saves for the session only.
'use strict';

Module.preRun = Module.preRun || [];
Module.preRun.push(() => {
  FS.mkdir('/save');
  FS.mount(IDBFS, {}, '/save');
  addRunDependency('rivoltra-saves');
  FS.syncfs(true, (error) => {
    if (error) console.warn('Rivoltra: the saved games cannot be read: ' + error);
    removeRunDependency('rivoltra-saves');
  });
});

(() => {
  let writing = false;
  let again = false;
  Module.rivoltraPersistSaves = () => {
    if (writing) {
      again = true;
      return;
    }
    writing = true;
    FS.syncfs(false, (error) => {
      writing = false;
      if (error) console.warn('Rivoltra: the game cannot be saved: ' + error);
      if (again) {
        again = false;
        Module.rivoltraPersistSaves();
      }
    });
  };
  Module.rivoltraSaveNow = () => {
    if (!Module.calledRun || Module.rivoltraFetching) return;
    Module._rivoltra_save_now();
    Module.rivoltraPersistSaves();
  };
  setInterval(() => { if (Module.calledRun) Module.rivoltraPersistSaves(); }, 5000);
  document.addEventListener('visibilitychange', () => {
    if (document.hidden) Module.rivoltraSaveNow();
  });
  window.addEventListener('pagehide', () => Module.rivoltraSaveNow());
})();
