// Runs inside the game's module before main(): the player's folder /save is kept in the
// browser's IndexedDB. It is read back before the game starts and written out after each save
// (the game replaces its files whole, so a copy is always a complete file).
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
    FS.mkdir('/save');
    FS.mount(IDBFS, {}, '/save');
    addRunDependency('pondlark-save');
    FS.syncfs(true, function (err) {
        if (err) console.warn('pondlark: the saved settings could not be read: ' + err);
        removeRunDependency('pondlark-save');
    });
});
// Saves come in bursts (settings, then scores); one write at a time, the last one always runs.
Module.pondlarkPersist = (function () {
    var busy = false, again = false;
    function run() {
        busy = true;
        FS.syncfs(false, function (err) {
            if (err) console.warn('pondlark: the settings could not be kept: ' + err);
            busy = false;
            if (Module.onPersisted) Module.onPersisted(err);
            if (again) { again = false; run(); }
        });
    }
    return function () { if (busy) again = true; else run(); };
})();
