// The browser build in headless Chromium: intro, main menu (compared with the desktop's headless
// frame of the same steps), a game started from the keyboard, a jump that scores, the settings
// kept across a reload. Usage:
//   node browser_test.mjs SITE_URL DESKTOP_MAIN_MENU_PNG DESKTOP_CONFIG OUT_DIR DRIVER_DIR
// (DRIVER_DIR holds node_modules/playwright-core).
// Exits 0 when every check holds, 1 with the failed checks listed otherwise.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const [url, desktopMenu, desktopConfig, outDir, driverDir] = process.argv.slice(2);
// The driver lives in the per-user cache scripts/web-deps fills, not beside this file.
const { chromium } = createRequire(path.join(driverDir, 'package.json'))('playwright-core');
fs.mkdirSync(outDir, { recursive: true });
const Scene = { Intro: 1, MainMenu: 2, Pond: 3, Options: 6 };
const failures = [];
const check = (ok, what) => {
    console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
    if (!ok) failures.push(what);
};

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pondlark-chromium-'));
const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.PONDLARK_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    viewport: { width: 800, height: 600 },
    deviceScaleFactor: 1,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
        '--no-first-run', '--disable-background-networking', '--disable-component-update',
        '--disable-sync'],
});
const page = context.pages()[0] || await context.newPage();
const problems = [];
page.on('console', m => { if (m.type() === 'error') problems.push(m.text()); });
page.on('pageerror', e => problems.push(String(e)));
page.on('dialog', d => { problems.push('dialog: ' + d.message()); d.dismiss(); });

const status = () => page.evaluate(() => globalThis.Module && Module.pondlarkStatus || null);
// Waits (bounded) until the game's status `s` makes the expression `want` true.
async function waitFor(want, what, ms) {
    try {
        await page.waitForFunction(`(s => ${want})(globalThis.Module && Module.pondlarkStatus)`,
            null, { timeout: ms, polling: 20 });
        return true;
    } catch {
        check(false, `${what} (last status ${JSON.stringify(await status())})`);
        return false;
    }
}
const shot = name => page.screenshot({ path: path.join(outDir, name), clip: { x: 0, y: 0, width: 800, height: 600 } });
// Pixels that differ between two PNGs (ImageMagick's count); -1 when they cannot be compared.
function differingPixels(a, b) {
    try {
        execFileSync('compare', ['-metric', 'AE', a, b, path.join(outDir, 'main-menu-diff.png')], { stdio: 'pipe' });
        return 0;
    } catch (e) {
        const n = parseInt(String(e.stderr), 10);
        return Number.isNaN(n) ? -1 : n;
    }
}

// The page's own controls over the frame are hidden for the pictures.
const hideControls = () => page.addStyleTag({ content: '#full { display: none }' });
const config = () => page.evaluate(() => {
    try { return Array.from(Module.FS.readFile('/save/Config.cfg')); } catch { return null; }
});
const desktopSettings = Array.from(fs.readFileSync(desktopConfig));
const same = (a, b) => a !== null && a.length === b.length && a.every((v, i) => v === b[i]);

try {
    await page.goto(url);
    await hideControls();
    if (await waitFor('s && s.scene === 1', 'the intro starts', 60000)) {
        check(true, 'the intro starts');
        await page.waitForTimeout(300);
        await shot('web-intro.png');
    }
    if (await waitFor('s && s.scene === 2', 'the main menu follows the intro', 15000)) {
        check(true, 'the main menu follows the intro');
        // The same steps as the desktop's shot: the pointer over the first entry.
        await page.mouse.move(500, 185);
        await page.waitForTimeout(500);
        await shot('web-main-menu.png');
        const diff = differingPixels(path.join(outDir, 'web-main-menu.png'), desktopMenu);
        check(diff === 0, `the main menu is pixel-identical to the desktop's frame (${diff} pixels differ)`);
    }
    // Settings: a country typed in the options is kept across a reload.
    await page.mouse.click(500, 260);
    if (await waitFor('s && s.scene === 6', 'the options open', 5000)) {
        check(true, 'the options open');
        await page.keyboard.type('SWEDEN', { delay: 60 });
        await page.waitForTimeout(200);
        await shot('web-options-typing.png');
        await page.keyboard.press('Escape');
    }
    await waitFor('s && s.scene === 2', 'the options close', 5000);
    // The same steps on the desktop wrote the same bytes.
    await page.waitForTimeout(300);
    check(same(await config(), desktopSettings), 'the settings are written as the desktop writes them');
    await page.waitForTimeout(1000); // the page's copy to IndexedDB
    // A game from the keyboard, and a jump that scores.
    await page.keyboard.press('Enter');
    if (await waitFor('s && s.scene === 3', 'Enter starts a game', 5000)) {
        check(true, 'Enter starts a game');
        await page.waitForTimeout(2500); // the level's banner
        await shot('web-pond.png');
        // The frog may jump once the banner has gone: Space until the score moves (bounded).
        const before = (await status()).score;
        let after = before;
        for (let tries = 0; tries < 20 && after === before; ++tries) {
            // Held as a player holds it: the frog reads the keyboard once a frame.
            await page.keyboard.down('Space');
            await page.waitForTimeout(150);
            await page.keyboard.up('Space');
            await page.waitForTimeout(300);
            after = (await status()).score;
        }
        check(after === before + 5, `a jump scores 5 (score ${before} -> ${after})`);
        const sound = await page.evaluate(() => {
            const ctx = Module.SDL2 && Module.SDL2.audioContext;
            return ctx ? ctx.state : 'no audio context';
        });
        check(sound === 'running', `the sound plays after the first keys (audio ${sound})`);
        await page.waitForTimeout(300);
        await shot('web-jump.png');
    }
    await page.reload();
    if (await waitFor('s && s.scene >= 1', 'the game starts again after a reload', 60000))
        check(same(await config(), desktopSettings), 'the settings are kept across a reload');
    check(problems.length === 0, `no errors in the page${problems.length ? ': ' + problems.join(' | ') : ''}`);
} catch (e) {
    check(false, 'the run ends without an exception: ' + e);
} finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
}
console.log(failures.length ? `${failures.length} check(s) failed` : 'all checks hold');
process.exit(failures.length ? 1 : 0);
