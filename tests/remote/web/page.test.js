// The phone control page in headless Chromium against the real remote
// control server (a stand-in recorder behind it), loopback only. Cases
// that need a particular status document answer /api/status themselves.
'use strict';
const { spawn } = require('child_process');
const assert = require('assert/strict');
const fs = require('fs');
const path = require('path');
const { chromium } = require('playwright-core');

const serverProgram = process.env.REMOTE_PAGE_SERVER;
const shotDir = process.env.KORVEX_SCREENSHOT_DIR || path.join(__dirname, 'screenshots');
const phone = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true, deviceScaleFactor: 2 };
const phoneLandscape = { viewport: { width: 844, height: 390 }, isMobile: true, hasTouch: true, deviceScaleFactor: 2 };

function startServer() {
  return new Promise((resolve, reject) => {
    const child = spawn(serverProgram, [], { stdio: ['ignore', 'pipe', 'pipe'] });
    let out = '';
    const timer = setTimeout(() => reject(new Error('server did not start')), 15000);
    child.stdout.on('data', (d) => {
      out += d;
      const m = /PORT (\d+)/.exec(out);
      if (m) { clearTimeout(timer); resolve({ child, port: Number(m[1]) }); }
    });
    child.stderr.on('data', () => {});
    child.on('exit', (code) => reject(new Error('server exited ' + code)));
  });
}

function channel(id, active, name) {
  return { active, colorRange: 'Default', deviceLink: active ? '/dev/video' + id : '', framerate: 30,
           height: 1080, id, name: name || 'Camera ' + id, width: 1920 };
}
function status(over) {
  return Object.assign({ activeSourceId: 1, activeVideoCount: 0, channels: [1, 2, 3, 4].map((i) => channel(i, false)),
    countdownSeconds: 0, currentFps: 0, isArming: false, isRecording: false, masterVolume: 1,
    selectedGlobalFps: 30, sessionName: 'S', timecode: '00:00:00' }, over);
}
function withActive(ids, over) {
  return status(Object.assign({ channels: [1, 2, 3, 4].map((i) => channel(i, ids.includes(i))), activeVideoCount: ids.length }, over));
}

// A page whose polls get the given status document (changeable through
// holder.doc) and whose switch commands are noted instead of sent.
async function scriptedPage(browser, base, doc, extra) {
  const context = await browser.newContext(phone);
  const page = await context.newPage();
  const holder = { doc, switches: [], adds: [] };
  await page.route('**/api/status', (route) => route.fulfill({ contentType: 'application/json', body: JSON.stringify(holder.doc) }));
  await page.route('**/api/switch*', (route) => {
    const id = Number(new URL(route.request().url()).searchParams.get('id'));
    holder.switches.push(id);
    // the program source follows the command, as on the real server
    holder.doc = Object.assign({}, holder.doc, { activeSourceId: id });
    route.fulfill({ contentType: 'application/json', body: '{}' });
  });
  if (extra) await extra(page, holder);
  await page.goto(base);
  return { page, holder, context };
}

const cards = (page) => page.$$eval('#grid .card', (els) => els.map((e) => ({
  text: e.querySelector('.cl, .al').textContent, pgm: e.classList.contains('pgm'),
  add: e.classList.contains('add'), wide: e.classList.contains('wide') })));

async function waitFor(fn, what, ms = 5000) {
  const end = Date.now() + ms;
  for (;;) {
    try { const v = await fn(); if (v) return v; } catch (e) { if (Date.now() > end) throw e; }
    if (Date.now() > end) throw new Error('timed out waiting for ' + what);
    await new Promise((r) => setTimeout(r, 50));
  }
}

const cases = [];
const test = (name, fn) => cases.push({ name, fn });

test('a user cuts between cameras and starts and stops a take', async ({ browser, base, api }) => {
  const context = await browser.newContext(phone);
  const page = await context.newPage();
  const problems = [];
  page.on('pageerror', (e) => problems.push(String(e)));
  await page.goto(base);
  assert.equal(await page.title(), 'Korvex Studio - Remote');
  await waitFor(async () => (await cards(page)).length === 3, 'two camera cards and the add card');
  assert.deepEqual((await cards(page)).map((c) => c.text), ['CAM 1', 'CAM 2', 'DODAJ SOURCE']);
  await waitFor(() => page.$eval('#stream', (img) => img.naturalWidth === 480), 'the preview picture');

  await page.tap('#grid .card[data-id="2"]');
  await waitFor(async () => (await api('/api/status')).activeSourceId === 2, 'the switch to 2');
  await waitFor(async () => (await page.textContent('#tally')) === 'PROGRAM (PGM 2)', 'tally PGM 2');
  assert.equal(await page.textContent('#activeLabel'), 'CAM 2 ACTIVE');

  await page.tap('#cutBtn');
  await waitFor(async () => (await api('/api/status')).activeSourceId === 1, 'NEXT CAM back to 1');

  await page.tap('#recBtn');
  await waitFor(async () => (await api('/api/status')).isRecording === true, 'the take to start');
  await waitFor(async () => (await page.textContent('#recText')) === 'STOP REC', 'STOP REC');
  assert.equal(await page.textContent('#statusBadge'), 'RECORDING');
  assert.ok(await page.$eval('#preview', (e) => e.classList.contains('live')));
  fs.mkdirSync(shotDir, { recursive: true });
  await page.screenshot({ path: path.join(shotDir, 'remote_page_portrait.png') });

  await page.tap('#recBtn');
  await waitFor(async () => (await api('/api/status')).isRecording === false, 'the take to stop');
  await waitFor(async () => (await page.textContent('#recText')) === 'START REC', 'START REC');

  // Add a camera on channel 3 through the dialog.
  await page.tap('#grid .card.add');
  await waitFor(() => page.isVisible('#dialog'), 'the dialog');
  await waitFor(async () => (await page.$$eval('#dDevice option', (o) => o.map((x) => x.textContent))).join() === 'Virtual HD', 'the device list');
  assert.equal(await page.inputValue('#dChannel'), '3');
  await page.fill('#dName', '  Overhead ');
  await page.tap('#dApply');
  await waitFor(async () => !(await page.isVisible('#dialog')), 'the dialog to close');
  const after = await api('/api/status');
  assert.equal(after.channels[2].active, true);
  assert.equal(after.channels[2].deviceLink, '/dev/video4');
  await waitFor(async () => (await cards(page)).length === 4, 'the third card');
  assert.deepEqual(problems, []);

  const land = await browser.newContext(phoneLandscape);
  const lpage = await land.newPage();
  await lpage.goto(base);
  await waitFor(async () => (await cards(lpage)).length === 4, 'cards in landscape');
  await waitFor(() => lpage.$eval('#stream', (img) => img.naturalWidth === 480), 'the preview in landscape');
  const box = await lpage.$eval('#previewWrap', (e) => { const r = e.getBoundingClientRect(); return { x: r.x, w: r.width, h: r.height }; });
  const side = await lpage.$eval('#side', (e) => { const r = e.getBoundingClientRect(); return { x: r.x, w: r.width }; });
  assert.equal(side.w, 300);
  assert.ok(side.x > box.x + box.w - 1, 'controls stand right of the preview');
  await lpage.screenshot({ path: path.join(shotDir, 'remote_page_landscape.png') });
  await land.close();
  await context.close();
});

test('channels 1 and 3 with 3 on program; NEXT CAM goes to 1; gear opens its settings', async ({ browser, base }) => {
  const { page, holder, context } = await scriptedPage(browser, base, withActive([1, 3], { activeSourceId: 3 }));
  await waitFor(async () => (await cards(page)).length === 3, 'cards');
  assert.deepEqual(await cards(page), [
    { text: 'CAM 1', pgm: false, add: false, wide: false },
    { text: 'CAM 3', pgm: true, add: false, wide: false },
    { text: 'DODAJ SOURCE', pgm: false, add: true, wide: false }]);
  await page.tap('#cutBtn');
  // the tap returns once the click is dispatched; the request follows it
  await waitFor(() => holder.switches.length === 1, 'the switch request');
  assert.deepEqual(holder.switches, [1]);
  // the tally follows the command's reply, which may come a moment later
  await waitFor(async () => (await page.textContent('#tally')) === 'PROGRAM (PGM 1)', 'tally PGM 1');
  await page.tap('#grid .card[data-id="3"] .gear');
  assert.equal(await page.textContent('#dTitle'), 'PODEŠAVANJE ZA KANAL 3');
  assert.equal(await page.isVisible('#dDisable'), true);
  assert.equal(await page.inputValue('#dName'), 'Camera 3');
  assert.deepEqual(holder.switches, [1], 'the gear does not switch');
  await context.close();
});

test('a status asked for before a switch does not move the tally back', async ({ browser, base }) => {
  const { page, holder, context } = await scriptedPage(browser, base, withActive([1, 3], { activeSourceId: 3 }));
  await waitFor(async () => (await cards(page)).length === 3, 'cards');
  // Status replies are held back, each with the document as it was when asked.
  let release;
  const gate = new Promise((r) => { release = r; });
  const held = [];
  await page.unroute('**/api/status');
  await page.route('**/api/status', async (route) => {
    const body = JSON.stringify(holder.doc);
    held.push(body);
    await gate;
    await route.fulfill({ contentType: 'application/json', body });
  });
  await waitFor(() => held.length >= 1, 'a poll to be held');
  await page.tap('#grid .card[data-id="1"]');
  await waitFor(() => holder.switches.length === 1, 'the switch request');
  release();
  await waitFor(() => page.evaluate(() => fetch('/api/status').then(() => true)), 'the held replies delivered');
  assert.ok(JSON.parse(held[0]).activeSourceId === 3, 'the first held reply is from before the switch');
  assert.equal(await page.textContent('#tally'), 'PROGRAM (PGM 1)');
  await context.close();
});

test('no active channel: one wide add card and NEXT CAM cycles 1..4', async ({ browser, base }) => {
  const { page, holder, context } = await scriptedPage(browser, base, status({ activeSourceId: 0 }));
  await waitFor(async () => (await cards(page)).length === 1, 'the add card');
  assert.deepEqual(await cards(page), [{ text: 'DODAJ PRVI VIDEO SOURCE', pgm: false, add: true, wide: true }]);
  const width = await page.$eval('#grid .card', (e) => e.getBoundingClientRect().width);
  const grid = await page.$eval('#grid', (e) => e.getBoundingClientRect().width);
  assert.ok(Math.abs(width - grid) < 1, 'spans both columns');
  for (let i = 0; i < 5; ++i) await page.tap('#cutBtn');
  await waitFor(() => holder.switches.length === 5, 'five switch requests');
  assert.deepEqual(holder.switches, [2, 3, 4, 1, 2]);
  await context.close();
});

test('four channels: no add card', async ({ browser, base }) => {
  const { page, context } = await scriptedPage(browser, base, withActive([1, 2, 3, 4], { activeSourceId: 2 }));
  await waitFor(async () => (await cards(page)).length === 4, 'four cards');
  assert.deepEqual((await cards(page)).map((c) => c.text), ['CAM 1', 'CAM 2', 'CAM 3', 'CAM 4']);
  await context.close();
});

test('arming, recording and the FPS badge texts', async ({ browser, base }) => {
  const { page, holder, context } = await scriptedPage(browser, base, withActive([1], { isArming: true, countdownSeconds: 2 }));
  const shows = (sel, text) => waitFor(async () => (await page.textContent(sel)) === text, sel + ' = ' + text);
  await shows('#recText', 'ARMING (2s)');
  assert.equal(await page.textContent('#statusBadge'), 'ARMING');
  holder.doc = withActive([1], { isArming: true, countdownSeconds: 0 });
  await shows('#recText', 'ARMING (3s)');
  holder.doc = withActive([1], { currentFps: 29.97, selectedGlobalFps: 30, timecode: '00:01:02' });
  await shows('#fpsBadge', '30.0 FPS (30 TARGET)');
  assert.equal(await page.textContent('#timecode'), '00:01:02');
  assert.equal(await page.textContent('#recText'), 'START REC');
  holder.doc = withActive([1], { currentFps: 59.94, selectedGlobalFps: 59.94 });
  await shows('#fpsBadge', '59.9 FPS (60 TARGET)');
  holder.doc = withActive([1], { currentFps: 0, selectedGlobalFps: 0 });
  await shows('#fpsBadge', '0.0 FPS (60 TARGET)');
  await context.close();
});

test('add dialog preselects channel 3 and lists one resolution and one rate', async ({ browser, base }) => {
  const inventory = { audioDevices: [], videoDevices: [{ link: 'usb-1', name: 'Capture HD', formats: [
    { formatName: 'YUY2', fps: 30, height: 1080, width: 1920 }, { formatName: 'MJPEG', fps: 30, height: 1080, width: 1920 }] },
    { link: 'usb-2', name: 'Bare', formats: [] }] };
  const { page, holder, context } = await scriptedPage(browser, base, withActive([1, 2]), async (p, h) => {
    await p.route('**/api/devices', (r) => r.fulfill({ contentType: 'application/json', body: JSON.stringify(inventory) }));
    await p.route('**/api/add_source', (r) => { h.adds.push(r.request().postDataJSON()); r.fulfill({ contentType: 'application/json', body: '{"channelId":3,"status":"ok"}' }); });
  });
  await waitFor(async () => (await cards(page)).length === 3, 'cards');
  await page.tap('#grid .card.add');
  assert.equal(await page.textContent('#dTitle'), 'DODAJ VIDEO SOURCE (KANAL 3)');
  assert.equal(await page.inputValue('#dChannel'), '3');
  assert.equal(await page.inputValue('#dName'), 'CAM 3');
  assert.equal(await page.isVisible('#dDisable'), false);
  const texts = (sel) => page.$$eval(sel + ' option', (o) => o.map((x) => x.textContent));
  await waitFor(async () => (await texts('#dDevice')).length === 2, 'devices');
  assert.deepEqual(await texts('#dRes'), ['1920x1080 (1080p FHD)']);
  assert.deepEqual(await texts('#dFps'), ['30.00 fps (YUY2)']);
  await page.selectOption('#dDevice', 'usb-2');
  assert.deepEqual(await texts('#dRes'), ['1920x1080 (1080p FHD)', '1280x720 (720p HD)']);
  assert.deepEqual(await texts('#dFps'), ['60.00 fps', '59.94 fps', '50.00 fps', '30.00 fps', '29.97 fps', '25.00 fps', '24.00 fps']);
  await page.selectOption('#dRes', '1280x720');
  await page.selectOption('#dFps', '29.97');
  await page.selectOption('#dRange', 'Partial (16-235 TV)');
  await page.fill('#dName', '');
  fs.mkdirSync(shotDir, { recursive: true });
  await page.screenshot({ path: path.join(shotDir, 'remote_page_dialog.png') });
  await page.tap('#dApply');
  await waitFor(async () => !(await page.isVisible('#dialog')), 'the dialog to close');
  assert.deepEqual(holder.adds, [{ channelId: 3, channelName: 'CAM 3', deviceLink: 'usb-2', deviceName: 'Bare',
    width: 1280, height: 720, framerate: 29.97, colorRange: 'Partial (16-235 TV)' }]);
  await context.close();
});

test('offline overlay after four failed polls, gone on the next success', async ({ browser, base }) => {
  const { page, holder, context } = await scriptedPage(browser, base, withActive([1]));
  await waitFor(async () => (await cards(page)).length === 2, 'online');
  let failures = 0;
  let seenAtFailure = [];
  await page.unroute('**/api/status');
  await page.route('**/api/status', async (route) => {
    if (holder.fail) {
      failures++;
      await route.abort();
      seenAtFailure.push(await page.isVisible('#offline'));
    } else {
      await route.fulfill({ contentType: 'application/json', body: JSON.stringify(holder.doc) });
    }
  });
  holder.fail = true;
  await waitFor(() => page.isVisible('#offline'), 'the offline overlay', 6000);
  assert.ok(failures >= 4, 'shown only after the fourth failure, saw ' + failures);
  assert.deepEqual(seenAtFailure.slice(0, 3), [false, false, false]);
  assert.equal(await page.textContent('#offline h2'), 'Povezivanje sa Korvex...');
  holder.fail = false;
  await waitFor(async () => !(await page.isVisible('#offline')), 'back online');
  await context.close();
});

test('the preview reconnects after a stream error', async ({ browser, base }) => {
  const streamUrls = [];
  const { page, context } = await scriptedPage(browser, base, withActive([1]), async (p) => {
    await p.route('**/stream.mjpg*', (route) => {
      streamUrls.push({ url: route.request().url(), at: Date.now() });
      if (streamUrls.length === 1) route.abort(); else route.continue();
    });
  });
  await waitFor(() => streamUrls.length >= 2, 'the reconnect', 5000);
  assert.ok(/\/stream\.mjpg\?t=\d+$/.test(streamUrls[1].url), streamUrls[1].url);
  assert.ok(streamUrls[1].at - streamUrls[0].at >= 900, 'waits about a second');
  await context.close();
});

(async () => {
  assert.ok(serverProgram, 'REMOTE_PAGE_SERVER names the server program');
  const { child, port } = await startServer();
  const base = 'http://127.0.0.1:' + port + '/';
  const api = async (p) => (await fetch(base.slice(0, -1) + p)).json();
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'] });
  let failed = 0;
  for (const c of cases) {
    try {
      await c.fn({ browser, base, api });
      console.log('PASS  ' + c.name);
    } catch (e) {
      failed++;
      console.log('FAIL  ' + c.name + '\n      ' + (e && e.stack ? e.stack : e));
    }
  }
  await browser.close();
  child.kill('SIGTERM');
  console.log(failed ? failed + ' of ' + cases.length + ' failed' : 'all ' + cases.length + ' passed');
  process.exit(failed ? 1 : 0);
})().catch((e) => { console.error(e); process.exit(2); });
