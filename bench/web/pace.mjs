// The browser game's pace at the display's rate: headless Chromium (60 Hz display frames) plays
// the page served by the score service, crosses the first pond of seed 9 with Space held, and
// counts the game's own steps over 20 s of the feast.
//   node pace.mjs SERVICE_URL DRIVER_DIR
// Prints one line: `web pace: N steps in T s = S steps/s (feast)`; exits 1 when the feast never came.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const [service, driverDir] = process.argv.slice(2);
const { chromium } = createRequire(path.join(driverDir, 'package.json'))('playwright-core');
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pondlark-chromium-'));
const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.PONDLARK_CHROMIUM || '/usr/bin/chromium',
    headless: true, viewport: { width: 800, height: 600 },
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync', '--test-type'],
});
const page = context.pages()[0] || await context.newPage();
const devtools = await context.newCDPSession(page);
const status = async () => {
    const r = await devtools.send('Runtime.evaluate', {
        expression: 'globalThis.Module && Module.pondlarkStatus || null', returnByValue: true });
    return r.result ? r.result.value : null;
};
const sleep = ms => new Promise(r => setTimeout(r, ms));
async function until(want, ms) {
    const end = Date.now() + ms;
    for (;;) {
        const s = await status().catch(() => null);
        if (s && want(s)) return s;
        if (Date.now() > end) return null;
        await sleep(20);
    }
}
await page.goto(service + 'play/?seed=9');
let ok = await until(s => s.scene === 2, 60000);
if (ok) {
    await page.keyboard.press('Enter');
    await until(s => s.scene === 3, 5000);
    await sleep(3500); // the level's banner
    await page.keyboard.down('Space');
    ok = await until(s => s.scene === 4, 90000);
    await page.keyboard.up('Space');
}
if (!ok) {
    console.log('web pace: the feast never came');
    process.exit(1);
}
await sleep(1000);
const a = await status(), t0 = Date.now();
await sleep(20000);
const b = await status(), t1 = Date.now();
const steps = b.frames - a.frames, seconds = (t1 - t0) / 1000;
console.log(`web pace: ${steps} steps in ${seconds.toFixed(2)} s = ${(steps / seconds).toFixed(2)} steps/s ` +
    `(${b.scene === 4 ? 'feast' : 'scene ' + b.scene} at the end)`);
await context.close();
fs.rmSync(profile, { recursive: true, force: true });
