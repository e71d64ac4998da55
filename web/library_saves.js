// fsync in the page: the browser keeps the save folder in IndexedDB, and the page copies the
// folder there itself after every save and every few seconds (saves.js). emscripten's own fsync
// would instead suspend the program until that copy is done, which only the functions on the
// way to the score server's fetch are made for.
mergeInto(LibraryManager.library, {
  fd_sync__deps: ['$SYSCALLS'],
  fd_sync__sig: 'ii',
  fd_sync: function(fd) {
    try {
      SYSCALLS.getStreamFromFD(fd);
      return 0;
    } catch (e) {
      if (typeof FS == 'undefined' || !(e instanceof FS.ErrnoError)) throw e;
      return e.errno;
    }
  },
});
