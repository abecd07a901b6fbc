// The page's own script around the game, run in node over a stand-in of the few browser parts it
// touches: the first key or click wakes the sound the browser held back, and only that; the
// loader's byte counts read as a share; the right button stays the game's.
//   node page_test.mjs PAGE_JS
// Exits 0 when every check holds, 1 with the failed checks listed otherwise.
import fs from 'node:fs';
import vm from 'node:vm';

const failures = [];
const check = (ok, what) => {
    console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
    if (!ok) failures.push(what);
};

// A page with a status line, a canvas and the full-screen button, whose listeners can be fired.
function loadPage(source) {
    const listeners = [];
    const target = () => ({
        textContent: '',
        addEventListener(type, fn) { listeners.push({ on: this, type, fn }); },
        removeEventListener(type, fn) {
            const i = listeners.findIndex(l => l.on === this && l.type === type && l.fn === fn);
            if (i >= 0) listeners.splice(i, 1);
        },
        focus() {},
    });
    const elements = { status: target(), canvas: target(), full: target() };
    const window = target();
    const sandbox = { window, document: { getElementById: id => elements[id] }, console };
    vm.createContext(sandbox);
    vm.runInContext(source + '\nglobalThis.Module = Module;', sandbox);
    const fire = (on, type, event = {}) => {
        for (const l of listeners.filter(l => l.on === on && l.type === type)) l.fn(event);
    };
    const count = (on, type) => listeners.filter(l => l.on === on && l.type === type).length;
    return { Module: sandbox.Module, window, elements, fire, count };
}

// The audio the game opened, held back by the browser until a gesture; `wakes` says whether a
// resume is granted.
function heldAudio(wakes) {
    const context = { state: 'suspended', resumes: 0 };
    context.resume = () => {
        context.resumes++;
        if (wakes) context.state = 'running';
        return Promise.resolve();
    };
    return context;
}

const source = fs.readFileSync(process.argv[2], 'utf8');

for (const gesture of ['keydown', 'pointerdown']) {
    const page = loadPage(source);
    const audio = heldAudio(true);
    page.Module.SDL2 = { audioContext: audio };
    page.fire(page.window, gesture);
    check(audio.state === 'running' && audio.resumes === 1, `the first ${gesture} wakes the sound`);
    check(page.count(page.window, 'keydown') === 0 && page.count(page.window, 'pointerdown') === 0,
        `after the ${gesture} the page stops listening for a waking gesture`);
}
{
    // A gesture before the game has opened its audio, and one the browser does not honour, leave
    // the page listening for the next.
    const page = loadPage(source);
    page.fire(page.window, 'keydown');
    const audio = heldAudio(false);
    page.Module.SDL2 = { audioContext: audio };
    page.fire(page.window, 'keydown');
    check(audio.resumes === 1 && page.count(page.window, 'keydown') === 1,
        'a gesture the browser does not honour leaves the page listening');
    page.fire(page.window, 'pointerdown');
    check(audio.resumes === 2, 'the next gesture asks again');
}
{
    const page = loadPage(source);
    const shown = [];
    for (const text of ['Downloading data... (0/6833421)', 'Downloading data... (3416710/6833421)',
        'Downloading data... (6833421/6833421)', 'Running...', '']) {
        page.Module.setStatus(text);
        shown.push(page.elements.status.textContent);
    }
    const want = ['Loading Pondlark\u2026 0 %', 'Loading Pondlark\u2026 49 %', 'Starting Pondlark\u2026',
        'Running...', ''];
    check(JSON.stringify(shown) === JSON.stringify(want), `the download reads as a share (${JSON.stringify(shown)})`);
    let prevented = false;
    page.fire(page.elements.canvas, 'contextmenu', { preventDefault: () => { prevented = true; } });
    check(prevented, "the right button opens no browser menu over the game");
}
console.log(failures.length ? `${failures.length} check(s) failed` : 'all checks hold');
process.exit(failures.length ? 1 : 0);
