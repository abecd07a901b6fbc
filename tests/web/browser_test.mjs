// The browser build in Chromium, served by the score service: intro, main menu (compared with
// the desktop's headless frame of the same steps), settings kept across a reload, a game from the
// keyboard across the pond to the feast with the sound running, a game played to its end whose
// result is sent from the page and listed by the service, the two web links opening new tabs
// while the game runs on, and a controller (faked through the Gamepad API) in the menus and on
// the name panel. Usage:
//   node browser_test.mjs SERVICE_URL DESKTOP_MAIN_MENU_PNG DESKTOP_FEAST_PNG DESKTOP_CONFIG OUT_DIR
//       DRIVER_DIR MODE
// SERVICE_URL ends in "/" and serves the page under play/; DRIVER_DIR holds
// node_modules/playwright-core; MODE is `headless` or `window` (a real window on the X display
// in DISPLAY, of which one picture is taken with ImageMagick's import).
// Exits 0 when every check holds, 1 with the failed checks listed otherwise.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { checks, startChromium } from './chromium_lib.mjs';

const [service, desktopMenu, desktopFeast, desktopConfig, outDir, driverDir, mode] = process.argv.slice(2);
fs.mkdirSync(outDir, { recursive: true });
const Scene = { Intro: 1, MainMenu: 2, Pond: 3, Eating: 4, Options: 6, HighScores: 7, GameOver: 9 };
// Seed 9 is the desktop screenshots' seed: its first pond is crossed by a held Space.
const pageUrl = service + 'play/?seed=9';
const { check, finish } = checks();

const { context, close } = await startChromium(driverDir, {
    headless: mode !== 'window',
    deviceScaleFactor: 1,
    // The driver cannot hold back a request a service worker makes; the worker's offline play
    // is the player test's.
    serviceWorkers: 'block',
    args: ['--window-position=0,0'],
});
// A controller as the browser shows one: the standard layout (button 0 is A, 1 is B, 2 is X,
// 3 is Y, 12-15 the d-pad). The test presses its buttons through window.pondlarkPad.
await context.addInitScript(() => {
    const buttons = Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 }));
    const pad = { id: 'Test pad (STANDARD GAMEPAD)', index: 0, connected: true, mapping: 'standard',
        timestamp: 1, axes: [0, 0, 0, 0], buttons };
    Object.defineProperty(Navigator.prototype, 'getGamepads', { value: () => [pad, null, null, null] });
    window.pondlarkPad = (button, down) => {
        buttons[button] = { pressed: down, touched: down, value: down ? 1 : 0 };
        pad.timestamp = performance.now();
    };
    window.addEventListener('load', () => {
        const e = new Event('gamepadconnected');
        e.gamepad = pad;
        window.dispatchEvent(e);
    });
});
const page = context.pages()[0] || await context.newPage();
const problems = [];
page.on('console', m => { if (m.type() === 'error') problems.push(m.text()); });
page.on('pageerror', e => problems.push(String(e)));
page.on('dialog', d => { problems.push('dialog: ' + d.message()); d.dismiss(); });

// The driver's own evaluation counts as a player's gesture (and a gesture lets a page play
// sound), so what is read before the first key goes through the DevTools protocol, which does not.
const devtools = await context.newCDPSession(page);
async function peek(expression) {
    const r = await devtools.send('Runtime.evaluate', { expression, returnByValue: true });
    if (r.exceptionDetails) throw new Error(r.exceptionDetails.text);
    return r.result.value;
}
const status = () => peek('globalThis.Module && Module.pondlarkStatus || null');
// Waits (bounded) until the game's status makes `want` true. The status is read from here: the
// page runs no text as a script, which the driver's own waiting would need.
async function waitFor(want, what, ms) {
    const end = Date.now() + ms;
    let s = null;
    for (;;) {
        s = await status().catch(() => null);
        if (s && want(s)) return true;
        if (Date.now() > end) break;
        await new Promise(r => setTimeout(r, 20));
    }
    check(false, `${what} (last status ${JSON.stringify(s)})`);
    return false;
}
const shot = name => page.screenshot({ path: path.join(outDir, name), clip: { x: 0, y: 0, width: 800, height: 600 } });
// Pixels that differ between two PNGs (ImageMagick's count); -1 when they cannot be compared.
function differingPixels(a, b, diff) {
    try {
        execFileSync('compare', ['-metric', 'AE', a, b, path.join(outDir, diff)], { stdio: 'pipe' });
        return 0;
    } catch (e) {
        const n = parseInt(String(e.stderr), 10);
        return Number.isNaN(n) ? -1 : n;
    }
}
// A key held as a player holds it: the game reads the keyboard once a frame, and a press
// shorter than a frame goes unseen on a loaded machine.
async function hold(key, ms = 150) {
    await page.keyboard.down(key);
    await page.waitForTimeout(ms);
    await page.keyboard.up(key);
}
async function padPress(button) {
    await page.evaluate(b => window.pondlarkPad(b, true), button);
    await page.waitForTimeout(150);
    await page.evaluate(b => window.pondlarkPad(b, false), button);
    await page.waitForTimeout(150);
}
// The new tab a click opens, or null when none opens within 30 s (a loaded machine can take
// seconds to start a tab's renderer).
async function tabOpenedBy(click) {
    const opened = context.waitForEvent('page', { timeout: 30000 }).catch(() => null);
    await click();
    const tab = await opened;
    if (tab) await tab.waitForLoadState('domcontentloaded').catch(() => {});
    return tab;
}
// The game draws on: its frame count moves on within a second.
async function stillRunning() {
    const before = (await status()).frames;
    await page.waitForTimeout(1000);
    return (await status()).frames > before;
}

// The page's own controls over the frame are hidden for the pictures.
const hideControls = () => page.addStyleTag({ content: '#full { display: none }' });
const config = () => page.evaluate(() => {
    try { return Array.from(Module.FS.readFile('/save/Config.cfg')); } catch { return null; }
});
const desktopSettings = Array.from(fs.readFileSync(desktopConfig));
const same = (a, b) => a !== null && a.length === b.length && a.every((v, i) => v === b[i]);

try {
    await page.goto(pageUrl);
    const intro = await waitFor(s => s.scene === Scene.Intro, 'the intro starts', 60000);
    // Before the first key or click the browser holds the sound back. The game opens its sound
    // output on the pass after its first frame, which may not have run yet when the intro shows.
    const audioState =
        "Module.SDL2 && Module.SDL2.audioContext ? Module.SDL2.audioContext.state : 'no audio context'";
    let audioAtFirst = await peek(audioState);
    for (let i = 0; i < 100 && audioAtFirst === 'no audio context'; ++i) {
        await page.waitForTimeout(50);
        audioAtFirst = await peek(audioState);
    }
    const activeAtFirst = await peek('navigator.userActivation.hasBeenActive');
    await hideControls();
    if (intro) {
        check(true, 'the intro starts');
        await page.waitForTimeout(300);
        await shot('web-intro.png');
    }
    if (await waitFor(s => s.scene === Scene.MainMenu, 'the main menu follows the intro', 15000)) {
        check(true, 'the main menu follows the intro');
        // The same steps as the desktop's shot: the pointer over the first entry.
        await page.mouse.move(500, 185);
        await page.waitForTimeout(500);
        await shot('web-main-menu.png');
        const diff = differingPixels(path.join(outDir, 'web-main-menu.png'), desktopMenu, 'main-menu-diff.png');
        check(diff === 0, `the main menu is pixel-identical to the desktop's frame (${diff} pixels differ)`);
    }
    // Settings: a country typed in the options is kept across a reload.
    await page.mouse.click(500, 260);
    if (await waitFor(s => s.scene === Scene.Options, 'the options open', 5000)) {
        check(true, 'the options open');
        await page.keyboard.type('SWEDEN', { delay: 60 });
        await page.waitForTimeout(200);
        await shot('web-options-typing.png');
        await page.keyboard.press('Escape');
    }
    await waitFor(s => s.scene === Scene.MainMenu, 'the options close', 5000);
    // The same steps on the desktop wrote the same bytes.
    await page.waitForTimeout(300);
    check(same(await config(), desktopSettings), 'the settings are written as the desktop writes them');
    await page.waitForTimeout(1000); // the page's copy to IndexedDB

    // A game from the keyboard, and a jump that scores.
    await page.keyboard.press('Enter');
    if (await waitFor(s => s.scene === Scene.Pond, 'Enter starts a game', 5000)) {
        check(true, 'Enter starts a game');
        // What the game's mixer hands the browser: the largest sample of every block the
        // browser's audio graph asks for (it asks only while the audio runs).
        await page.evaluate(() => {
            const node = Module.SDL2 && Module.SDL2.audio && Module.SDL2.audio.scriptProcessorNode;
            window.pondlarkSound = { blocks: 0, peak: 0 };
            if (!node) return;
            const render = node.onaudioprocess;
            node.onaudioprocess = e => {
                render(e);
                const out = window.pondlarkSound;
                out.blocks++;
                for (let c = 0; c < e.outputBuffer.numberOfChannels; ++c)
                    for (const v of e.outputBuffer.getChannelData(c)) out.peak = Math.max(out.peak, Math.abs(v));
            };
        });
        await page.waitForTimeout(2500); // the level's banner
        await shot('web-pond.png');
        // The frog may jump once the banner has gone: Space until the score moves (bounded).
        const before = (await status()).score;
        let after = before;
        for (let tries = 0; tries < 20 && after === before; ++tries) {
            await hold('Space');
            await page.waitForTimeout(300);
            after = (await status()).score;
        }
        check(after === before + 5, `a jump scores 5 (score ${before} -> ${after})`);
        const sound = await page.evaluate(() => ({
            state: Module.SDL2 && Module.SDL2.audioContext ? Module.SDL2.audioContext.state : 'no audio context',
            ...window.pondlarkSound,
        }));
        check(!activeAtFirst && audioAtFirst === 'suspended' && sound.state === 'running' &&
            sound.blocks > 0 && sound.peak > 0.01,
            `the sound plays after the first keys (audio ${audioAtFirst} before them${activeAtFirst ? ', the page already touched' : ''}, ${sound.state} after, ${sound.blocks} blocks, peak ${sound.peak.toFixed(3)})`);
        // Across the pond with Space held, as the desktop's feast pictures are made; a frog that
        // drowns on a loaded machine starts the pond again and goes on.
        await page.keyboard.down('Space');
        const fed = await waitFor(s => s.scene === Scene.Eating || s.scene === Scene.GameOver, 'the frog crosses the pond', 90000);
        await page.keyboard.up('Space');
        const s = await status();
        if (fed) check(s.scene === Scene.Eating, `the frog crosses the pond to the feast (status ${JSON.stringify(s)})`);
        if (s.scene === Scene.Eating) {
            await page.mouse.move(370, 300);
            await page.waitForTimeout(1000);
            await hold('Space', 450); // the tongue
            await shot('web-feast.png');
            // The browser plays in its own time, so the insects, the tongue, the clock and the
            // score stand a little apart from the desktop's; the shore, the frog and the plaques
            // are the same pixels (about 3000 of 480000 differ on a quiet machine).
            const diff = differingPixels(path.join(outDir, 'web-feast.png'), desktopFeast, 'feast-diff.png');
            check(diff >= 0 && diff < 9600, `the feast matches the desktop's but for what moves (${diff} pixels differ)`);
            if (mode === 'window')
                execFileSync('import', ['-window', 'root', path.join(outDir, 'real-window-feast.png')]);
            check(await stillRunning(), 'the feast goes on');
        }
    }
    await page.reload();
    await hideControls();
    if (await waitFor(s => s.scene === Scene.MainMenu, 'the game starts again after a reload', 90000))
        check(same(await config(), desktopSettings), 'the settings are kept across a reload');

    // A game to its end: jumping to and fro with Space held until the frog has starved or
    // drowned three times, with points enough for the table; then a name and the result sent.
    await page.mouse.move(10, 590);
    await page.keyboard.press('Enter');
    if (await waitFor(s => s.scene === Scene.Pond, 'a second game starts', 5000)) {
        await page.waitForTimeout(2500); // the level's banner
        await page.keyboard.down('Space');
        const ended = Date.now() + 180000;
        let turn = 'ArrowRight';
        while (Date.now() < ended && (await status()).scene === Scene.Pond) {
            await hold(turn, 400);
            turn = turn === 'ArrowRight' ? 'ArrowLeft' : 'ArrowRight';
        }
        await page.keyboard.up('Space');
    }
    const over = await status();
    check(over.scene === Scene.GameOver && over.score >= 100,
        `the game ends with points for the table (status ${JSON.stringify(over)})`);
    if (over.scene === Scene.GameOver) {
        await page.waitForTimeout(6000); // the name panel follows the words
        await page.keyboard.type('WEBFROG', { delay: 60 });
        // The controller's letters after the keyboard's: Y adds an A twice, X takes one away,
        // d-pad right steps it on to B.
        for (const button of [3, 3, 2, 15]) await padPress(button);
        await hold('ArrowDown'); // ticks "Send result"
        await page.waitForTimeout(300);
        await shot('web-name-entry.png');
        // The service is slow to answer: the panel draws on (its "Sending result" moves) while
        // the page waits for it.
        await page.route(/\/cgi\/version\.pl\?version/, async route => {
            await new Promise(r => setTimeout(r, 3000));
            await route.continue();
        });
        await hold('Enter');
        await page.waitForTimeout(500);
        const sending = await status();
        await page.waitForTimeout(1000);
        await shot('web-sending.png');
        const later = await status();
        check(sending.scene === Scene.GameOver && later.scene === Scene.GameOver && later.frames > sending.frames + 10,
            `the name panel draws on while the result is on its way (frames ${sending.frames} -> ${later.frames} in 1 s)`);
        // The table opens once both requests are over.
        if (await waitFor(s => s.scene === Scene.HighScores, 'the high scores follow the sent result', 20000)) {
            await shot('web-high-scores.png');
            // No verifier runs beside this test: the result is among every result sent.
            const listed = await (await fetch(service + 'api/scores?all=1')).json().catch(e => String(e));
            const rows = JSON.stringify(listed);
            check(rows.includes('"WEBFROGB"') && rows.includes(String(over.score)),
                `the service lists the result sent from the page, named by keys and pad (WEBFROGB ${over.score}; service: ${rows.slice(0, 300)})`);
            // "View online" opens the service's table in a new tab; the game runs on.
            const table = await tabOpenedBy(() => page.mouse.click(100, 348));
            const tableUrl = service + 'cgi/version.pl?prg=Pondlark&type=0&show';
            check(table && table.url() === tableUrl,
                `"View online" opens ${tableUrl} in a new tab (${table ? table.url() : 'no tab'})`);
            if (table) {
                check((await table.content()).includes('Show every result sent'), 'the online table offers every result');
                const all = await (await fetch(tableUrl + '&all=1')).text().catch(e => String(e));
                check(all.includes('WEBFROGB'), 'the online table of every result shows the result');
                await table.close();
            }
            check(await stillRunning(), 'the game runs on beside the new tab');
        }
    }
    await page.keyboard.press('Escape');
    if (await waitFor(s => s.scene === Scene.MainMenu, 'the main menu again', 5000)) {
        // The pointer rests on the item a moment first, as a player's does: the menu has just
        // come back and lights an item under a pointer that moved.
        await page.mouse.move(547, 480);
        await page.waitForTimeout(300);
        let site = await tabOpenedBy(() => page.mouse.click(547, 480));
        let note = '';
        if (!site) {
            // Seen now and then on a loaded machine, not understood yet: what the game shows
            // then, and whether a second click opens it.
            await shot('visit-no-tab.png');
            note = `; no tab on the first click, status ${JSON.stringify(await status())}, picture visit-no-tab.png`;
            site = await tabOpenedBy(() => page.mouse.click(547, 480));
            if (site) note += ', a second click opened it';
        }
        check(site && site.url() === service,
            `"Visit web site" opens ${service} in a new tab (${site ? site.url() : 'no tab'}${note})`);
        if (site) await site.close();
        check(await stillRunning(), 'the game runs on beside the web site');
        // The controller as on the desktop: from Start Game, d-pad down lights Options, A opens
        // it, B goes back.
        await page.mouse.move(500, 185);
        await page.waitForTimeout(300);
        await page.mouse.move(10, 590);
        await padPress(13);
        await padPress(0);
        if (await waitFor(s => s.scene === Scene.Options, 'the controller\'s d-pad and A open the options', 5000)) {
            check(true, 'the controller\'s d-pad and A open the options');
            await padPress(1);
            if (await waitFor(s => s.scene === Scene.MainMenu, 'the controller\'s B goes back to the main menu', 5000))
                check(true, 'the controller\'s B goes back to the main menu');
        }
    }
    // Full screen is the browser's: the corner button, and the game's own Alt+Enter, which asks
    // the browser too (the request goes out with the key's release, an event the browser
    // trusts).
    const fullScreen = async want => {
        for (let i = 0; i < 50; ++i) {
            const element = await page.evaluate(() => document.fullscreenElement ? document.fullscreenElement.id || 'canvas' : null);
            if ((element !== null) === want) return element;
            await page.waitForTimeout(100);
        }
        return want ? null : 'still full screen';
    };
    await page.addStyleTag({ content: '#full { display: block !important }' });
    await page.click('#full');
    check(await fullScreen(true) === 'canvas', 'the "Full screen" button shows the game full screen');
    await page.evaluate(() => document.exitFullscreen());
    check(await fullScreen(false) === null, 'leaving full screen');
    const altEnter = async () => {
        await page.keyboard.down('Alt');
        await hold('Enter');
        await page.keyboard.up('Alt');
    };
    await altEnter();
    check(await fullScreen(true) !== null, 'Alt+Enter asks the browser for full screen');
    await altEnter();
    check(await fullScreen(false) === null, 'Alt+Enter again leaves it');
    check(await stillRunning(), 'the game runs on after full screen');
    check(problems.length === 0, `no errors in the page${problems.length ? ': ' + problems.join(' | ') : ''}`);
} catch (e) {
    check(false, 'the run ends without an exception: ' + e);
} finally {
    await close();
}
finish();
