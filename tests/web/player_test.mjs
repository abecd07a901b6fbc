// The browser build as players come to it, in headless Chromium through the real score service:
// a first visit, its sounds and later songs following the first frames as files of their own,
// and a warm second one that downloads nothing again; the network gone and the game still
// starting; the sound silent while the tab is hidden and back when it is shown; a browser
// without IndexedDB; a failed game.wasm with its message and "Try again"; and a phone: a sharp
// canvas at three pixels per CSS pixel, a hint to turn it sideways, the pond played by the touch
// buttons and the feast by a finger dragged and held. Usage:
//   node player_test.mjs SERVICE_URL OUT_DIR DRIVER_DIR SERVICE_PID
// Prints the first-frame times it saw (measured, never judged here: the README has the figures).
// Exits 0 when every check holds, 1 with the failed checks listed otherwise.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const [service, outDir, driverDir, servicePid] = process.argv.slice(2);
const { chromium } = createRequire(path.join(driverDir, 'package.json'))('playwright-core');
const Scene = { Intro: 1, MainMenu: 2, Pond: 3, Eating: 4, HighScores: 7, GameOver: 9 };
const pageUrl = service + 'play/?seed=9';
const failures = [];
const check = (ok, what) => {
    console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
    if (!ok) failures.push(what);
};
const sleep = ms => new Promise(r => setTimeout(r, ms));

const browserArgs = ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--no-first-run', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--test-type'];
async function open(options = {}) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pondlark-chromium-'));
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: process.env.PONDLARK_CHROMIUM || '/usr/bin/chromium',
        headless: true, viewport: { width: 800, height: 600 }, args: browserArgs, ...options,
    });
    const page = context.pages()[0] || await context.newPage();
    const messages = [];
    page.on('console', m => messages.push(`${m.type()}: ${m.text()}`));
    page.on('pageerror', e => messages.push(`pageerror: ${e}`));
    // Read through the DevTools protocol: the driver's own evaluation would count as a gesture.
    const devtools = await context.newCDPSession(page);
    const peek = async expression => {
        const r = await devtools.send('Runtime.evaluate', { expression, returnByValue: true });
        if (r.exceptionDetails) throw new Error(r.exceptionDetails.text);
        return r.result.value;
    };
    const status = () => peek('globalThis.Module && Module.pondlarkStatus || null').catch(() => null);
    const waitFor = async (want, what, ms) => {
        const end = Date.now() + ms;
        let s = null;
        for (;;) {
            s = await status();
            if (s && want(s)) return s;
            if (Date.now() > end) break;
            await sleep(20);
        }
        check(false, `${what} (last status ${JSON.stringify(s)})`);
        return null;
    };
    // The page's own clock when the game's first frame showed, polled every 10 ms.
    const firstFrameAt = async ms => {
        const end = Date.now() + ms;
        while (Date.now() < end) {
            const t = await peek('globalThis.Module && Module.pondlarkStatus && Module.pondlarkStatus.frames > 0 ? performance.now() : 0').catch(() => 0);
            if (t) return Math.round(t);
            await sleep(10);
        }
        return -1;
    };
    return { context, page, devtools, peek, status, waitFor, firstFrameAt, messages };
}

// --- A first visit and a second one. ---------------------------------------------------------
const desk = await open();
{
    const { page, peek, waitFor, firstFrameAt, messages } = desk;
    await page.goto(pageUrl);
    const cold = await firstFrameAt(30000);
    console.log(`first visit: first frame at ${cold} ms`);
    check(cold > 0, 'a first visit shows the game');
    await waitFor(s => s.scene === Scene.MainMenu, 'the main menu after the intro', 20000);
    // The sounds and the later songs come as files of their own once the game runs, by their
    // built names, and reach the game's folder.
    let later = null;
    for (let i = 0; i < 100 && !(later && later.there); ++i) {
        later = await peek(`({ there: ['/game/Data/Music.dxw', '/game/Music/2.xm', '/game/Music/3.xm']
                .every(p => Module.FS.analyzePath(p).exists),
            fetched: performance.getEntriesByType('resource').map(e => e.name.split('/').pop())
                .filter(n => /^(sounds|song-[23])\.[0-9a-f]{12}\.(dxw|xm)$/.test(n)),
            at: Math.round(Math.max(0, ...performance.getEntriesByType('resource')
                .filter(e => /^(sounds|song-)/.test(e.name.split('/').pop())).map(e => e.responseEnd))) })`).catch(() => null);
        if (!(later && later.there)) await sleep(100);
    }
    console.log(`first visit: the later files in at ${later && later.at} ms`);
    check(later && later.there && later.fetched.length === 3,
        `the sounds and later songs follow the first frames as files of their own (${JSON.stringify(later)})`);
    const page1 = await peek(`({ icon: document.querySelector('link[rel=icon]').href,
        label: document.getElementById('canvas').getAttribute('aria-label'),
        manifest: document.querySelector('link[rel=manifest]') && document.querySelector('link[rel=manifest]').href,
        noscript: document.querySelector('noscript') && document.querySelector('noscript').textContent })`);
    check(/icon-32\.[0-9a-f]+\.png$/.test(page1.icon), `the page has the game's icon (${page1.icon})`);
    check(page1.label && page1.label.includes('Pondlark'), `the canvas is labelled ("${page1.label}")`);
    check(/JavaScript/.test(page1.noscript || ''), 'the page says in plain words when scripts are off');
    const manifest = await (await fetch(page1.manifest)).json().catch(() => null);
    check(manifest && manifest.name === 'Pondlark' && manifest.display === 'fullscreen' &&
        manifest.orientation === 'landscape' && manifest.icons.length >= 2,
        `the web app manifest names the game, full screen, landscape, with icons (${manifest && manifest.icons.length} icons)`);
    // The worker has kept the files once it controls the page.
    let controlled = false;
    for (let i = 0; i < 300 && !controlled; ++i) {
        controlled = await peek('!!(navigator.serviceWorker && navigator.serviceWorker.controller)');
        if (!controlled) await sleep(100);
    }
    if (!controlled) await page.reload();
    controlled = controlled || await peek('!!navigator.serviceWorker.controller');
    check(controlled, 'the worker keeps the game for offline play');

    // Warm: everything but the page itself comes from what the browser kept.
    const firstVisit = messages.splice(0);
    await page.goto(pageUrl);
    const warm = await firstFrameAt(30000);
    console.log(`second visit: first frame at ${warm} ms`);
    check(warm > 0, 'a second visit shows the game');
    await waitFor(s => s.scene === Scene.Intro || s.scene === Scene.MainMenu, 'the second visit runs', 10000);
    const fetched = await peek(`performance.getEntriesByType('resource')
        .filter(e => e.transferSize > 0).map(e => e.name + ' ' + e.transferSize)`);
    check(fetched.length === 0, `a second visit downloads none of the game's files (${JSON.stringify(fetched)})`);
    const slowPaths = [...firstVisit, ...messages].filter(m => /streaming compile failed|falling back|preloaded .* not used/i.test(m));
    check(slowPaths.length === 0, `game.wasm compiles while it downloads, and every preload is used (${JSON.stringify(slowPaths)})`);
    const desktopLines = [...firstVisit, ...messages].filter(m => /presenting|PONDLARK_PRESENT/.test(m));
    check(desktopLines.length === 0, `no desktop-only lines in the console (${JSON.stringify(desktopLines)})`);
}

// --- The sound while the tab is hidden. ------------------------------------------------------
// The driver's Chromium keeps every tab visible and focused (even behind another tab), so the
// page is told what Chromium tells a hidden tab's page: the state and its event.
{
    const { page, peek } = desk;
    await page.mouse.click(10, 590); // a gesture that lets the page play sound, on no menu item
    await page.evaluate(() => {
        const node = Module.SDL2 && Module.SDL2.audio && Module.SDL2.audio.scriptProcessorNode;
        window.pondlarkSound = { loud: [] };
        if (!node) return;
        const render = node.onaudioprocess;
        node.onaudioprocess = e => {
            render(e);
            let peak = 0;
            for (let c = 0; c < e.outputBuffer.numberOfChannels; ++c)
                for (const v of e.outputBuffer.getChannelData(c)) peak = Math.max(peak, Math.abs(v));
            if (peak > 0.001) window.pondlarkSound.loud.push(performance.now());
        };
    });
    const view = (state, event) => peek(`Object.defineProperty(document, 'visibilityState',
        { configurable: true, get: () => '${state}' });
        (${event === 'visibilitychange'} ? document : window).dispatchEvent(new Event('${event}'));
        performance.now()`);
    for (const [hide, show, what] of [
        [['hidden', 'visibilitychange'], ['visible', 'visibilitychange'], 'the tab hidden'],
        [['visible', 'blur'], ['visible', 'focus'], 'another window focused'],
    ]) {
        await sleep(1500);
        const loudBefore = await peek('window.pondlarkSound.loud.length');
        if (hide[1] === 'blur') await peek('document.hasFocus = () => false');
        const hiddenAt = await view(...hide);
        await sleep(1000);
        const afterHidden = await peek(`window.pondlarkSound.loud.filter(t => t > ${hiddenAt} + 100).length`);
        check(loudBefore > 0 && afterHidden === 0,
            `${what}: the sound stops within 100 ms (${loudBefore} loud blocks before, ${afterHidden} after)`);
        if (hide[1] === 'blur') await peek('document.hasFocus = () => true');
        const shownAt = await view(...show);
        await sleep(1000);
        const afterShown = await peek(`window.pondlarkSound.loud.filter(t => t > ${shownAt}).length`);
        check(afterShown > 0, `${what}, then back: the sound plays on (${afterShown} loud blocks)`);
    }
}

// --- No IndexedDB. -----------------------------------------------------------------------------
{
    const bare = await open();
    await bare.context.addInitScript(() => { Object.defineProperty(window, 'indexedDB', { value: undefined }); });
    await bare.page.goto(pageUrl);
    const ran = await bare.waitFor(s => s.scene === Scene.MainMenu, 'without IndexedDB the game starts', 30000);
    const notice = await bare.peek(`(n => n.hidden ? '' : n.textContent)(document.getElementById('notice'))`);
    check(ran && /settings and scores last only until the page closes/.test(notice),
        `without IndexedDB the game runs and says once that nothing is kept ("${notice}")`);
    await bare.context.close();
}

// --- A failed download. ------------------------------------------------------------------------
{
    const broken = await open({ serviceWorkers: 'block' });
    let failing = true;
    await broken.page.route(/game\.[0-9a-f]+\.wasm$/, route => (failing ? route.abort() : route.continue()));
    await broken.page.goto(pageUrl);
    let told = null;
    for (let i = 0; i < 200 && !told; ++i) {
        told = await broken.peek(`(f => f.hidden ? null : document.getElementById('failure-text').textContent)(document.getElementById('failure'))`);
        if (!told) await sleep(100);
    }
    check(/could not be loaded/.test(told || ''), `a failed game.wasm: the player reads it ("${told}")`);
    if (!told) console.log(broken.messages.join('\n'));
    failing = false;
    await broken.page.click('#retry');
    check(!!await broken.waitFor(s => s.scene === Scene.Intro || s.scene === Scene.MainMenu,
        '"Try again" loads the game', 30000), '"Try again" loads the game');
    await broken.context.close();
}

// --- A phone. ----------------------------------------------------------------------------------
{
    const phone = await open({ viewport: { width: 844, height: 390 }, deviceScaleFactor: 3, hasTouch: true,
        isMobile: true, serviceWorkers: 'block' });
    const { page, peek, waitFor, devtools } = phone;
    await page.goto(pageUrl);
    await waitFor(s => s.scene === Scene.MainMenu, 'the phone reaches the main menu', 30000);
    const canvas = await peek(`(c => ({ width: c.width, height: c.height, css: c.getBoundingClientRect().toJSON() }))(document.getElementById('canvas'))`);
    check(Math.abs(canvas.width - 3 * canvas.css.width) <= 3 && Math.abs(canvas.height - 3 * canvas.css.height) <= 3,
        `the canvas holds three pixels per CSS pixel (${canvas.width}x${canvas.height} for ${canvas.css.width}x${canvas.css.height})`);
    const turnHint = await peek(`getComputedStyle(document.getElementById('turn')).display`);
    check(turnHint === 'none', `no hint to turn the phone held sideways (${turnHint})`);
    // The frame's point (x, y) on the screen.
    const at = (x, y) => ({ x: canvas.css.x + x * canvas.css.width / 800, y: canvas.css.y + y * canvas.css.height / 600 });
    const start = at(500, 185);
    await page.touchscreen.tap(start.x, start.y); // Start Game
    await waitFor(s => s.scene === Scene.Pond, 'a tap on Start Game starts a game', 10000);
    const shown = await peek(`!document.getElementById('touch').hidden`);
    check(shown, 'after a touch the pond has its buttons');
    await sleep(2500); // the level's banner
    // Seed 9's first pond is three jumps up, the second onto a hunter lily that closes on a frog
    // that waits. A tap jumps once (taps during the level's banner or a jump are no jumps, so it
    // is tapped until it jumps); then a finger held on the button jumps again the moment each
    // jump ends, as a held key does, which no wall-clock cadence of taps can promise on a busy
    // machine.
    const before = (await phone.status()).score;
    const upButton = await page.$('#touch button[data-pad="12"]');
    const settle = async (want, ms) => {
        const end = Date.now() + ms;
        let s = await phone.status();
        while (s && !want(s) && Date.now() < end) { await sleep(20); s = await phone.status(); }
        return s;
    };
    let now = await phone.status();
    for (let taps = 0; taps < 10 && now.scene === Scene.Pond && now.score === before; ++taps) {
        await upButton.tap();
        now = await settle(s => s.scene !== Scene.Pond || s.score > before, 1500);
    }
    check(now.scene !== Scene.Pond || now.score === before + 5,
        `a tap on the jump button jumps once (score ${before} -> ${now.score})`);
    const box = await upButton.boundingBox();
    const finger = { x: box.x + box.width / 2, y: box.y + box.height / 2, id: 1 };
    await devtools.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [finger] });
    now = await settle(s => s.scene !== Scene.Pond, 30000);
    await devtools.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    const fed = now.scene === Scene.Eating;
    check(fed && now.score >= before + 10,
        `the jump button held jumps across the pond to the feast (score ${before} -> ${now.score}, status ${JSON.stringify(now)})`);
    if (fed) {
        await sleep(2500); // the banner
        const feastStart = (await phone.status()).score;
        let caught = feastStart;
        // A finger on the shore, held down and swept to and fro: the aim follows it and the
        // tongue shoots while it is down.
        let feast = await phone.status();
        // Swept until a catch or the feast's end: a busy machine makes each sweep fewer steps.
        for (let sweep = 0; sweep < 30 && caught === feastStart && feast.scene === Scene.Eating; ++sweep) {
            const from = at(sweep % 2 ? 700 : 100, 450), to = at(sweep % 2 ? 100 : 700, 450);
            await devtools.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ ...from, id: 2 }] });
            for (let step = 1; step <= 20; ++step) {
                const p = { x: from.x + (to.x - from.x) * step / 20, y: from.y, id: 2 };
                await devtools.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [p] });
                await sleep(60);
            }
            await devtools.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
            feast = await phone.status();
            if (feast.scene === Scene.Eating) caught = feast.score; // a later stage's points are no catch
        }
        check(caught > feastStart,
            `a finger dragged and held catches in the feast (score ${feastStart} -> ${caught}, status ${JSON.stringify(feast)})`);
    }
    await page.setViewportSize({ width: 390, height: 844 });
    await sleep(300);
    const portrait = await peek(`getComputedStyle(document.getElementById('turn')).display`);
    check(portrait !== 'none', `held upright, the phone asks to be turned sideways (${portrait})`);
    await phone.context.close();
}

// --- The network gone. -------------------------------------------------------------------------
{
    const { page, waitFor, status } = desk;
    process.kill(Number(servicePid));
    await sleep(300);
    await page.goto(pageUrl).catch(() => {});
    const started = await waitFor(s => s.scene === Scene.MainMenu, 'with the network gone the game still starts', 30000);
    check(!!started, 'with the network gone the game still starts');
    // A game to its end, jumping to and fro with the jump key held, and its result sent: the
    // player is told the service cannot be reached, and the result stays in the local table.
    const dialogs = [];
    page.on('dialog', d => { dialogs.push(d.message()); d.accept().catch(() => {}); });
    const config = () => desk.peek(`Array.from(Module.FS.readFile('/save/Config.cfg')).join(',')`).catch(() => '');
    const configBefore = await config();
    if (started) {
        await page.mouse.move(10, 590);
        await page.keyboard.press('Enter');
        if (await waitFor(s => s.scene === Scene.Pond, 'an offline game starts', 5000)) {
            await sleep(2500); // the level's banner
            await page.keyboard.down('Space');
            const end = Date.now() + 180000;
            let turn = 'ArrowRight';
            while (Date.now() < end && (await status()).scene === Scene.Pond) {
                await page.keyboard.down(turn);
                await sleep(400);
                await page.keyboard.up(turn);
                turn = turn === 'ArrowRight' ? 'ArrowLeft' : 'ArrowRight';
            }
            await page.keyboard.up('Space');
        }
        const over = await status();
        if (over.scene === Scene.GameOver && over.score >= 100) {
            await sleep(6000); // the name panel follows the words
            await page.keyboard.type('OFFLINE', { delay: 60 });
            await page.keyboard.press('ArrowDown'); // ticks "Send result"
            await sleep(300);
            await page.keyboard.press('Enter');
            for (let i = 0; i < 300 && dialogs.length === 0; ++i) await sleep(100);
            const table = await waitFor(s => s.scene === Scene.HighScores, 'the table after the failed send', 20000);
            // The table is written (encoded) into Config.cfg before the send.
            const kept = (await config()) !== configBefore;
            check(dialogs.some(d => d.includes("Can't connect to server!")) && !!table && kept,
                `a result sent offline: "Can't connect to server!" and it stays in the local table (told ${JSON.stringify(dialogs)}, table shown ${!!table}, table saved ${kept})`);
        } else {
            check(false, `an offline game ends with points for the table (status ${JSON.stringify(over)})`);
        }
    }
    await desk.context.close();
}

console.log(failures.length ? `${failures.length} check(s) failed` : 'all checks hold');
process.exit(failures.length ? 1 : 0);
