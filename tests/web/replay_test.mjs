// Verified results from the browser: a game played in headless Chromium through the score
// service, its result sent with its replay, kept beside the settings and shown from the
// high-score table; the service's verifier (the desktop build) playing it to the same score and
// listing it as verified, the desktop's pondlark-shot playing the downloaded replay to that
// score too, and the page at `play/?replay=ID` showing it: the pond, P pausing and resuming, the
// end with the same score, Esc going on to the game; a replay the service has not got and a
// damaged one are said in the page. Usage:
//   node replay_test.mjs SERVICE_URL OUT_DIR DRIVER_DIR SHOT_TOOL GAME_DIR
// Exits 0 when every check holds, 1 with the failed checks listed otherwise.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { checks, startChromium } from './chromium_lib.mjs';

const [service, outDir, driverDir, shotTool, gameDir] = process.argv.slice(2);
const Scene = { Intro: 1, MainMenu: 2, Pond: 3, HighScores: 7, GameOver: 9 };
const { check, finish } = checks();
// The driver cannot stand in for a request a service worker makes (the damaged replay).
const { context, close } = await startChromium(driverDir, { deviceScaleFactor: 1, serviceWorkers: 'block' });
const page = context.pages()[0] || await context.newPage();
const problems = [];
// The browser says so of the replay asked for that the service has not got, as of any 404.
page.on('console', m => {
    if (m.type() === 'error' && !(m.location().url || '').endsWith('/api/replays/999999')) problems.push(m.text());
});
page.on('pageerror', e => problems.push(String(e)));

const read = () => page.evaluate(() => ({
    game: globalThis.Module && Module.pondlarkStatus || null,
    replay: globalThis.Module && Module.pondlarkReplay || null,
    line: document.getElementById('replay').hidden ? '' : document.getElementById('replay').textContent,
})).catch(() => ({ game: null, replay: null, line: '' }));
// Waits (bounded) until what the page shows makes `want` true, which is a check; what it showed
// then, or null.
async function waitFor(wanted, what, ms) {
    const want = s => { try { return !!wanted(s); } catch { return false; } };
    const end = Date.now() + ms;
    let seen = await read();
    while (!want(seen) && Date.now() < end) {
        await new Promise(r => setTimeout(r, 50));
        seen = await read();
    }
    const ok = want(seen);
    check(ok, ok ? what : `${what} (last seen ${JSON.stringify(seen)})`);
    return ok ? seen : null;
}
// A key held as a player holds it: the game reads the keyboard once a frame.
async function hold(key, ms = 150) {
    await page.keyboard.down(key);
    await page.waitForTimeout(ms);
    await page.keyboard.up(key);
}
const json = async url => (await fetch(url)).json();

try {
    // A game on seed 9's pond, jumped to and fro until the lives run out, its result sent.
    await page.goto(service + 'play/?seed=9');
    await page.mouse.move(10, 590);
    await waitFor(s => s.game && s.game.scene === Scene.MainMenu, 'the main menu', 90000);
    await page.keyboard.press('Enter');
    let over = null;
    if (await waitFor(s => s.game.scene === Scene.Pond, 'Enter starts a game', 10000)) {
        await page.keyboard.down('Space');
        const ended = Date.now() + 180000;
        let turn = 'ArrowRight';
        while (Date.now() < ended && (await read()).game.scene === Scene.Pond) {
            await hold(turn, 400);
            turn = turn === 'ArrowRight' ? 'ArrowLeft' : 'ArrowRight';
        }
        await page.keyboard.up('Space');
        over = await waitFor(s => s.game.scene === Scene.GameOver && s.game.naming,
            'the game ends and asks for a name', 30000);
    }
    let replayPath = null;
    let played = -1;
    if (over) {
        await page.keyboard.type('WEBREPLAY', { delay: 60 });
        await hold('ArrowDown'); // ticks "Send result"
        await hold('Enter');
        await waitFor(s => s.game.scene === Scene.HighScores, 'the high scores follow the sent result', 30000);
        const kept = await page.evaluate(() => {
            try { return Module.FS.readdir('/save/Replays').filter(n => n.endsWith('.plkr')); } catch (e) { return String(e); }
        });
        check(Array.isArray(kept) && kept.length === 1 && kept[0].endsWith('-WEBREPLAY.plkr'),
            `the page keeps the entry's replay beside its settings (${JSON.stringify(kept)})`);
        // The table shows the kept game over itself, as on the desktop: Right picks the new
        // entry, Enter plays it, Esc comes back to the table.
        await hold('ArrowRight');
        await hold('Enter');
        if (await waitFor(s => s.game.watching && s.game.scene === Scene.HighScores,
            'Right and Enter play the entry\'s kept game over the table', 10000)) {
            await page.waitForTimeout(2500); // past the level's banner
            const shot = path.join(outDir, 'web-table-replay.png');
            await page.screenshot({ path: shot });
            const colours = Number(execFileSync('identify', ['-format', '%k', shot], { encoding: 'utf8' }));
            check(colours > 500, `the kept game shows its pond (${colours} colours, web-table-replay.png)`);
            await hold('Escape');
            await waitFor(s => !s.game.watching && s.game.scene === Scene.HighScores,
                'Esc comes back to the table', 10000);
        }
        // The service verifies it off the request path: the default table lists it once verified.
        const end = Date.now() + 120000;
        let row = null;
        while (!row && Date.now() < end) {
            const rows = (await json(service + 'api/scores?limit=100').catch(() => ({}))).scores || [];
            row = rows.find(r => r.name === 'WEBREPLAY') || null;
            if (!row) await new Promise(r => setTimeout(r, 250));
        }
        const all = row ? '' : JSON.stringify(await json(service + 'api/scores?all=1&limit=100').catch(e => String(e)));
        check(row && row.verified === true && row.score === over.game.score && /^\/api\/replays\/\d+$/.test(row.replay),
            `the service verifies the browser's game and lists it with its replay (score ${over.game.score}; row ${JSON.stringify(row)}${all && '; every result: ' + all})`);
        if (row) {
            replayPath = row.replay;
            // The same bytes played by the desktop build, headless.
            const bytes = Buffer.from(await (await fetch(service + replayPath.slice(1))).arrayBuffer());
            const file = path.join(outDir, 'web-game.plkr');
            fs.writeFileSync(file, bytes);
            const line = execFileSync(shotTool, ['--dir', gameDir, '--replay', file], { encoding: 'utf8' }).trim();
            played = Number((/^replay: score (\d+) /.exec(line) || [])[1]);
            check(played === over.game.score, `the desktop build plays the browser's replay to the same score (${line})`);
        }
    }

    if (replayPath) {
        // Watching it in the page: the pond, P pausing and going on, the end, Esc to the game.
        const id = replayPath.split('/').pop();
        await page.goto(service + 'play/?replay=' + id);
        const pond = await waitFor(s => s.replay && s.replay.state === 'playing' && s.game.scene === Scene.Pond,
            'the page plays the replay', 90000);
        if (pond) {
            await page.waitForTimeout(1500); // the level's banner is over the pond at first
            const shot = path.join(outDir, 'web-replay-pond.png');
            await page.screenshot({ path: shot });
            // The pond is a picture of thousands of colours; an undrawn canvas has one.
            const colours = Number(execFileSync('identify', ['-format', '%k', shot], { encoding: 'utf8' }));
            check(colours > 500, `the replay's frame shows the pond (${colours} colours, web-replay-pond.png)`);
            check(pond.line.includes('P pauses'), `the page says what the keys do ("${pond.line}")`);
            await hold('p');
            const paused = await waitFor(s => s.replay.state === 'paused', 'P pauses the replay', 5000);
            if (paused) {
                await page.waitForTimeout(1000);
                const still = await read();
                check(still.replay.steps === paused.replay.steps,
                    `a paused replay stands still (steps ${paused.replay.steps} -> ${still.replay.steps} in 1 s)`);
                await hold('p');
                await waitFor(s => s.replay.state === 'playing' && s.replay.steps > still.replay.steps,
                    'P again goes on with the replay', 5000);
            }
        }
        const end = await waitFor(s => s.replay && s.replay.state === 'over', 'the replay reaches its end', 240000);
        if (end)
            check(end.replay.score === played && end.line.includes(`${played} points`),
                `the replay ends with the verified score (${end.replay.score}, "${end.line}")`);
        await hold('Escape');
        await waitFor(s => s.replay.state === 'left' && !s.line && s.game.scene === Scene.MainMenu,
            'Esc leaves the replay for the game\'s main menu', 30000);
        await page.screenshot({ path: path.join(outDir, 'web-after-replay.png') });

        // A damaged replay (one byte of the real one flipped) and one the service has not got.
        const bytes = fs.readFileSync(path.join(outDir, 'web-game.plkr'));
        bytes[Math.floor(bytes.length / 2)] ^= 0x40;
        await page.route(/\/api\/replays\/777$/, route => route.fulfill({
            status: 200, contentType: 'application/octet-stream', body: bytes }));
        for (const [id, want] of [['777', 'damaged replay'], ['999999', 'the score service has no replay 999999']]) {
            await page.goto(service + 'play/?replay=' + id);
            const said = await waitFor(s => s.replay && s.replay.state === 'failed' && s.game,
                `replay ${id}: the page says it cannot be shown`, 90000);
            if (said)
                check(said.line === `This replay cannot be shown: ${want}.` && said.game.scene <= Scene.MainMenu,
                    `replay ${id}: "${said.line}", and the game starts (scene ${said.game.scene})`);
        }
    }
    check(problems.length === 0, `no errors in the page${problems.length ? ': ' + problems.join(' | ') : ''}`);
} catch (e) {
    check(false, 'the run ends without an exception: ' + e);
} finally {
    await close();
}
finish();
