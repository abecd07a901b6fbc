// The browser build on a slow line: Chromium's own network throttling at 1.6 Mbit/s down (the
// DevTools protocol's emulation, applied to every request of the page), the page served by the
// score service. Passes when the game reaches its main menu: the service must keep sending the
// big files for as long as a slow player needs, and sends them compressed when asked.
//   node slow_line_test.mjs SERVICE_URL DRIVER_DIR
// Exits 0 when the menu came, 1 otherwise, printing what was downloaded and how long it took.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const [service, driverDir] = process.argv.slice(2);
const { chromium } = createRequire(path.join(driverDir, 'package.json'))('playwright-core');
const kBytesPerSecond = 200000; // 1.6 Mbit/s
const kMenuWithinMs = 150000;

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pondlark-chromium-'));
const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.PONDLARK_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    viewport: { width: 800, height: 600 },
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
        '--no-first-run', '--disable-background-networking', '--disable-component-update',
        '--disable-sync', '--test-type'],
});
const page = context.pages()[0] || await context.newPage();
const devtools = await context.newCDPSession(page);
await devtools.send('Network.enable');
await devtools.send('Network.emulateNetworkConditions', {
    offline: false, latency: 40, downloadThroughput: kBytesPerSecond, uploadThroughput: kBytesPerSecond / 2,
});
let received = 0;
const failed = [];
devtools.on('Network.loadingFinished', e => { received += e.encodedDataLength; });
devtools.on('Network.loadingFailed', e => failed.push(e.errorText));

const started = Date.now();
await page.goto(service + 'play/?seed=9');
let scene = 0;
while (Date.now() - started < kMenuWithinMs && scene !== 2 && failed.length === 0) {
    const r = await devtools.send('Runtime.evaluate', {
        expression: 'globalThis.Module && Module.pondlarkStatus ? Module.pondlarkStatus.scene : 0',
        returnByValue: true,
    }).catch(() => null);
    scene = r && r.result ? r.result.value : 0;
    if (scene === 1) {
        // The intro gives way to the menu on a key.
        await page.keyboard.press('Escape').catch(() => {});
    }
    await new Promise(r => setTimeout(r, 200));
}
const seconds = ((Date.now() - started) / 1000).toFixed(1);
const mb = (received / 1e6).toFixed(2);
await context.close();
fs.rmSync(profile, { recursive: true, force: true });
if (scene === 2) {
    console.log(`ok   the main menu after ${seconds} s at 1.6 Mbit/s (${mb} MB received)`);
    process.exit(0);
}
console.log(`FAIL no main menu after ${seconds} s at 1.6 Mbit/s (${mb} MB received; ` +
    `scene ${scene}; failed requests: ${failed.join(', ') || 'none'})`);
process.exit(1);
