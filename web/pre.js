// Runs inside the game's module before main(): the player's folder /save is kept in the
// browser's IndexedDB. It is read back before the game starts and written out after each save
// (the game replaces its files whole, so a copy is always a complete file). Where the browser
// keeps nothing for the site (no IndexedDB in a private window of some browsers, site data
// blocked) the folder lives in memory for this visit and the page says so once: the game runs
// either way.
Module.preRun = Module.preRun || [];
Module.pondlarkStorageKept = true;
Module.preRun.push(function () {
    FS.mkdir('/save');
    var notKept = function (detail) {
        Module.pondlarkStorageKept = false;
        if (Module.pondlarkSettingsNotKept) Module.pondlarkSettingsNotKept(detail);
    };
    // The library aborts the whole program when it finds no IndexedDB: look first.
    var idb = null;
    try { idb = typeof indexedDB !== 'undefined' ? indexedDB : null; } catch (e) { idb = null; }
    if (!idb) return notKept('no IndexedDB');
    FS.mount(IDBFS, {}, '/save');
    addRunDependency('pondlark-save');
    FS.syncfs(true, function (err) {
        if (err) {
            FS.unmount('/save');
            notKept('the saved settings could not be read: ' + err);
        }
        removeRunDependency('pondlark-save');
    });
});
// Saves come in bursts (settings, then scores); one write at a time, the last one always runs.
Module.pondlarkPersist = (function () {
    var busy = false, again = false;
    function run() {
        if (!Module.pondlarkStorageKept) return;
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
// The replay the page's address asked for (page.js fetches it beside the game's files): the game
// starts once it is here, and finds it where Module.pondlarkReplayFile says. One that could not
// be fetched is said in the page, and the game starts without it.
Module.preRun.push(function () {
    var download = Module.pondlarkReplayDownload;
    if (!download) return;
    addRunDependency('pondlark-replay');
    download.then(function (bytes) {
        FS.writeFile('/replay.plkr', bytes);
        Module.pondlarkReplayFile = '/replay.plkr';
    }, function (why) {
        if (Module.pondlarkReplayState) Module.pondlarkReplayState({ state: 'failed', problem: String(why) });
    }).then(function () { removeRunDependency('pondlark-replay'); });
});
