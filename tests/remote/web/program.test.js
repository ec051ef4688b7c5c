// The phone control page against the integrated program: the real Korvex
// binary (offscreen, two virtual test cameras, the remote control on a free
// loopback port through KORVEX_REMOTE_PORT) driven from a phone-sized
// headless Chromium. A user adds both cameras, cuts between them, starts and
// stops a take; the take's files are then checked on disk.
'use strict';
const { spawn, execFileSync } = require('child_process');
const assert = require('assert/strict');
const fs = require('fs');
const net = require('net');
const os = require('os');
const path = require('path');
const { chromium } = require('playwright-core');

const program = process.env.KORVEX_PROGRAM;
const phone = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true, deviceScaleFactor: 2 };

async function waitFor(fn, what, ms = 10000) {
  const end = Date.now() + ms;
  for (;;) {
    try { const v = await fn(); if (v) return v; } catch (e) { if (Date.now() > end) throw e; }
    if (Date.now() > end) throw new Error('timed out waiting for ' + what);
    await new Promise((r) => setTimeout(r, 100));
  }
}

// A port that is free, with the next one free as well (the server's retry).
async function freePortPair() {
  const listen = (port) => new Promise((resolve) => {
    const s = net.createServer();
    s.once('error', () => resolve(null));
    s.listen(port, '0.0.0.0', () => resolve(s));
  });
  for (let attempt = 0; attempt < 50; attempt++) {
    const a = await listen(0);
    if (!a) continue;
    const port = a.address().port;
    const b = port < 65534 ? await listen(port + 1) : null;
    a.close();
    if (b) { b.close(); return port; }
  }
  throw new Error('no free port pair');
}

function startProgram(home, port) {
  const env = Object.assign({}, process.env, {
    QT_QPA_PLATFORM: 'offscreen', KORVEX_TEST_CAMERAS: '2', KORVEX_REMOTE_PORT: String(port),
    HOME: home, XDG_CONFIG_HOME: path.join(home, '.config'), XDG_DATA_HOME: path.join(home, '.local/share'),
    XDG_CACHE_HOME: path.join(home, '.cache'), XDG_RUNTIME_DIR: fs.mkdtempSync(path.join(os.tmpdir(), 'korvex-run-')),
  });
  const child = spawn(program, [], { cwd: home, env, stdio: ['ignore', 'pipe', 'pipe'] });
  child.log = '';
  child.stdout.on('data', (d) => { child.log += d; });
  child.stderr.on('data', (d) => { child.log += d; });
  child.exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal })));
  return child;
}

function findFiles(dir, name) {
  let found = [];
  for (const e of fs.readdirSync(dir, { withFileTypes: true })) {
    const p = path.join(dir, e.name);
    if (e.isDirectory()) found = found.concat(findFiles(p, name));
    else if (name.test(e.name)) found.push(p);
  }
  return found;
}

function videoFrames(file) {
  const out = execFileSync('ffprobe', ['-v', 'error', '-count_frames', '-select_streams', 'v:0', '-show_entries',
    'stream=nb_read_frames', '-of', 'csv=p=0', file]).toString().trim();
  return Number(out);
}

const cards = (page) => page.$$eval('#grid .card', (els) => els.map((e) => e.querySelector('.cl, .al').textContent));

async function addCamera(page, api, channel, device) {
  await page.tap('#grid .card.add');
  await waitFor(() => page.isVisible('#dialog'), 'the add dialog');
  await waitFor(async () => (await page.$$eval('#dDevice option', (o) => o.map((x) => x.value))).includes(device),
    'the device list with ' + device);
  assert.equal(await page.inputValue('#dChannel'), String(channel), 'the first free channel is preselected');
  await page.selectOption('#dDevice', device);
  await page.selectOption('#dRes', '640x480');
  await page.selectOption('#dFps', '30.00');
  await page.tap('#dApply');
  await waitFor(async () => !(await page.isVisible('#dialog')), 'the dialog to close');
  await waitFor(async () => (await api('/api/status')).channels[channel - 1].active, 'channel ' + channel + ' live');
}

(async () => {
  assert.ok(program, 'KORVEX_PROGRAM names the Korvex binary');
  const home = fs.mkdtempSync(path.join(os.tmpdir(), 'korvex-program-'));
  const port = await freePortPair();
  const child = startProgram(home, port);
  const base = 'http://127.0.0.1:' + port + '/';
  const api = async (p) => (await fetch(base.slice(0, -1) + p, { cache: 'no-store' })).json();
  let browser;
  let ok = false;
  try {
    await waitFor(() => api('/api/status'), 'the program\'s remote control', 30000);
    browser = await chromium.launch({ executablePath: '/usr/bin/chromium',
      args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
             '--disable-component-update', '--disable-sync'] });
    const context = await browser.newContext(phone);
    const page = await context.newPage();
    const problems = [];
    page.on('pageerror', (e) => problems.push(String(e)));
    // The preview's stream sends nothing before a camera runs, so the page's
    // load event would wait for it: the document itself is enough.
    await page.goto(base, { waitUntil: 'domcontentloaded' });
    await waitFor(async () => (await cards(page)).join() === 'DODAJ PRVI VIDEO SOURCE', 'the first add card');

    await addCamera(page, api, 1, 'korvex-test://1');
    assert.equal((await api('/api/status')).activeSourceId, 1, 'channel 1 is on program');
    await addCamera(page, api, 2, 'korvex-test://2');
    await waitFor(async () => (await cards(page)).join() === 'CAM 1,CAM 2,DODAJ SOURCE', 'two camera cards');
    await waitFor(() => page.$eval('#stream', (img) => img.naturalWidth === 360), 'the 640x480 preview as 360x270');

    await page.tap('#grid .card[data-id="2"]');
    await waitFor(async () => (await api('/api/status')).activeSourceId === 2, 'the cut to 2');
    await page.tap('#cutBtn');
    await waitFor(async () => (await api('/api/status')).activeSourceId === 1, 'NEXT CAM back to 1');

    await page.tap('#recBtn');
    await waitFor(async () => (await api('/api/status')).isRecording === true, 'the take to start');
    await waitFor(async () => (await page.textContent('#recText')) === 'STOP REC', 'STOP REC');
    await new Promise((r) => setTimeout(r, 1500));
    await page.tap('#grid .card[data-id="2"]');
    await waitFor(async () => (await api('/api/status')).activeSourceId === 2, 'the cut to 2 in the take');
    await new Promise((r) => setTimeout(r, 1500));
    const during = await api('/api/status');
    assert.notEqual(during.timecode, '00:00:00:00', 'the timecode runs');
    await page.tap('#recBtn');
    await waitFor(async () => (await api('/api/status')).isRecording === false, 'the take to stop', 30000);
    await waitFor(async () => (await page.textContent('#recText')) === 'START REC', 'START REC');
    assert.deepEqual(problems, []);
    await context.close();

    // The take on disk: both camera files with pictures, the master WAV and
    // both timelines naming both cameras.
    const root = path.join(home, 'Videos', 'Korvex');
    const cams = findFiles(root, /^Camera_0[12]\.mp4$/).sort();
    assert.equal(cams.length, 2, 'two camera files in ' + root + ': ' + cams.join(', '));
    const takeDir = path.dirname(cams[0]);
    assert.equal(path.dirname(cams[1]), takeDir);
    for (const cam of cams) {
      const frames = videoFrames(cam);
      assert.ok(frames >= 30, cam + ' has ' + frames + ' frames');
    }
    const wav = path.join(takeDir, 'Master_Audio_Output.wav');
    assert.ok(fs.existsSync(wav) && fs.statSync(wav).size >= 44, 'the master WAV');
    const timelines = fs.readdirSync(takeDir).filter((f) => /_(Premiere|DaVinci)\.xml$/.test(f));
    assert.equal(timelines.length, 2, 'both timelines: ' + fs.readdirSync(takeDir).join(', '));
    const xml = fs.readFileSync(path.join(takeDir, timelines[0]), 'utf8');
    assert.ok(xml.includes('Camera_01.mp4') && xml.includes('Camera_02.mp4'), 'the timeline names both cameras');
    console.log('PASS  a user adds two cameras, cuts and records a take from the phone (' + takeDir + ')');
    ok = true;
  } catch (e) {
    console.log('FAIL  ' + (e && e.stack ? e.stack : e));
    console.log('---- program output ----\n' + child.log.split('\n').slice(-40).join('\n'));
  } finally {
    if (browser) await browser.close();
    child.kill('SIGTERM');
    await child.exited;
    fs.rmSync(home, { recursive: true, force: true });
  }
  process.exit(ok ? 0 : 1);
})().catch((e) => { console.error(e); process.exit(2); });
