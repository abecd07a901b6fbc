// The page's own script around the game, run in node over a stand-in of the few browser parts it
// touches: the loader's progress, failures and retry; the replay an address names; the later
// files fetched once the game runs; the first key or touch waking the sound the browser held
// back, and the sound following the page out of view and back; the finger's controls; the hashed
// names the build writes in; the right button staying the game's.
//   node page_test.mjs PAGE_JS
// Exits 0 when every check holds, 1 with the failed checks listed otherwise.
import fs from 'node:fs';
import vm from 'node:vm';

const failures = [];
const check = (ok, what) => {
    console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
    if (!ok) failures.push(what);
};

// A page with the elements index.html has, whose listeners can be fired, on a clock the test
// moves (`advance`). `options.wasm` false takes WebAssembly away; `options.search` is the
// address's query, `options.fetch` the network's answer, and `options.serviceWorker` gives the
// browser workers (their registrations in `registered`).
function loadPage(source, options = {}) {
    const listeners = [];
    const element = (extra = {}) => ({
        textContent: '',
        hidden: false,
        style: {},
        addEventListener(type, fn) { listeners.push({ on: this, type, fn }); },
        removeEventListener(type, fn) {
            const i = listeners.findIndex(l => l.on === this && l.type === type && l.fn === fn);
            if (i >= 0) listeners.splice(i, 1);
        },
        getAttribute(name) { return this.attributes ? this.attributes[name] : null; },
        focus() {},
        ...extra,
    });
    const padButtons = [14, 12, 15, 9].map(pad => element({ attributes: { 'data-pad': String(pad) } }));
    const barFill = element();
    const elements = {
        status: element({ firstChild: element() }), bar: element({ firstElementChild: barFill }),
        canvas: element(), full: element(), failure: element({ hidden: true }),
        'failure-text': element(), retry: element(), notice: element({ hidden: true }),
        touch: element({ hidden: true, querySelectorAll: () => padButtons }),
        replay: element({ hidden: true }),
    };
    const added = [];
    let now = 0;
    let timers = [];
    const advance = ms => {
        now += ms;
        for (;;) {
            const due = timers.filter(t => t.at <= now).sort((a, b) => a.at - b.at)[0];
            if (!due) break;
            timers = timers.filter(t => t !== due);
            due.fn();
        }
    };
    const window = element({ location: { protocol: 'http:', search: options.search || '', reloads: 0, reload() { this.reloads++; } } });
    window.navigator = { getGamepads: () => [null, null, null, null] };
    const registered = [];
    if (options.serviceWorker)
        window.navigator.serviceWorker = { register: url => { registered.push(url); return Promise.resolve(); } };
    window.dispatchEvent = e => { for (const l of listeners.filter(l => l.on === window && l.type === e.type)) l.fn(e); };
    const document = element({
        visibilityState: 'visible', focused: true,
        getElementById: id => elements[id],
        createElement: () => element(),
        body: { appendChild: node => added.push(node) },
    });
    document.hasFocus = () => document.focused;
    const sandbox = {
        window, document, navigator: window.navigator, console: { log() {}, warn() {} },
        performance: { now: () => now },
        setTimeout: (fn, ms) => timers.push({ at: now + ms, fn }),
        Event: class { constructor(type) { this.type = type; } },
        WebAssembly: options.wasm === false ? undefined : { instantiate() {} },
        fetch: options.fetch || (() => Promise.reject(new TypeError('no network in this test'))),
    };
    vm.createContext(sandbox);
    vm.runInContext(source + '\nglobalThis.Module = Module;', sandbox);
    const fire = (on, type, event = {}) => {
        for (const l of listeners.filter(l => l.on === on && l.type === type))
            l.fn({ preventDefault() {}, ...event });
    };
    const count = (on, type) => listeners.filter(l => l.on === on && l.type === type).length;
    return { Module: sandbox.Module, window, document, elements, padButtons, barFill, added, fire, count, advance, registered };
}

// The audio the game opened, held back by the browser until a gesture; `wakes` says whether a
// resume is granted.
function heldAudio(wakes) {
    const context = { state: 'suspended', resumes: 0, suspends: 0 };
    context.resume = () => {
        context.resumes++;
        if (wakes) context.state = 'running';
        return Promise.resolve();
    };
    context.suspend = () => {
        context.suspends++;
        context.state = 'suspended';
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
    check(page.count(page.window, 'keydown') === 0 && page.count(page.window, 'pointerdown') === 1,
        `after the ${gesture} the page stops listening for a waking gesture (the touch watch stays)`);
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
    // The sound follows the page: each step of the table is an event and the state it leaves.
    const page = loadPage(source);
    const audio = heldAudio(true);
    page.Module.SDL2 = { audioContext: audio };
    const steps = [
        ['hidden before the first gesture', () => { page.document.visibilityState = 'hidden'; page.fire(page.document, 'visibilitychange'); }, 'suspended'],
        ['shown again, still no gesture', () => { page.document.visibilityState = 'visible'; page.fire(page.document, 'visibilitychange'); }, 'suspended'],
        ['the first key', () => page.fire(page.window, 'keydown'), 'running'],
        ['the tab hidden', () => { page.document.visibilityState = 'hidden'; page.fire(page.document, 'visibilitychange'); }, 'suspended'],
        ['the tab shown', () => { page.document.visibilityState = 'visible'; page.fire(page.document, 'visibilitychange'); }, 'running'],
        ['another window takes the focus', () => { page.document.focused = false; page.fire(page.window, 'blur'); }, 'suspended'],
        ['the focus back', () => { page.document.focused = true; page.fire(page.window, 'focus'); }, 'running'],
    ];
    for (const [what, act, want] of steps) {
        act();
        check(audio.state === want, `sound: ${what} -> ${want} (${audio.state})`);
    }
}
{
    const page = loadPage(source);
    const shown = [];
    for (const text of ['Downloading data... (0/6833421)', 'Downloading data... (3416710/6833421)',
        'Downloading data... (6833421/6833421)', 'Running...', '']) {
        page.Module.setStatus(text);
        shown.push(page.elements.status.firstChild.textContent);
    }
    const want = ['Loading Pondlark\u2026 0 %', 'Loading Pondlark\u2026 49 %', 'Starting Pondlark\u2026',
        'Running...', ''];
    check(JSON.stringify(shown) === JSON.stringify(want), `the download reads as a share (${JSON.stringify(shown)})`);
    page.Module.setStatus('Downloading data... (3416710/6833421)');
    check(page.barFill.style.width === '50%' || page.barFill.style.width === '49%',
        `the bar shows the share (${page.barFill.style.width})`);
    let prevented = false;
    page.fire(page.elements.canvas, 'contextmenu', { preventDefault: () => { prevented = true; } });
    check(prevented, "the right button opens no browser menu over the game");
}
// Failures as a table: what went wrong, whether the game had started, and whether the player
// is told (with the button to try again).
const loadFailed = 'Pondlark could not be loaded. Check the connection and try again.';
for (const c of [
    { what: 'game.wasm fails (the loader aborts)', act: p => p.Module.onAbort('both async and sync fetching of the wasm failed'), told: loadFailed },
    { what: 'game.data fails (an error on the window)', act: p => p.fire(p.window, 'error', { message: 'NetworkError for: game.data' }), told: loadFailed },
    { what: 'game.wasm fails to download (a rejected promise)', act: p => p.fire(p.window, 'unhandledrejection', { reason: 'TypeError: Failed to fetch' }), told: loadFailed },
    { what: 'game.js fails to load', act: p => p.added[0].onerror(), told: loadFailed },
    { what: 'an error after the start', act: p => { p.Module.monitorRunDependencies(0); p.fire(p.window, 'error', { message: 'later' }); }, told: null },
]) {
    const page = loadPage(source);
    c.act(page);
    const shown = !page.elements.failure.hidden;
    check(c.told ? shown && page.elements['failure-text'].textContent === c.told && page.elements.status.hidden
        : !shown, `${c.what}: ${c.told ? 'the player is told' : 'nothing shown'}`);
    if (c.told) {
        page.Module.setStatus('Downloading data... (1/2)');
        check(page.elements.status.hidden, `${c.what}: no progress over the message`);
        page.fire(page.elements.retry, 'click');
        check(page.window.location.reloads === 1, `${c.what}: "Try again" loads the page again`);
    }
}
{
    const page = loadPage(source);
    check(page.added.length === 1 && page.added[0].src === 'game.js',
        'the program is loaded (under its plain name when the build wrote none)');
    const bare = loadPage(source, { wasm: false });
    check(bare.added.length === 0 && !bare.elements.failure.hidden &&
        /needs WebAssembly/.test(bare.elements['failure-text'].textContent),
        'without WebAssembly the player reads why, and nothing is loaded');
}
{
    // The names the build writes in: the loader asks for the hashed files.
    const built = source.replace("'@FILE_NAMES@'", `'{"game.wasm": "game.0123456789ab.wasm", "game.data": "game.ba9876543210.data"}'`)
        .replace("'@GAME_JS@'", "'game.aaaaaaaaaaaa.js'");
    const page = loadPage(built);
    check(page.Module.locateFile('game.wasm', '') === 'game.0123456789ab.wasm' &&
        page.Module.locateFile('game.data', '') === 'game.ba9876543210.data' &&
        page.added[0].src === 'game.aaaaaaaaaaaa.js', 'the hashed names are the ones loaded');
}
{
    // The finger's controls: shown after a touch (and a controller connected for them), hidden
    // after a mouse; a direction is held before A, and both are released after the press.
    const page = loadPage(source);
    const connected = [];
    page.window.addEventListener('gamepadconnected', e => connected.push(e.gamepad));
    page.fire(page.window, 'pointerdown', { pointerType: 'mouse' });
    check(page.elements.touch.hidden && connected.length === 0, 'a mouse shows no touch controls');
    page.fire(page.window, 'pointerdown', { pointerType: 'touch' });
    check(!page.elements.touch.hidden && connected.length === 1, 'a touch shows them and connects their controller');
    const pad = () => page.window.navigator.getGamepads().find(p => p && p.id.startsWith('Pondlark'));
    const held = () => pad().buttons.map((b, i) => (b.pressed ? i : -1)).filter(i => i >= 0).join(',');
    const left = page.padButtons[0];
    page.fire(left, 'pointerdown');
    const first = held();
    page.advance(70);
    const then = held();
    page.fire(left, 'pointerup');
    const beforeRelease = held();
    page.advance(200);
    check(first === '14' && then === '0,14' && beforeRelease === '0,14' && held() === '',
        `left: the d-pad, then A, held at least a moment, then released (${first} / ${then} / ${beforeRelease} / ${held()})`);
    // A quick tap still turns and jumps.
    const up = page.padButtons[1];
    page.fire(up, 'pointerdown');
    page.advance(20);
    page.fire(up, 'pointerup');
    page.advance(60);
    const tapped = held();
    page.advance(200);
    check(tapped === '0,12' && held() === '', `a quick tap on "up": the d-pad and A, then nothing (${tapped} / ${held()})`);
    page.fire(page.window, 'pointerdown', { pointerType: 'mouse' });
    check(page.elements.touch.hidden, 'a mouse again hides them');
}
// The replay a table row links to, as a table: what the address and the service give, and what
// the game is handed (the bytes) or the page says.
for (const c of [
    { what: 'a replay the service has', search: '?replay=42', reply: { status: 200, body: [1, 2, 3] }, bytes: '1,2,3', url: '/api/replays/42' },
    { what: 'an address naming no replay', search: '?replay=abc', reply: { status: 200, body: [1] }, said: 'the address names no replay', url: null },
    { what: 'a replay the service has not got', search: '?replay=7', reply: { status: 404 }, said: 'the score service has no replay 7', url: '/api/replays/7' },
    { what: 'a service in trouble', search: '?replay=7', reply: { status: 503 }, said: 'the score service answered 503', url: '/api/replays/7' },
    { what: 'a service out of reach', search: '?replay=7', reply: null, said: 'the score service could not be reached', url: '/api/replays/7' },
]) {
    const asked = [];
    const fetch = url => {
        asked.push(url);
        if (!c.reply) return Promise.reject(new TypeError('Failed to fetch'));
        const { status, body = [] } = c.reply;
        return Promise.resolve({ status, ok: status === 200, arrayBuffer: async () => new Uint8Array(body).buffer });
    };
    const page = loadPage(source, { search: c.search, fetch });
    const outcome = await page.Module.pondlarkReplayDownload.then(b => ({ bytes: Array.from(b).join(',') }), why => ({ said: String(why) }));
    check(asked.join() === (c.url || '') && outcome.bytes === c.bytes && outcome.said === c.said,
        `${c.what}: ${c.said ? `"${c.said}"` : 'its bytes reach the game'} (${JSON.stringify({ asked, ...outcome })})`);
    if (!c.said) continue;
    // What the loader hands on of a failed download (pre.js), the page shows.
    page.Module.pondlarkReplayState({ state: 'failed', problem: outcome.said });
    check(!page.elements.replay.hidden && page.elements.replay.textContent === `This replay cannot be shown: ${c.said}.`,
        `${c.what}: the page says why above the frame`);
}
{
    const page = loadPage(source);
    check(page.Module.pondlarkReplayDownload === undefined, 'an address without a replay fetches none');
}
// The later files (the sounds and two songs) as a table of what the network does: asked for once
// the game has shown its first frame, each is written where the game reads it, tried again a few seconds later when it fails, and the
// player is told only when it has failed three times.
{
    const built = source.replace("'@FILE_NAMES@'", `'{"Data/Music.dxw": "sounds.0123456789ab.dxw", "Music/2.xm": "song-2.0123456789ab.xm", "Music/3.xm": "song-3.0123456789ab.xm"}'`);
    const settle = () => new Promise(r => setTimeout(r, 0));
    for (const c of [
        { what: 'all there', fails: {}, written: 3, told: false, asked: 3 },
        { what: 'the sounds failing once', fails: { 'sounds.0123456789ab.dxw': 1 }, written: 3, told: false, asked: 4 },
        { what: 'a song failing every time', fails: { 'song-3.0123456789ab.xm': 99 }, written: 2, told: true, asked: 5 },
    ]) {
        const asked = [];
        const fetch = url => {
            asked.push(url);
            if ((c.fails[url] || 0) > asked.filter(u => u === url).length - 1)
                return Promise.resolve({ ok: false, status: 503 });
            return Promise.resolve({ ok: true, status: 200, arrayBuffer: async () => new Uint8Array([7]).buffer });
        };
        const page = loadPage(built, { fetch, serviceWorker: true });
        const written = [];
        page.Module.FS = { writeFile: (where, bytes) => written.push(`${where}:${bytes.length}`) };
        page.Module.onRuntimeInitialized();
        page.advance(200);
        check(asked.length === 0 && page.registered.length === 0,
            `later files, ${c.what}: nothing asked for, and no worker taken on, before the game's first frame`);
        page.Module.pondlarkStatus = { frames: 1 };
        for (let i = 0; i < 10; ++i) {
            await settle();
            page.advance(3000);
        }
        await page.Module.pondlarkLaterFiles;
        check(page.registered.join() === 'sw.js', `later files, ${c.what}: then the offline worker is taken on`);
        // Said for a while: what the notice line last said.
        const toldNow = /sounds could not be loaded/.test(page.elements.notice.textContent);
        check(written.length === c.written && written.every(w => /^\/game\/(Data\/Music\.dxw|Music\/[23]\.xm):1$/.test(w)) &&
            asked.length === c.asked && asked.every(u => /\.0123456789ab\./.test(u)) && toldNow === c.told,
            `later files, ${c.what}: ${c.written} written, ${c.asked} asked for by their built names, ${c.told ? '' : 'not '}told (${JSON.stringify({ written, asked, toldNow })})`);
    }
}
console.log(failures.length ? `${failures.length} check(s) failed` : 'all checks hold');
process.exit(failures.length ? 1 : 0);
