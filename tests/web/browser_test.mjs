// Plays the browser build as a player would, in Debian's headless Chromium over the DevTools
// protocol, against a score server on 127.0.0.1 that serves the page:
//   - the first visit's transfer (compressed, as the server sends it) and the start-up time;
//   - the main menu on the canvas against the scripted runner's screenshot of the same tick;
//   - full screen by the page's button, Alt+Enter and the browser; the web site in a new tab;
//   - Enter, Enter and a held Up: a race whose road has moved;
//   - the tick pacing over 30 s of racing;
//   - a score sent from the page that the server's table then shows;
//   - an option changed in the page that a reload keeps (settings kept in IndexedDB);
//   - the next race with the same car runs against the ghost of the first (kept in IndexedDB);
//   - a daily run against the day's leader as its ghost, verified into the day's table;
//   - a game the desktop runner sent with its replay, verified, watched in the page from the table;
//   - the page played as on a phone (phone.mjs).
// Screenshots (PNG) of the page's canvas go to --out for a look.
//
// node browser_test.mjs --build BUILD --site WEB_BUILD --out DIR --node-modules DIR
import { spawn, execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { phoneProfile } from './phone.mjs';

const options = {};
for (let i = 2; i + 1 < process.argv.length; i += 2) {
  options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
}
const require = createRequire(path.join(path.resolve(options['node-modules']), 'index.js'));
const puppeteer = require('puppeteer-core');

const source = path.resolve(path.dirname(new URL(import.meta.url).pathname), '..', '..');
const build = path.resolve(options.build);
const site = path.resolve(options.site);
const out = path.resolve(options.out);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'rivoltra-web-test-'));

// Everything the test does is bounded: past this the browser and the server are stopped and the
// test fails.
const kWholeTestMs = 420_000;
const kFirstVisitBytes = 3 * 1024 * 1024;
// Start to the main menu: the target is 3 s, measured 2.4 to 3.8 s on a 2-core machine that other
// builds kept busy (load 6 to 8); the check fails at twice the target, so a busy machine does not
// fail CI while a start that really got slower does. The figure is printed against the target.
const kStartToMenuTargetMs = 3000;
const kStartToMenuMs = 2 * kStartToMenuTargetMs;
const kMenuTick = 120;
const kPacingSeconds = 30;
// The page's canvas is the runner's picture after the browser's 5-6-5 to 8-8-8 conversion, which
// may round differently by a step.
const kChannelTolerance = 8;
const kPlayerName = 'WEBTEST';
const kDailyName = 'DAILYWEB';
const kDailyLeader = 'LEADER';
// Replay uploads the server refused (409); the score check expects exactly one.
const replayRefusals = [];
const kRaceScore = 4321;

const results = [];
function record(name, passed, detail) {
  results.push(passed);
  console.log(`${passed ? 'ok' : 'not ok'} - ${name}${detail ? ': ' + detail : ''}`);
}
function check(name, condition, detail) {
  record(name, Boolean(condition), detail);
  return Boolean(condition);
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A score server on a free loopback port with a database of its own, serving a build. The
// desktop runner's clock is fake and plays its 4.5-minute game in seconds: the time check of its
// race ticket is given ten minutes of slack.
function startServer(siteFolder = site, database = 'scores.db') {
  const server = spawn(path.join(build, 'rivoltra-scores'),
    ['--listen', '127.0.0.1:0', '--db', path.join(scratch, database), '--web', siteFolder,
      '--ticket-slack', '600'],
    { stdio: ['ignore', 'pipe', fs.openSync(path.join(out, `server-${database}.log`), 'w')] });
  return new Promise((resolve, reject) => {
    let text = '';
    const timer = setTimeout(() => reject(new Error('the server did not start')), 10_000);
    server.on('exit', (code) => reject(new Error(`the server ended with ${code}`)));
    server.stdout.on('data', (chunk) => {
      text += chunk;
      const match = /listening on (http:\/\/127\.0\.0\.1:\d+)\//.exec(text);
      if (match) {
        clearTimeout(timer);
        resolve({ server, base: match[1] });
      }
    });
  });
}

// The runner's picture after a script, as a base64 PNG.
function runnerShot(name, script) {
  const file = path.join(out, `runner-${name}.png`);
  execFileSync(path.join(build, 'rivoltra-script'), [], {
    cwd: build, input: `${script}\nshot ${file}\n`, stdio: ['pipe', 'ignore', 'inherit'],
  });
  return fs.readFileSync(file).toString('base64');
}

async function saveCanvas(page, name) {
  const url = await page.evaluate(() => document.getElementById('canvas').toDataURL('image/png'));
  fs.writeFileSync(path.join(out, `browser-${name}.png`), Buffer.from(url.split(',')[1], 'base64'));
}

// Pixels of the canvas that differ from a PNG (or from another canvas picture) by more than the
// tolerance in any channel.
async function differingPixels(page, referencePng, tolerance) {
  return page.evaluate(async (png, limit) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + png;
    await image.decode();
    const canvas = document.getElementById('canvas');
    const expected = document.createElement('canvas');
    expected.width = canvas.width;
    expected.height = canvas.height;
    const context = expected.getContext('2d');
    context.drawImage(image, 0, 0);
    const want = context.getImageData(0, 0, canvas.width, canvas.height).data;
    const have = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let differing = 0;
    for (let i = 0; i < want.length; i += 4) {
      if (Math.abs(want[i] - have[i]) > limit || Math.abs(want[i + 1] - have[i + 1]) > limit ||
          Math.abs(want[i + 2] - have[i + 2]) > limit) {
        ++differing;
      }
    }
    return { differing, total: want.length / 4 };
  }, referencePng, tolerance);
}

async function canvasPng(page) {
  const url = await page.evaluate(() => document.getElementById('canvas').toDataURL('image/png'));
  return url.split(',')[1];
}

async function waitFor(page, description, predicate, timeoutMs, ...args) {
  try {
    await page.waitForFunction(predicate, { timeout: timeoutMs, polling: 50 }, ...args);
    return true;
  } catch {
    record(description, false, 'timed out');
    return false;
  }
}

// Presses a key as the player does: held for a few ticks (menus and the race read the keys that
// are down at a tick), then a little time for the game's next ticks.
async function press(page, key, settleMs = 250) {
  await page.keyboard.press(key, { delay: 100 });
  await sleep(settleMs);
}

// The screen the game's last tick ran on (the main menu is 0).
const screenNow = (page) => page.evaluate(() => {
  const ticks = Module.rivoltraMeasure.ticks;
  return ticks.length ? Module.rivoltraMeasure.screen : -1;
});

async function firstVisit(page, base) {
  let transferred = 0;
  const session = await page.createCDPSession();
  await session.send('Network.enable');
  session.on('Network.loadingFinished', (event) => { transferred += event.encodedDataLength; });
  await page.evaluateOnNewDocument((tick) => { window.rivoltraTest = { holdAtTick: tick }; },
    kMenuTick);
  await page.goto(`${base}/play/`, { waitUntil: 'load' });
  if (!await waitFor(page, 'the game reaches its main menu',
    (tick) => Module.rivoltraMeasure.held === tick, 20_000, kMenuTick)) {
    return false;
  }
  const { runtimeAt, mainMenuAt } = await page.evaluate(() => Module.rivoltraMeasure);
  check(`start to the main menu within ${kStartToMenuMs} ms`, mainMenuAt < kStartToMenuMs,
    `${Math.round(mainMenuAt)} ms from navigation, target ${kStartToMenuTargetMs} ms ` +
    `${mainMenuAt < kStartToMenuTargetMs ? 'met' : 'missed'} (files loaded and program ` +
    `started at ${Math.round(runtimeAt)} ms)`);
  check('a computer\'s page shows no touch controls',
    !await page.evaluate(() => document.body.classList.contains('touch')));
  check(`first visit transfers at most ${kFirstVisitBytes} bytes`, transferred <= kFirstVisitBytes,
    `${transferred} bytes`);
  const files = fs.readdirSync(site).map((name) => `${name} ${fs.statSync(path.join(site, name)).size}`);
  console.log(`# site files: ${files.join(', ')}`);
  await session.detach();
  return true;
}

// The footer links the licence and the notices, which the server serves beside the game.
async function licenceLinks(page) {
  const links = await page.evaluate(() => Array.from(document.querySelectorAll('footer a'),
    (link) => link.href));
  const replies = await Promise.all(links.map(async (link) => {
    const reply = await fetch(link);
    return `${new URL(link).pathname} ${reply.status} ${(await reply.text()).length} chars`;
  }));
  check('the footer links the licence and the third-party notices, both served',
    links.some((link) => link.endsWith('/play/LICENSE.txt')) &&
    links.some((link) => link.endsWith('/play/THIRD-PARTY-NOTICES.txt')) &&
    replies.every((reply) => / 200 /.test(reply)), replies.join(', '));
}

async function mainMenuMatchesRunner(page) {
  await saveCanvas(page, 'main-menu');
  const { differing, total } =
    await differingPixels(page, runnerShot('main-menu', `tick ${kMenuTick}`), kChannelTolerance);
  check(`the main menu at tick ${kMenuTick} matches the runner's`, differing <= total / 1000,
    `${differing} of ${total} pixels differ`);
  await page.evaluate(() => {
    Module.rivoltraMeasure.holdAtTick = null;
    Module._rivoltra_resume();
  });
}

// Enter (car choice), Enter (the race), then Up held: the road must have moved under the car. The
// held Up then goes on for the pacing measurement.
async function raceAndPacing(page) {
  await press(page, 'Enter', 1500);
  await press(page, 'Enter', 3000);
  await saveCanvas(page, 'race-start');
  const standing = await canvasPng(page);
  await page.keyboard.down('ArrowUp');
  await sleep(3000);
  await saveCanvas(page, 'race');
  const { differing, total } = await differingPixels(page, standing, kChannelTolerance);
  check('Up moves the car: the race picture changes', differing > total / 10,
    `${differing} of ${total} pixels changed`);
  // Holding Up scores 10 points at most, far below the fresh table's last entry (200): the race
  // is given a score worth an entry, kept whether the race ends on its own or by Escape and Y.
  await page.evaluate((score) => Module._rivoltra_test_set_race_score(score), kRaceScore);

  const from = await page.evaluate(() => Module.rivoltraMeasure.ticks.length);
  await sleep(kPacingSeconds * 1000);
  await page.keyboard.up('ArrowUp');
  const ticks = await page.evaluate((start) => Module.rivoltraMeasure.ticks.slice(start), from);
  const gameSteps = [];
  const browserSteps = [];
  for (let i = 1; i < ticks.length; ++i) {
    gameSteps.push(ticks[i][1] - ticks[i - 1][1]);
    browserSteps.push(ticks[i][2] - ticks[i - 1][2]);
  }
  const within = gameSteps.filter((step) => step >= 27 && step <= 33).length;
  const seconds = (ticks[ticks.length - 1][2] - ticks[0][2]) / 1000;
  const rate = (ticks.length - 1) / seconds;
  const sorted = [...browserSteps].sort((a, b) => a - b);
  const percentile = (p) => sorted[Math.min(sorted.length - 1, Math.floor(p * sorted.length))];
  check('99 % of the tick steps on the game clock are 30 +- 3 ms', within >= 0.99 * gameSteps.length,
    `${within} of ${gameSteps.length}`);
  check('33.3 ticks per second of browser time (+- 3 %)', Math.abs(rate - 1000 / 30) <= 1,
    `${rate.toFixed(2)} ticks/s over ${seconds.toFixed(1)} s; browser-time steps ms: ` +
    `median ${percentile(0.5).toFixed(1)}, 1 % ${percentile(0.01).toFixed(1)}, ` +
    `99 % ${percentile(0.99).toFixed(1)}, max ${sorted[sorted.length - 1].toFixed(1)}`);
}

// Escape and Y end the race if the lost lives have not already; the score enters the table under
// the player's name and is sent (the send question's first button is OK).
async function sendScore(page, base) {
  if (await screenNow(page) === 1) {
    await press(page, 'Escape', 500);
    await press(page, 'y', 1500);
  }
  if (!check('the race ends on the name entry', await screenNow(page) === 71,
    `screen ${await screenNow(page)}`)) {
    return;
  }
  // The field starts with NONAME.
  for (let i = 0; i < 6; ++i) await press(page, 'Backspace', 0);
  await page.keyboard.type(kPlayerName, { delay: 60 });
  await press(page, 'Enter', 800);
  await saveCanvas(page, 'send-results');
  await press(page, 'Enter', 0);
  await waitFor(page, 'the score is sent', () => !Module.rivoltraFetching &&
    Module.rivoltraMeasure.screen === 0, 20_000);
  const table = await (await fetch(`${base}/cgi/version.pl?prg=Rivoltra&show&type=0`)).text();
  fs.writeFileSync(path.join(out, 'online-table.html'), table);
  // The race goes on for a while after the score was set and may add or take a few hundred
  // points (bonuses, rabbits).
  const row = new RegExp(`>${kPlayerName}<[^]*?class="score">(\\d+)<`).exec(table);
  check('the server\'s table shows the score sent from the page',
    row && Math.abs(Number(row[1]) - kRaceScore) < 1000,
    row ? `${kPlayerName} ${row[1]}` : 'no such row');
  // The page uploaded the game's replay after the report; its re-simulation does not reach the
  // score the test gave the race, so the server refuses it and the entry stays unverified.
  const entry = new RegExp(`>${kPlayerName}<[^]*?</tr>`).exec(table);
  check('the replay sent from the page is checked: a score set by hand is not verified',
    replayRefusals.length === 1 && entry && !entry[0].includes('class="verified"'),
    `${replayRefusals.join(' ')}; row ${entry ? 'found' : 'missing'}`);
}

// The autopilot plays in the desktop runner with a race ticket from this server (with --daily,
// today's daily run) and sends its game under NAME with its replay (name entry, then OK on the
// send-results screen). The runner plays faster than real time: the server gives the ticket's
// time check ten minutes of slack.
function ticketedRun(base, name, ...flags) {
  const folder = fs.mkdtempSync(path.join(scratch, 'ticketed-'));
  fs.mkdirSync(path.join(folder, 'Data'));
  for (const part of ['Res', 'Music']) {
    fs.symlinkSync(path.join(build, 'Data', part), path.join(folder, 'Data', part));
  }
  execFileSync(path.join(build, 'rivoltra-datagen'), [path.join(folder, 'Data'), 'defaults'],
    { stdio: 'ignore' });
  execFileSync(path.join(build, 'rivoltra-ticketed-run'),
    [...flags, base, '1', path.join(folder, 'game.rvr'), name, 'send'],
    { cwd: folder, stdio: ['ignore', 'ignore', 'inherit'], timeout: 120_000 });
}

// A game the autopilot plays in the desktop runner with a race ticket from this server, sent with
// its replay, is verified; the table's "watch" link opens the browser game on that replay, which
// plays by itself: the race runs without a key pressed.
async function watchVerifiedReplay(browser, base) {
  ticketedRun(base, 'WATCHER');
  const table = await (await fetch(`${base}/cgi/version.pl?prg=Rivoltra&show&type=0`)).text();
  const watch = /href="(\/play\/\?replay=\d+)">watch<\/a>/.exec(table);
  if (!check('the runner\'s game, sent with its replay, is verified and offered to watch',
    watch, watch ? watch[1] : 'no watch link')) return;
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  await page.goto(base + watch[1]);
  const racing = await waitFor(page, 'the replay plays in the page', () =>
    Module.rivoltraMeasure?.screen === 1 && Module.rivoltraMeasure.ticks.length > 150, 20_000);
  if (racing) {
    await saveCanvas(page, 'watch-replay');
    record('the replay plays in the page', true, 'racing without a key pressed');
  }
  await page.close();
}

// The page's button and Alt+Enter switch full screen, and the game's option follows when the
// browser leaves full screen by itself; VISIT WEB SITE opens the server's home page in a new tab.
async function fullScreenAndWebSite(page, browser, base) {
  const state = () => page.evaluate(() =>
    [document.fullscreenElement !== null, Module._rivoltra_full_screen_option() === 1]);
  const altEnter = async () => {
    await page.keyboard.down('Alt');
    await press(page, 'Enter', 0);
    await page.keyboard.up('Alt');
    await sleep(800);
  };
  await page.click('#fullscreen');
  await sleep(800);
  const button = await state();
  await altEnter();
  const windowed = await state();
  await altEnter();
  const again = await state();
  await page.evaluate(() => document.exitFullscreen());
  await sleep(800);
  const left = await state();
  check('full screen by the button, Alt+Enter and the browser, the option following',
    JSON.stringify([button, windowed, again, left]) ===
    JSON.stringify([[true, true], [false, false], [true, true], [false, false]]),
    `page and option: ${JSON.stringify([button, windowed, again, left])}`);

  const opened = new Promise((resolve) => browser.once('targetcreated', resolve));
  for (let i = 0; i < 5; ++i) await press(page, 'ArrowDown', 150);
  await press(page, 'Enter', 0);
  const tab = await Promise.race([opened, sleep(5000).then(() => null)]);
  check('VISIT WEB SITE opens the server\'s home page in a new tab',
    tab !== null && tab.url() === `${base}/`, tab ? tab.url() : 'no tab');
  // The game waits while its tab is in the background, as an inactive window does.
  const ticks = () => page.evaluate(() => Module.rivoltraMeasure.ticks.length);
  await sleep(300);
  const hiddenFrom = await ticks();
  await sleep(1000);
  const hiddenTicks = await ticks() - hiddenFrom;
  if (tab !== null) await (await tab.page())?.close();
  await page.bringToFront();
  await sleep(1000);
  const shownTicks = await ticks() - hiddenFrom - hiddenTicks;
  check('the game waits while its tab is in the background', hiddenTicks <= 1 && shownTicks > 20,
    `${hiddenTicks} ticks in 1 s behind the new tab, ${shownTicks} in 1 s in front again`);
  for (let i = 0; i < 5; ++i) await press(page, 'ArrowUp', 150);
}

// Main menu, Down twice (past the daily run), Enter: the options, with the display line selected;
// Down selects the music.
async function openOptionsOnMusic(page) {
  await press(page, 'ArrowDown', 200);
  await press(page, 'ArrowDown', 200);
  await press(page, 'Enter', 1500);
  await press(page, 'ArrowDown', 1000);
}

// The music line of the options switched off; Escape and Up go back to the main menu's START.
// Returns the options screen as it looks with the change.
async function changeOption(page) {
  await openOptionsOnMusic(page);
  await saveCanvas(page, 'options-before');
  const before = await canvasPng(page);
  await press(page, 'Enter', 1000);
  await saveCanvas(page, 'options-changed');
  const changed = await canvasPng(page);
  const toggled = await differingPixels(page, before, kChannelTolerance);
  check('switching the music off changes the options screen', toggled.differing > 100,
    `${toggled.differing} pixels`);
  await press(page, 'Escape', 1500);
  await press(page, 'ArrowUp', 200);
  await press(page, 'ArrowUp', 500);
  return { before, changed };
}

// After the reload (the options stand, see optionSurvivesReload) the first race, the best with
// car 1 so far, drives beside the next race with that car as its ghost; the race is then ended
// before it could make the table.
async function raceAgainstGhost(page) {
  await press(page, 'Escape', 1500);
  await press(page, 'ArrowUp', 200);
  await press(page, 'ArrowUp', 500);
  await press(page, 'Enter', 1500);
  await press(page, 'Enter', 3000);
  await page.keyboard.down('ArrowUp');
  await sleep(2500);
  await saveCanvas(page, 'race-ghost');
  await page.keyboard.up('ArrowUp');
  const ticks = await page.evaluate(() => Module._rivoltra_test_ghost_ticks());
  check('the next race with the same car has the first as its ghost', ticks > 0,
    `${ticks} ghost ticks`);
  if (await screenNow(page) === 1) {
    await press(page, 'Escape', 500);
    await press(page, 'y', 1500);
  }
  check('the ghost race ends on the main menu', await screenNow(page) === 0,
    `screen ${await screenNow(page)}`);
}

// The day's course from the main menu's DAILY RUN, after another player (the desktop runner) led
// the day: the daily screen asks for the day's ticket, table and leader's run, START RUN races
// the day's car against the leader as its ghost, the run ends on the name entry (a daily run
// always does), and the run sent from the page is verified into the day's table.
async function dailyRunOnTheDaysTable(page, base) {
  ticketedRun(base, kDailyLeader, '--daily');
  const box = await (await page.$('#canvas')).boundingBox();
  const clickAt = async (x, y, settleMs) => {
    await page.mouse.click(box.x + x * box.width / 800, box.y + y * box.height / 600);
    await sleep(settleMs);
  };
  // After the race before, the main menu slides in and the high scores open by themselves;
  // Escape goes back to the main menu, which slides in again.
  await page.waitForFunction(() => Module.rivoltraMeasure.screen === 3, { timeout: 8000 })
    .catch(() => {});
  if (await screenNow(page) !== 0) await press(page, 'Escape', 3000);
  await clickAt(677, 190, 2500);
  if (!check('the main menu\'s DAILY RUN opens the daily screen', await screenNow(page) === 9,
    `screen ${await screenNow(page)}`)) {
    return;
  }
  await saveCanvas(page, 'daily-screen');
  await clickAt(410, 450, 2000);
  if (!check('START RUN races the day\'s course', await screenNow(page) === 1,
    `screen ${await screenNow(page)}`)) {
    return;
  }
  await page.keyboard.down('ArrowUp');
  await sleep(4000);
  await saveCanvas(page, 'daily-ghost');
  await page.keyboard.up('ArrowUp');
  const ticks = await page.evaluate(() => Module._rivoltra_test_ghost_ticks());
  check('the daily run races the day\'s leader as its ghost', ticks > 0, `${ticks} ghost ticks`);
  await press(page, 'Escape', 500);
  await press(page, 'y', 1500);
  if (!check('the daily run ends on the name entry', await screenNow(page) === 71,
    `screen ${await screenNow(page)}`)) {
    return;
  }
  for (let i = 0; i < 6; ++i) await press(page, 'Backspace', 0);
  await page.keyboard.type(kDailyName, { delay: 60 });
  await press(page, 'Enter', 800);
  await press(page, 'Enter', 0);
  await waitFor(page, 'the daily run is sent', () => !Module.rivoltraFetching &&
    Module.rivoltraMeasure.screen === 9, 20_000);
  const list = await (await fetch(`${base}/cgi/daily.pl`)).text();
  check('the daily run sent from the page is verified into the day\'s table beside the leader',
    list.includes(`\n${kDailyName}|`) && list.includes(`\n${kDailyLeader}|`), list.slice(0, 200));
}

// After a reload the options must show the music still off.
async function optionSurvivesReload(page, options) {
  await page.evaluateOnNewDocument(() => { window.rivoltraTest = {}; });
  await page.reload({ waitUntil: 'load' });
  if (!await waitFor(page, 'the reloaded game reaches its main menu',
    () => Module.rivoltraMeasure.ticks.length > 150, 20_000)) {
    return;
  }
  await openOptionsOnMusic(page);
  await saveCanvas(page, 'options-reloaded');
  const kept = await differingPixels(page, options.changed, kChannelTolerance);
  const reset = await differingPixels(page, options.before, kChannelTolerance);
  check('the reload keeps the changed option', kept.differing * 10 < reset.differing,
    `${kept.differing} pixels differ from the changed screen, ${reset.differing} from the ` +
    'unchanged one');
}

async function main() {
  const { server, base } = await startServer();
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: path.join(scratch, 'profile'),
    args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--window-size=1000,800',
      '--disable-background-timer-throttling', '--disable-renderer-backgrounding'],
  });
  const deadline = setTimeout(() => {
    record('the whole test within its time', false, `${kWholeTestMs} ms`);
    browser.process()?.kill('SIGKILL');
    server.kill('SIGKILL');
    process.exit(1);
  }, kWholeTestMs);
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 800 });
    const problems = [];
    page.on('pageerror', (error) => problems.push(error.message));
    page.on('console', (message) => {
      // The browser reports the replay's refusal (see sendScore) on the console too.
      const refusal = message.text().includes('status of 409') && replayRefusals.length > 0;
      if (message.type() === 'error' && !refusal) problems.push(message.text());
    });
    page.on('response', (response) => {
      if (response.status() === 409 && response.url().includes('/cgi/replay.pl?token=')) {
        replayRefusals.push(`${response.status()} ${response.url()}`);
      } else if (response.status() >= 400) {
        problems.push(`${response.status()} ${response.url()}`);
      }
    });
    if (await firstVisit(page, base)) {
      await mainMenuMatchesRunner(page);
      await licenceLinks(page);
      await fullScreenAndWebSite(page, browser, base);
      const options = await changeOption(page);
      await raceAndPacing(page);
      await sendScore(page, base);
      await optionSurvivesReload(page, options);
      await raceAgainstGhost(page);
      await dailyRunOnTheDaysTable(page, base);
      await watchVerifiedReplay(browser, base);
      // The computer's page would keep drawing beside the phone's.
      await page.close();
      await phoneProfile(browser, {
        record, check, waitFor, problems, out, scratch, site, source, startServer,
        serverBase: base, serverPort: Number(new URL(base).port),
      });
    }
    check('no errors in the page', problems.length === 0, problems.slice(0, 3).join(' | '));
  } finally {
    clearTimeout(deadline);
    await browser.close();
    server.kill('SIGTERM');
    fs.rmSync(scratch, { recursive: true, force: true });
  }
  const failed = results.filter((passed) => !passed).length;
  console.log(`${results.length - failed} passed, ${failed} failed`);
  process.exitCode = failed === 0 ? 0 : 1;
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
