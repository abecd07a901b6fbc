// What the browser tests share: Debian's Chromium started through the driver in a profile of its
// own, and the checks each prints as it goes and counts at the end.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

// WebGL through SwiftShader, and nothing of Chromium's own traffic beside the test's.
export const chromiumArgs = ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--no-first-run', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--test-type'];

// A Chromium with a fresh profile (PONDLARK_CHROMIUM names another program), headless at 800x600
// unless `options` (launchPersistentContext's, `args` added to chromiumArgs) say otherwise; the
// driver lives in DRIVER_DIR/node_modules, the per-user cache scripts/web-deps fills. `close`
// ends it and removes the profile.
export async function startChromium(driverDir, options = {}) {
    const { chromium } = createRequire(path.join(driverDir, 'package.json'))('playwright-core');
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pondlark-chromium-'));
    const { args = [], ...rest } = options;
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: process.env.PONDLARK_CHROMIUM || '/usr/bin/chromium',
        headless: true,
        viewport: { width: 800, height: 600 },
        ...rest,
        args: [...chromiumArgs, ...args],
    });
    const close = async () => {
        await context.close();
        fs.rmSync(profile, { recursive: true, force: true });
    };
    return { context, close };
}

// `check(ok, what)` prints one line for each check; `finish()` says how many failed and exits
// with 0 when none did, 1 otherwise.
export function checks() {
    const failures = [];
    const check = (ok, what) => {
        console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
        if (!ok) failures.push(what);
    };
    const finish = () => {
        console.log(failures.length ? `${failures.length} check(s) failed` : 'all checks hold');
        process.exit(failures.length ? 1 : 0);
    };
    return { check, finish };
}
