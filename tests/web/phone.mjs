// The browser build played as on a phone: a 390 x 844 portrait and an 844 x 390 landscape
// viewport with touch and mobile emulation, touches sent over the DevTools protocol, the page
// reached through a proxy that can cut the network off and switch to a new build:
//   - no installability errors; the full-screen button only where the Fullscreen API is;
//   - taps alone reach a race; two fingers hold accelerate and steer, the car moves sideways and
//     the score rises; fire with them; a finger sliding to the other steering button; a touch
//     cancelled by the system; the time from a touch to the tick that reads it;
//   - a rotation in the middle of the race; the pause button and the prompt's buttons;
//   - the name entry through the text field; a score sent while offline, on the server's table
//     once the page is online again;
//   - no scroll and no zoom after all of it, swipes and a pinch over the game included;
//   - a second visit with the network off starts from the service worker; a repeat visit's
//     transfer and start time; a new build on the server used whole at the following start.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import { startSwitchProxy } from './switch_proxy.mjs';

const kPortrait = { width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true,
  isLandscape: false };
const kLandscape = { ...kPortrait, width: 844, height: 390, isLandscape: true };
const kUserAgent = 'Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like ' +
  'Gecko) Chrome/120.0.0.0 Mobile Safari/537.36';
const kFirstVisitBytes = 3 * 1024 * 1024;
const kFirstStartTargetMs = 2000;
const kRepeatVisitBytes = 50 * 1024;
// Start times are printed against their targets and fail at twice them, as the computer's
// first visit does: a busy machine does not fail CI, a start that really got slower does.
const kRepeatStartTargetMs = 1000;
const kTickMs = 30;
const kPhoneName = 'PHONE';
const kPhoneScore = 5432;
// The race actions' bits (the game's order).
const Action = { accelerate: 0, brake: 1, left: 2, right: 3, finish: 5, yes: 6, no: 7, fire: 8 };
const Screen = { mainMenu: 0, race: 1, sendResults: 7, carChoice: 8, nameEntry: 71 };

export async function phoneProfile(browser, h) {
  const proxy = await startSwitchProxy(h.serverPort);
  const base = `http://127.0.0.1:${proxy.port}`;
  const dialogs = [];
  let page = null;
  try {
    page = await openPhonePage(browser, dialogs, h);
    await page.goto(`${base}/play/`, { waitUntil: 'load' });
    if (!await waitForMenu(page, h, 'the phone page reaches its main menu')) return;
    await installable(page, h);
    await firstVisitFigures(page, proxy, h);
    const session = await page.createCDPSession();
    if (!await tapsReachARace(page, session, h)) return;
    await saveShot(page, h, 'phone-portrait-race');
    await pictureFillsTheCanvas(page, h);
    await twoFingersAndFire(page, session, h);
    await rotateMidRace(page, session, h);
    await pauseAndPrompt(page, session, h);
    await nameThroughTheTextField(page, session, h);
    await scoreSentWhileOffline(page, session, proxy, dialogs, h);
    await noScrollNoZoom(page, session, h);
    await page.close();
    page = null;
    await offlineAndRepeatVisits(browser, dialogs, proxy, base, h);
    await withoutFullScreenApi(browser, dialogs, base, h);
    await newBuildUsedWhole(browser, dialogs, proxy, base, h);
  } finally {
    if (page) await page.close();
    await proxy.close();
  }
}

async function openPhonePage(browser, dialogs, h) {
  const page = await browser.newPage();
  await page.setUserAgent(kUserAgent);
  await page.setViewport(kPortrait);
  page.on('dialog', async (dialog) => {
    dialogs.push(dialog.message());
    await dialog.accept();
  });
  page.on('pageerror', (error) => h.problems.push(`phone: ${error.message}`));
  return page;
}

const waitForMenu = (page, h, name) => h.waitFor(page, name,
  () => Module.rivoltraMeasure?.screen === 0 && Module.rivoltraMeasure.ticks.length > 150, 20_000);

async function saveShot(page, h, name) {
  await page.screenshot({ path: path.join(h.out, `${name}.png`) });
}

async function installable(page, h) {
  await h.waitFor(page, 'the service worker controls the page',
    () => navigator.serviceWorker.controller !== null, 20_000);
  const session = await page.createCDPSession();
  const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
  h.check('no installability errors', installabilityErrors.length === 0,
    JSON.stringify(installabilityErrors));
  const manifest = await session.send('Page.getAppManifest');
  h.check('the manifest is read without errors', manifest.errors.length === 0 && manifest.data,
    JSON.stringify(manifest.errors));
  await session.detach();
  const touchAtStart = await page.evaluate(() => document.body.classList.contains('touch'));
  h.check('a phone\'s page starts with the touch controls', touchAtStart);
  const shown = await page.evaluate(() => !document.getElementById('fullscreen-touch').hidden);
  h.check('the full-screen button stands where the browser has the Fullscreen API', shown);
}

// Everything the server sent for the first visit, the worker's copy of the build included (it
// takes the files the page loaded from the browser's cache), and the start to the main menu.
async function firstVisitFigures(page, proxy, h) {
  await h.waitFor(page, 'the worker has kept the build',
    async () => (await caches.keys()).length === 1, 20_000);
  await h_sleep(500);
  const menuAt = await page.evaluate(() => Module.rivoltraMeasure.mainMenuAt);
  h.check(`the phone's first visit transfers at most ${kFirstVisitBytes} bytes, the worker's ` +
    `included, and starts within ${2 * kFirstStartTargetMs} ms`,
    proxy.bytes <= kFirstVisitBytes && menuAt < 2 * kFirstStartTargetMs,
    `${proxy.bytes} bytes from the server; main menu ${Math.round(menuAt)} ms after navigation ` +
    `(target ${kFirstStartTargetMs} ms ${menuAt < kFirstStartTargetMs ? 'met' : 'missed'})`);
}

// ---- Touches.

// The page point of a point of the game's 800 x 600 picture.
async function pagePoint(page, x, y) {
  return page.evaluate((gx, gy) => {
    const box = document.getElementById('canvas').getBoundingClientRect();
    return { x: box.left + gx * box.width / 800, y: box.top + gy * box.height / 600 };
  }, x, y);
}

async function buttonPoint(page, label) {
  return page.evaluate((name) => {
    const box = document.querySelector(`#touch [aria-label="${name}"]`).getBoundingClientRect();
    return { x: box.left + box.width / 2, y: box.top + box.height / 2 };
  }, label);
}

async function press(session, points) {
  await session.send('Input.dispatchTouchEvent', {
    type: 'touchStart', touchPoints: points.map((p, i) => ({ x: p.x, y: p.y, id: p.id ?? i })),
  });
}
async function lift(session) {
  await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}

async function tapGame(page, session, x, y) {
  const point = await pagePoint(page, x, y);
  await press(session, [point]);
  await h_sleep(60);
  await lift(session);
}
const h_sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const screenOf = (page) => page.evaluate(() => Module.rivoltraMeasure.screen);

// The column of the player's car: the mean x of its red body in the lower part of the picture,
// where the car drives.
async function carColumn(page) {
  return page.evaluate(() => {
    const data = document.getElementById('canvas').getContext('2d')
      .getImageData(0, 300, 800, 300).data;
    let sum = 0;
    let count = 0;
    for (let i = 0; i < data.length; i += 4) {
      if (data[i] > 170 && data[i + 1] < 70 && data[i + 2] < 70) {
        sum += (i / 4) % 800;
        ++count;
      }
    }
    return count > 200 ? sum / count : null;
  });
}

// The upper half of the picture (the road ahead, no car) kept, then the share of its pixels that
// changed since: the road scrolls while the car drives.
async function snapshot(page) {
  await page.evaluate(() => {
    window.roadSnapshot = document.getElementById('canvas').getContext('2d')
      .getImageData(0, 0, 800, 300).data;
  });
}
async function changedSinceSnapshot(page) {
  return page.evaluate(() => {
    const now = document.getElementById('canvas').getContext('2d').getImageData(0, 0, 800, 300)
      .data;
    const then = window.roadSnapshot;
    let changed = 0;
    for (let i = 0; i < now.length; i += 4) {
      const difference = Math.abs(now[i] - then[i]) + Math.abs(now[i + 1] - then[i + 1]) +
        Math.abs(now[i + 2] - then[i + 2]);
      if (difference > 24) ++changed;
    }
    return changed / (now.length / 4);
  });
}

async function tapsReachARace(page, session, h) {
  // START on the main menu, then the first car.
  await tapGame(page, session, 677, 143);
  if (!await h.waitFor(page, 'a tap on START opens the car choice',
    (s) => Module.rivoltraMeasure.screen === s, 5000, Screen.carChoice)) return false;
  await h_sleep(1200);
  await tapGame(page, session, 97, 277);
  if (!await h.waitFor(page, 'a tap on a car starts the race',
    (s) => Module.rivoltraMeasure.screen === s, 8000, Screen.race)) return false;
  const shown = await page.evaluate(() => document.body.classList.contains('touch') &&
    document.body.classList.contains('racing') &&
    getComputedStyle(document.querySelector('#touch .steer')).visibility === 'visible');
  h.record('taps alone reach a race, the touch controls shown', shown);
  // The start banner: the car moves once it is gone.
  await h_sleep(2500);
  return true;
}

// Records the race actions each tick read, as the page saw them.
async function watchTicks(page) {
  await page.evaluate(() => {
    window.seenActions = [];
    Module.rivoltraTickListeners.push((touched) => window.seenActions.push(touched));
  });
}
const seenSince = (page, from) => page.evaluate((start) => window.seenActions.slice(start), from);
const seenCount = (page) => page.evaluate(() => window.seenActions.length);

async function twoFingersAndFire(page, session, h) {
  await watchTicks(page);
  const gas = await buttonPoint(page, 'Accelerate');
  const right = await buttonPoint(page, 'Steer right');
  const left = await buttonPoint(page, 'Steer left');
  const fire = await buttonPoint(page, 'Fire');
  const column0 = await carColumn(page);
  await snapshot(page);
  await press(session, [{ ...gas, id: 1 }]);
  await press(session, [{ ...gas, id: 1 }, { ...right, id: 2 }]);
  // The car steers at its own pace, and a busy machine runs fewer ticks a second: up to four
  // seconds for it to move over. The furthest column it reached counts: the course is the
  // ticket's random one, and a crash on the way may put the car back.
  let column1 = null;
  for (let waited = 0; waited < 4000; waited += 250) {
    await h_sleep(250);
    const now = await carColumn(page);
    if (now !== null && (column1 === null || now > column1)) column1 = now;
    if (column0 !== null && column1 !== null && column1 > column0 + 20) break;
  }
  const road = await changedSinceSnapshot(page);
  h.check('two fingers hold accelerate and steer: the car moves right while the road scrolls',
    column0 !== null && column1 !== null && column1 > column0 + 20 && road > 0.1,
    `car column ${column0?.toFixed(0)} -> ${column1?.toFixed(0)}, ` +
    `${(100 * road).toFixed(0)} % of the upper picture changed`);

  // A third finger fires while the other two hold on.
  const from = await seenCount(page);
  await press(session, [{ ...gas, id: 1 }, { ...right, id: 2 }, { ...fire, id: 3 }]);
  await h_sleep(300);
  const three = (1 << Action.accelerate) | (1 << Action.right) | (1 << Action.fire);
  const seen = await seenSince(page, from);
  h.check('fire, accelerate and steer together reach the same ticks',
    seen.some((bits) => (bits & three) === three), `${seen.length} ticks`);

  // The steering finger slides onto the other steering button.
  const slideFrom = await seenCount(page);
  await session.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [
    { ...gas, id: 1 }, { ...left, id: 2 }, { ...fire, id: 3 }] });
  await h_sleep(300);
  const slid = await seenSince(page, slideFrom);
  const last = slid[slid.length - 1] ?? 0;
  h.check('a finger sliding from one button to the next changes its action',
    (last & (1 << Action.left)) !== 0 && (last & (1 << Action.right)) === 0 &&
    (last & (1 << Action.accelerate)) !== 0, `last tick's actions ${last.toString(2)}`);

  // The system cancels the touches (a call comes in): every action lets go.
  const cancelFrom = await seenCount(page);
  await session.send('Input.dispatchTouchEvent', { type: 'touchCancel', touchPoints: [] });
  await h_sleep(200);
  const after = await seenSince(page, cancelFrom);
  h.check('a touch cancelled by the system releases its action',
    after.length > 0 && after[after.length - 1] === 0,
    `last tick's actions ${(after[after.length - 1] ?? -1).toString(2)}`);

  // Taps on fire at uneven times against the ticks, for the time from a touch to the game.
  for (let i = 0; i < 20; ++i) {
    await press(session, [fire]);
    await h_sleep(20 + (i * 17) % 50);
    await lift(session);
    await h_sleep(30 + (i * 23) % 40);
  }
  await h_sleep(100);
  const latencies = await page.evaluate(() => Module.rivoltraMeasure.touchLatencies.slice());
  const sorted = (key) => latencies.map((press) => press[key]).sort((a, b) => a - b);
  const toTick = sorted('toTick');
  const toFrame = sorted('toFrame');
  const stampToTick = sorted('stampToTick');
  const middle = (values) => values[Math.floor(values.length / 2)]?.toFixed(1);
  const largest = (values) => values[values.length - 1]?.toFixed(1);
  // The game clock counts whole milliseconds: a tick due 30 ms after the touch may read 31.
  h.check('a touch changes the game\'s input at the next tick (due at most 30 ms after the ' +
    'page has the touch)',
    latencies.length > 0 && latencies.every((press) => press.nextTick) &&
    toTick[toTick.length - 1] <= kTickMs + 1,
    `${latencies.length} presses, each read by the first tick after it: ` +
    `${latencies.every((press) => press.nextTick)}; to that tick's time ms median ` +
    `${middle(toTick)}, max ${largest(toTick)}; to the animation frame that ran it median ` +
    `${middle(toFrame)}, max ${largest(toFrame)}; from the event's time stamp to the tick ` +
    `median ${middle(stampToTick)}, max ${largest(stampToTick)}`);
}

async function rotateMidRace(page, session, h) {
  await page.setViewport(kLandscape);
  await h_sleep(600);
  const layout = await page.evaluate(() => {
    const canvas = document.getElementById('canvas').getBoundingClientRect();
    const steer = document.querySelector('#touch .steer').getBoundingClientRect();
    const drive = document.querySelector('#touch .drive').getBoundingClientRect();
    return { canvas: [canvas.left, canvas.top, canvas.width, canvas.height],
      steer: [steer.left, steer.right], drive: [drive.left, drive.right],
      width: innerWidth, height: innerHeight };
  });
  const [left, top, width, height] = layout.canvas;
  h.check('a rotation in the race: the canvas as high as the screen, the controls at its sides',
    Math.abs(height - layout.height) <= 1 && Math.abs(width - height * 4 / 3) <= 2 &&
    layout.steer[0] < left + 40 && layout.drive[1] > left + width - 40 && top >= 0,
    JSON.stringify(layout));
  // Braked to a stop, then accelerated from the landscape button.
  const brake = await buttonPoint(page, 'Brake');
  await press(session, [brake]);
  await h_sleep(1500);
  await lift(session);
  await snapshot(page);
  const gas = await buttonPoint(page, 'Accelerate');
  await press(session, [gas]);
  await h_sleep(1000);
  await saveShot(page, h, 'phone-landscape-race');
  await lift(session);
  const road = await changedSinceSnapshot(page);
  h.check('in landscape the accelerate button drives on', road > 0.1,
    `${(100 * road).toFixed(0)} % of the upper picture changed`);
  await page.setViewport(kPortrait);
  await h_sleep(600);
}

async function tapButton(page, session, label) {
  await press(session, [await buttonPoint(page, label)]);
  await h_sleep(80);
  await lift(session);
  await h_sleep(300);
}

async function pauseAndPrompt(page, session, h) {
  const promptShown = () => page.evaluate(() => document.body.classList.contains('prompt') &&
    getComputedStyle(document.getElementById('prompt')).display !== 'none');
  await tapButton(page, session, 'Pause');
  const asked = await promptShown();
  await tapButton(page, session, 'No');
  const goesOn = !await promptShown() && await screenOf(page) === Screen.race;
  await page.evaluate((s) => Module._rivoltra_test_set_race_score(s), kPhoneScore);
  await tapButton(page, session, 'Pause');
  const askedAgain = await promptShown();
  await tapButton(page, session, 'Yes');
  const ended = await h.waitFor(page, 'Yes ends the race',
    (s) => Module.rivoltraMeasure.screen === s, 5000, Screen.nameEntry);
  h.check('the pause button asks to finish; No goes on, Yes ends the race',
    asked && goesOn && askedAgain && ended,
    JSON.stringify({ asked, goesOn, askedAgain, ended }));
}

async function nameThroughTheTextField(page, session, h) {
  const focused = await h.waitFor(page, 'the name entry focuses the text field',
    () => document.activeElement?.id === 'name-field', 3000);
  if (!focused) return;
  // The field starts with NONAME in the game; the phone's backspace erases it.
  for (let i = 0; i < 6; ++i) await page.keyboard.press('Backspace', { delay: 30 });
  await session.send('Input.insertText', { text: kPhoneName.toLowerCase() });
  await h_sleep(300);
  await saveShot(page, h, 'phone-name-entry');
  await page.keyboard.press('Enter');
  const done = await h.waitFor(page, 'Done sends the name to the game',
    (s) => Module.rivoltraMeasure.screen === s, 3000, Screen.sendResults);
  const touchStill = await page.evaluate(() => document.body.classList.contains('touch'));
  h.check('the name typed on the phone\'s keyboard reaches the game; the controls stay',
    done && touchStill);
}

async function tableHas(h, name) {
  const table = await (await fetch(`${h.serverBase}/cgi/version.pl?prg=Rivoltra&show&type=0`))
    .text();
  return new RegExp(`>${name}<`).test(table);
}

async function scoreSentWhileOffline(page, session, proxy, dialogs, h) {
  proxy.setOnline(false);
  await page.setOfflineMode(true);
  dialogs.length = 0;
  await tapGame(page, session, 315, 329);
  await h.waitFor(page, 'the offline send returns to the menu',
    () => Module.rivoltraMeasure.screen === 0 || Module.rivoltraMeasure.screen === 3, 20_000);
  h.check('sent offline: the player is told the score is kept',
    dialogs.some((text) => text.includes('kept')), JSON.stringify(dialogs));
  const before = await tableHas(h, kPhoneName);
  proxy.setOnline(true);
  await page.setOfflineMode(false);
  await h.waitFor(page, 'the kept score is sent once the page is online',
    () => (Module.rivoltraMeasure.unsentSent ?? 0) >= 1, 20_000);
  const after = await tableHas(h, kPhoneName);
  const note = await page.evaluate(() => document.getElementById('note').textContent);
  h.check('a score sent while offline is on the server\'s table after the page is online',
    !before && after, `before ${before}, after ${after}; note "${note}"`);
}

async function noScrollNoZoom(page, session, h) {
  // A swipe up, a swipe down (pull-to-refresh) and a pinch over the game.
  const middle = await pagePoint(page, 400, 300);
  const swipe = async (dy) => {
    await press(session, [middle]);
    for (let step = 1; step <= 5; ++step) {
      await session.send('Input.dispatchTouchEvent', { type: 'touchMove',
        touchPoints: [{ x: middle.x, y: middle.y + dy * step / 5, id: 0 }] });
    }
    await lift(session);
  };
  await swipe(-150);
  await swipe(250);
  await press(session, [{ x: middle.x - 10, y: middle.y, id: 0 }, { x: middle.x + 10, y: middle.y, id: 1 }]);
  for (let step = 1; step <= 5; ++step) {
    await session.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [
      { x: middle.x - 10 - 20 * step, y: middle.y, id: 0 },
      { x: middle.x + 10 + 20 * step, y: middle.y, id: 1 }] });
  }
  await lift(session);
  await h_sleep(300);
  const state = await page.evaluate(() => ({ scrollY: window.scrollY, scrollX: window.scrollX,
    scale: window.visualViewport.scale }));
  h.check('after all of it the page has not scrolled or zoomed',
    state.scrollY === 0 && state.scrollX === 0 && state.scale === 1, JSON.stringify(state));

  // A key hides the controls (a keyboard was attached); the next touch shows them again.
  const touchMode = () => page.evaluate(() => document.body.classList.contains('touch'));
  await page.keyboard.press('Shift');
  const afterKey = await touchMode();
  await tapGame(page, session, 10, 590);
  await h_sleep(100);
  h.check('a key hides the touch controls and a touch shows them again',
    !afterKey && await touchMode());
}

// ---- Visits.

async function visit(browser, dialogs, base, h, name) {
  const page = await openPhonePage(browser, dialogs, h);
  await page.goto(`${base}/play/`, { waitUntil: 'load' });
  const reached = await waitForMenu(page, h, name);
  const menuAt = reached ? await page.evaluate(() => Module.rivoltraMeasure.mainMenuAt) : null;
  return { page, reached, menuAt };
}

async function offlineAndRepeatVisits(browser, dialogs, proxy, base, h) {
  proxy.setOnline(false);
  const offline = await visit(browser, dialogs, base, h, 'the second visit with the network off');
  if (offline.reached) {
    h.record('a second visit with the network off starts to the main menu from the worker', true,
      `main menu ${Math.round(offline.menuAt)} ms after navigation`);
  }
  await offline.page.close();
  proxy.setOnline(true);

  const times = [];
  let bytes = [];
  for (let run = 0; run < 3; ++run) {
    proxy.resetBytes();
    const repeat = await visit(browser, dialogs, base, h, 'a repeat visit');
    // Whatever the worker fetches for itself in the moments after the start counts too.
    await h_sleep(500);
    bytes.push(proxy.bytes);
    if (repeat.reached) times.push(repeat.menuAt);
    await repeat.page.close();
  }
  const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
  h.check(`a repeat visit transfers under ${kRepeatVisitBytes} bytes`,
    bytes.length === 3 && median(bytes) < kRepeatVisitBytes, `bytes per visit ${bytes.join(', ')}`);
  h.check(`a repeat visit starts to the main menu within ${2 * kRepeatStartTargetMs} ms`,
    times.length === 3 && median(times) < 2 * kRepeatStartTargetMs,
    `median of 3: ${Math.round(median(times))} ms (${times.map(Math.round).join(', ')}), target ` +
    `${kRepeatStartTargetMs} ms ${median(times) < kRepeatStartTargetMs ? 'met' : 'missed'}`);
}

// A browser without the Fullscreen API for page elements (iPhone's Safari): no full-screen button.
async function withoutFullScreenApi(browser, dialogs, base, h) {
  const page = await openPhonePage(browser, dialogs, h);
  await page.evaluateOnNewDocument(() => {
    Object.defineProperty(Document.prototype, 'fullscreenEnabled', { get: () => false });
    delete Element.prototype.requestFullscreen;
  });
  await page.goto(`${base}/play/`, { waitUntil: 'load' });
  const hidden = await page.evaluate(() => ['fullscreen', 'fullscreen-touch'].map((id) => {
    const button = document.getElementById(id);
    return button.hidden && button.getBoundingClientRect().width === 0;
  }));
  h.check('without the Fullscreen API (iPhone) no full-screen button shows', hidden.every(Boolean),
    JSON.stringify(hidden));
  await page.close();
}

// A copy of the build with two files changed and its worker written anew, as a new build is.
function secondBuild(h) {
  const folder = path.join(h.scratch, 'site2');
  fs.cpSync(h.site, folder, { recursive: true });
  fs.appendFileSync(path.join(folder, 'page.js'), '\nwindow.rivoltraBuildMarker = "second";\n');
  const index = path.join(folder, 'index.html');
  fs.writeFileSync(index, fs.readFileSync(index, 'utf8')
    .replace('<title>', '<meta name="rivoltra-build" content="second">\n<title>'));
  execFileSync('cmake', [`-DSITE=${folder}`,
    `-DTEMPLATE=${path.join(h.source, 'web', 'service_worker.js.in')}`,
    '-P', path.join(h.source, 'web', 'write_service_worker.cmake')]);
  return folder;
}

async function newBuildUsedWhole(browser, dialogs, proxy, base, h) {
  const second = await h.startServer(secondBuild(h), 'scores2.db');
  try {
    proxy.setUpstream(Number(new URL(second.base).port));
    const markers = (page) => page.evaluate(() => [window.rivoltraBuildMarker ?? null,
      document.querySelector('meta[name="rivoltra-build"]')?.content ?? null]);
    const during = await visit(browser, dialogs, base, h, 'the visit that finds the new build');
    const old = during.reached ? await markers(during.page) : null;
    const noted = await h.waitFor(during.page, 'the new build is installed in the background',
      () => Module.rivoltraUpdateInstalled === true, 30_000);
    const note = await during.page.evaluate(() => document.getElementById('note').textContent);
    await during.page.close();
    const next = await visit(browser, dialogs, base, h, 'the start after the update');
    const fresh = next.reached ? await markers(next.page) : null;
    const caches = await next.page.evaluate(async () => (await self.caches.keys()));
    await next.page.close();
    h.check('a new build is fetched in the background and used whole at the following start',
      JSON.stringify(old) === '[null,null]' && noted &&
      JSON.stringify(fresh) === '["second","second"]' && caches.length === 1,
      `this start ${JSON.stringify(old)}, note "${note}", next start ${JSON.stringify(fresh)}, ` +
      `caches ${JSON.stringify(caches)}`);
  } finally {
    proxy.setUpstream(h.serverPort);
    second.server.kill('SIGTERM');
  }
}

// At a phone's pixel ratio the game's 800 x 600 picture covers the whole canvas: a backing store
// of the device's pixels would leave it in the top-left quarter, the rest black.
async function pictureFillsTheCanvas(page, h) {
  const found = await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const { width, height } = canvas;
    const corner = canvas.getContext('2d').getImageData(width * 3 / 4, height * 3 / 4,
      width / 4, height / 4).data;
    let lit = 0;
    for (let i = 0; i < corner.length; i += 4) {
      if (corner[i] + corner[i + 1] + corner[i + 2] > 60) ++lit;
    }
    return { width, height, litShare: lit / (corner.length / 4),
      pixelRatio: window.devicePixelRatio };
  });
  h.record('at the phone\'s pixel ratio the picture fills the canvas (its bottom-right quarter ' +
    'is drawn)', found.width === 800 && found.height === 600 && found.litShare > 0.5,
    JSON.stringify(found));
}
