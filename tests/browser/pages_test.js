#!/usr/bin/env node
// The printer application's maintenance pages in Debian's Chromium, headless, as a person uses
// them: krv857-printer runs on 127.0.0.1 with a random free port and a temporary state folder,
// with one printer on a file: device; each page is used through its forms, and every job the
// device receives is compared with what the krv857 tool writes for the same input and read
// with `krv857 decode`. A Chinese and an English screenshot of every page are written. The
// server and the browser are ended by PID whatever happens, and nothing of either is left.
//
//     node pages_test.js BUILD_DIR WORK_DIR [--shots DIR] [--keep]
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const net = require('net');
const { spawn, spawnSync } = require('child_process');

const [build, work, ...rest] = process.argv.slice(2);
const shotsArg = rest.indexOf('--shots');
const extraShots = shotsArg >= 0 ? path.resolve(rest[shotsArg + 1]) : null;
const keep = rest.includes('--keep');
const { chromium } = require(path.join(work, 'node_modules', 'playwright-core'));

const PRINTER = 'receipt';
const CHROMIUM = '/usr/bin/chromium';
const FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

class Failure extends Error {}
function check(condition, what) {
  if (!condition) throw new Failure(what);
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// ---------------------------------------------------------------- the server

class App {
  constructor(folder, port) {
    this.folder = folder;
    this.port = port;
    this.base = `http://127.0.0.1:${port}`;
    this.device = path.join(folder, 'device.bin');
    fs.writeFileSync(this.device, '');
    // The clients find the server through its local socket, which these move into the folder.
    this.env = { ...process.env, SNAP_COMMON: folder, TMPDIR: folder };
    this.server = null;
  }

  tool(name) {
    return path.join(build, name);
  }

  async start() {
    const err = fs.openSync(path.join(this.folder, 'server.err'), 'a');
    this.server = spawn(this.tool('krv857-printer'), ['server', '-o', `server-port=${this.port}`,
      '-o', `state-folder=${path.join(this.folder, 'state')}`,
      '-o', `log-file=${path.join(this.folder, 'server.log')}`, '-o', 'log-level=info'],
    { env: this.env, stdio: ['ignore', 'ignore', err], detached: true });
    fs.closeSync(err);
    this.exited = new Promise((resolve) => this.server.on('exit', resolve));
    // Ready when it answers a request (a client subcommand that finds no server starts one).
    const deadline = Date.now() + 15000;
    while (Date.now() < deadline) {
      check(this.server.exitCode === null, 'the server ended at start-up');
      if (await this.answers()) return;
      await sleep(50);
    }
    throw new Failure(`the server does not answer on port ${this.port}`);
  }

  answers() {
    return fetch(`${this.base}/`).then((r) => r.ok, () => false);
  }

  // SIGTERM to the server's process group, then SIGKILL if it has not ended within 20 s.
  async stop() {
    if (!this.server || this.server.exitCode !== null) return;
    process.kill(-this.server.pid, 'SIGTERM');
    let timer;
    const ended = await Promise.race([this.exited.then(() => true),
      new Promise((resolve) => { timer = setTimeout(resolve, 20000, false); })]);
    clearTimeout(timer);
    if (!ended) this.kill();
    check(ended, 'the server did not end on SIGTERM');
  }

  kill() {
    if (this.server && this.server.exitCode === null && this.server.signalCode === null)
      try { process.kill(-this.server.pid, 'SIGKILL'); } catch (e) { /* already gone */ }
  }

  run(program, args, expect = 0) {
    const r = spawnSync(this.tool(program), args, { env: this.env, timeout: 60000 });
    check(r.status === expect, `${program} ${args.join(' ')}: exit ${r.status}, expected ` +
      `${expect}\n${r.stdout}${r.stderr}`);
    return r.stdout;
  }

  // What `krv857` writes for a job, the bytes.
  toolJob(...args) {
    const out = path.join(this.folder, 'tool-job.bin');
    this.run('krv857', [...args, '-o', out]);
    return fs.readFileSync(out);
  }

  decode(job, ...options) {
    const file = path.join(this.folder, 'decoded-job.bin');
    fs.writeFileSync(file, job);
    return this.run('krv857', ['decode', file, ...options]).toString();
  }

  clearDevice() {
    fs.writeFileSync(this.device, '');
  }

  // The device's bytes once at least `length` have arrived and no more come.
  async deviceBytes(length, timeout = 15000) {
    const deadline = Date.now() + timeout;
    let last = -1;
    while (Date.now() < deadline) {
      const size = fs.statSync(this.device).size;
      if (size >= length && size === last) return fs.readFileSync(this.device);
      last = size;
      await sleep(100);
    }
    return fs.readFileSync(this.device);
  }

  url(page = '') {
    return `${this.base}/${PRINTER}${page ? '/' + page : ''}`;
  }
}

// ---------------------------------------------------------------- the browser

// One Chromium with a fresh profile in the browser language `locale`. Nothing outside the
// server is fetched (PAPPL's style sheet asks for web fonts).
async function openBrowser(app, locale) {
  const profile = fs.mkdtempSync(path.join(app.folder, 'chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM, headless: true, args: FLAGS, locale,
    viewport: { width: 1000, height: 760 },
  });
  await context.route((url) => !url.href.startsWith(app.base), (route) => route.abort());
  context.setDefaultTimeout(20000);
  return context;
}

// Chromium processes started for this run (their profile lies in the run's folder): killed by
// PID; their PIDs returned.
function strayBrowsers(folder) {
  const commandOf = (pid) => { try { return fs.readFileSync(`/proc/${pid}/cmdline`, 'latin1'); } catch (e) { return ''; } };
  const found = fs.readdirSync('/proc').filter((pid) => /^\d+$/.test(pid) && Number(pid) !== process.pid &&
    commandOf(pid).includes(path.join(folder, 'chromium-'))).map(Number);
  found.forEach((pid) => { try { process.kill(pid, 'SIGKILL'); } catch (e) { /* already gone */ } });
  return found;
}

// Submits the form holding `field` by its submit button and waits for the page it returns.
async function submit(page, field) {
  await Promise.all([page.waitForNavigation(), page.locator(`form:has(${field}) input[type=submit]`).first().click()]);
}

async function banner(page) {
  const b = page.locator('div.banner');
  return (await b.count()) ? (await b.innerText()).trim() : '';
}

async function previewBytes(page, app) {
  const src = await page.locator('img.krv-preview').first().getAttribute('src');
  const response = await page.request.get(app.base + src);
  check(response.ok(), `the preview ${src} answered ${response.status()}`);
  return { src, png: await response.body() };
}

// ---------------------------------------------------------------- the tests

const RAW_SELFTEST = Buffer.from([0x1d, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02]);
const RAW_CLEAR = Buffer.from([0x1c, 0x71, 0x00, 0x00, 0x0a]);
const OUR_PAGES = ['krv-logos', 'krv-topbottom', 'krv-backside', 'krv-selftest', 'krv-firmware',
  'krv-record'];

class Tests {
  constructor(app, zh, files) {
    this.app = app;
    this.zh = zh;  // the Chinese browser's page
    this.files = files;
  }

  async open(page) {
    await this.zh.goto(this.app.url(page));
  }

  // Every text of the pages is Chinese for a Chinese browser: what remains in Latin letters is
  // names (of the program, the printer, picture formats, units).
  async test_pages_speak_chinese() {
    const allowed = new Set(['KRV', 'M857', 'BMP', 'PNG', 'JPEG', 'KiB', 'MiB', 'Logo', 'M3', 'M4',
      'Windows', 'VKRT', PRINTER]);
    for (const page of OUR_PAGES) {
      await this.open(page);
      const text = await this.zh.locator('body').innerText();
      const latin = (text.match(/[A-Za-z][A-Za-z0-9]+/g) || []).filter((w) => !allowed.has(w));
      check(latin.length === 0, `${page}: untranslated ${JSON.stringify(latin)}`);
    }
  }

  async test_logo_upload_halftone_preview_download() {
    const { app, zh } = this;
    await this.open('krv-logos');
    await zh.setInputFiles('input[name=picture]', this.files.logo);
    await submit(zh, 'input[name=picture]');
    check(await zh.locator('#krv-logos tbody tr').count() === 1, 'the uploaded logo is not listed');
    const before = await previewBytes(zh, app);
    await zh.selectOption('select[name=method]', 'diffusion');
    await submit(zh, 'select[name=method]');
    const after = await previewBytes(zh, app);
    check(after.src !== before.src, 'the preview keeps its address after the halftone changed');
    check(!after.png.equals(before.png), 'the preview did not change with the halftone');
    check(await zh.locator('img.krv-preview').evaluate((img) => img.naturalWidth) > 0,
      'the browser did not draw the preview');

    app.clearDevice();
    await submit(zh, 'input[name=action][value=download]');
    check((await banner(zh)).includes('LOGO'), `download all: ${await banner(zh)}`);
    const expected = app.toolJob('logo', 'download', '--mode', 'mono', '--halftone', 'diffusion',
      this.files.logo);
    const job = await app.deviceBytes(expected.length);
    check(job.equals(expected), `the LOGO job differs from krv857 logo download's (${job.length} ` +
      `bytes, expected ${expected.length})`);
    check(app.decode(job).includes('stored logos: 1 in black and white'), 'decode: no stored logo');
    // The preview is what the printer prints: the job's own drawing.
    const drawn = path.join(app.folder, 'drawn.png');
    app.decode(job, '--png', drawn);
    check(fs.readFileSync(drawn).equals(after.png), 'the preview differs from the job\'s drawing');
  }

  async test_logo_grey_mode_and_clear() {
    const { app, zh } = this;
    await this.open('krv-logos');
    await zh.check('input[name=mode][value=grey]');
    await submit(zh, 'input[name=mode]');
    app.clearDevice();
    await submit(zh, 'input[name=action][value=download]');
    const expected = app.toolJob('logo', 'download', '--mode', 'grey', this.files.logo);
    check((await app.deviceBytes(expected.length)).equals(expected), 'the grey LOGO job differs');

    app.clearDevice();
    await submit(zh, 'input[name=action][value=clear]');
    check((await app.deviceBytes(RAW_CLEAR.length)).equals(RAW_CLEAR), 'clear: not 1C 71 00 00 0A');
  }

  async test_top_bottom_over_long_line_is_refused() {
    const { app, zh } = this;
    await this.open('krv-topbottom');
    app.clearDevice();
    await zh.fill('input[name=line0]', 'A'.repeat(49));
    await submit(zh, 'input[name=line0]');
    check(await banner(zh) === '字符不得超过48个！', `49 characters: ${await banner(zh)}`);
    check(await zh.inputValue('input[name=line0]') === 'A'.repeat(49), 'the refused line is lost');
    await zh.fill('input[name=line0]', '谢谢惠顾');
    await zh.fill('input[name=line3]', 'A'.repeat(48));
    await submit(zh, 'input[name=line0]');
    const expected = app.toolJob('topbottom', '--line0', '谢谢惠顾', '--line3', 'A'.repeat(48));
    const job = await app.deviceBytes(expected.length);
    check(job.equals(expected), 'the TopbottomMessage job differs from krv857 topbottom\'s');
    app.decode(job);  // every byte understood
  }

  async test_back_side_with_text_and_logo() {
    const { app, zh } = this;
    await this.open('krv-backside');
    app.clearDevice();
    await zh.fill('input[name=text]', '谢谢');
    await zh.check('input[name=align][value=centre]');
    await zh.selectOption('select[name=logo]', '1');
    await submit(zh, 'input[name=text]');
    const expected = app.toolJob('backside', '--text', '谢谢', '--align', 'centre', '--logo',
      this.files.logo, '--halftone', 'diffusion');
    const job = await app.deviceBytes(expected.length);
    check(job.equals(expected), `the Pre-image job differs from krv857 backside's: ${await banner(zh)}`);
    app.decode(job);
  }

  // A form without its session key is refused; with it the self-test goes out.
  async test_self_test_only_with_the_session_key() {
    const { app, zh } = this;
    await this.open('krv-selftest');
    app.clearDevice();
    await zh.evaluate(() => document.querySelectorAll('input[name=session]').forEach((e) => e.remove()));
    await submit(zh, 'input[name=action][value=selftest]');
    check(await banner(zh) === '表单提交无效。', `no session key: ${await banner(zh)}`);
    await sleep(700);
    check(fs.statSync(app.device).size === 0, 'a form without its session key sent a job');
    await submit(zh, 'input[name=action][value=selftest]');
    check((await app.deviceBytes(RAW_SELFTEST.length)).equals(RAW_SELFTEST), 'not the self-test');
  }

  async test_firmware_confirmed_by_name_and_size() {
    const { app, zh } = this;
    await this.open('krv-firmware');
    app.clearDevice();
    await zh.setInputFiles('input[name=file]', this.files.firmware);
    await submit(zh, 'input[name=file]');
    const confirm = await zh.locator('#krv-confirm').innerText();
    check(confirm.includes('font.FNT') && confirm.includes('3000'), `confirmation: ${confirm}`);
    await sleep(300);
    check(fs.statSync(app.device).size === 0, 'the firmware went before its confirmation');
    await submit(zh, 'input[name=action][value=send]');
    const expected = app.toolJob('firmware', this.files.firmware);
    check((await app.deviceBytes(expected.length)).equals(expected), 'the FIRMWARE job differs');
  }

  // Each job is listed under its document name (PAPPL keeps the name it is given by pointer).
  async test_printer_lists_the_pages_jobs_by_name() {
    await this.open('');
    const names = await this.zh.locator('table.list td:nth-child(2)').allInnerTexts();
    for (const name of ['LOGO', 'SELFTEST', 'TopbottomMessage', 'Pre-image', 'FIRMWARE'])
      check(names.includes(name), `${name} is not among the jobs ${JSON.stringify(names)}`);
  }

  async test_record_shown_then_applied() {
    const { app, zh } = this;
    const record = path.join(app.folder, 'record.bin');
    app.run('krv857', ['devmode', 'defaults', '-o', record]);
    const bytes = fs.readFileSync(record);
    bytes[584] = 2;  // end of page: full cut, without the feed to the cutting position
    bytes[453] = 0;
    fs.writeFileSync(record, bytes);
    await this.open('krv-record');
    await zh.setInputFiles('input[name=record]', record);
    await submit(zh, 'input[name=record]');
    const changed = zh.locator('#krv-record tr[style*=bold]');
    check(await changed.count() === 1 && (await changed.innerText()).includes('全切纸'),
      'the table does not show the one setting the record changes');
    await submit(zh, 'input[name=action][value=apply]');
    check((await banner(zh)) === '记录中的设置已成为打印机的默认值。', `apply: ${await banner(zh)}`);
    await this.open('printing');
    check(await zh.inputValue('select[name=krv-page-end-cut]') === 'full', 'the default is not set');
  }

  async test_logos_stay_with_the_printer_across_a_restart() {
    const { app, zh } = this;
    await app.stop();
    await app.start();
    await this.open('krv-logos');
    check(await zh.locator('#krv-logos tbody tr').count() === 1, 'the logo is gone');
    check(await zh.isChecked('input[name=mode][value=grey]'), 'the mode was not kept');
    check(await zh.locator('select[name=method] option[value=diffusion]').evaluate((o) => o.selected),
      'the halftone was not kept');
    await zh.check('input[name=mode][value=mono]');  // the screenshots show black and white
    await submit(zh, 'input[name=mode]');
  }
}

// The Chinese and the English screenshot of each page.
async function screenshots(app, outDirs) {
  const shots = [['printer', ''], ['logos', 'krv-logos'], ['topbottom', 'krv-topbottom'],
    ['backside', 'krv-backside'], ['selftest', 'krv-selftest'], ['firmware', 'krv-firmware'],
    ['record', 'krv-record']];
  for (const [locale, prefix, title] of [['zh-CN', 'zh', 'Logo 位图下载'], ['en-US', 'en', 'Logos']]) {
    const context = await openBrowser(app, locale);
    try {
      const page = context.pages()[0] || await context.newPage();
      for (const [name, url] of shots) {
        await page.goto(app.url(url));
        if (name === 'logos') check(await page.locator('h1').innerText() === title, `${locale} title`);
        // PAPPL's footer stays at the bottom of the window: in a whole-page picture, at its end.
        await page.addStyleTag({ content: '.footer { position: static !important; }' });
        for (const dir of outDirs)
          await page.screenshot({ path: path.join(dir, `${prefix}-${name}.png`), fullPage: true });
      }
    } finally {
      await context.close();
    }
  }
}

async function main() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'krv857-browser-test-'));
  const app = new App(folder, await freePort());
  const files = { logo: path.join(folder, 'logo.png'), firmware: path.join(folder, 'font.FNT') };
  spawnSync('convert', ['-size', '200x80', 'gradient:black-white', '-colorspace', 'Gray', files.logo]);
  fs.writeFileSync(files.firmware, Buffer.from(Array.from({ length: 3000 }, (_, i) => (i * 37) & 255)));
  const shotDirs = [path.join(work, 'screenshots')].concat(extraShots ? [extraShots] : []);
  shotDirs.forEach((d) => fs.mkdirSync(d, { recursive: true }));

  const failures = [];
  const start = Date.now();
  let context = null;
  try {
    await app.start();
    app.run('krv857-printer', ['add', '-d', PRINTER, '-m', 'krv857', '-v', `file://${app.device}`]);
    context = await openBrowser(app, 'zh-CN');
    const tests = new Tests(app, context.pages()[0] || await context.newPage(), files);
    const steps = Object.getOwnPropertyNames(Tests.prototype).filter((n) => n.startsWith('test_'))
      .map((name) => [name, () => tests[name]()]).concat([['screenshots', () => screenshots(app, shotDirs)]]);
    for (const [name, step] of steps) {
      const t0 = Date.now();
      try {
        await step();
        console.log(`ok    ${name.padEnd(60)} ${((Date.now() - t0) / 1000).toFixed(2)} s`);
      } catch (e) {
        failures.push(name);
        console.log(`FAIL  ${name}: ${e.stack || e}`);
      }
    }
    await app.stop();
  } catch (e) {
    failures.push('server');
    console.log(`FAIL  ${e.stack || e}`);
  } finally {
    if (context) await context.close().catch(() => {});
    app.kill();
    const strays = strayBrowsers(folder);
    if (strays.length) {
      failures.push('strays');
      console.log(`FAIL  Chromium processes left behind (killed): ${strays}`);
    }
    if (failures.length) {
      for (const log of ['server.log', 'server.err']) {
        const file = path.join(folder, log);
        if (fs.existsSync(file))
          console.log(`---- ${log} (last lines)\n` + fs.readFileSync(file, 'utf8').split('\n').slice(-30).join('\n'));
      }
    }
    if (!keep) fs.rmSync(folder, { recursive: true, force: true });
  }
  console.log(`${failures.length} failed, ${((Date.now() - start) / 1000).toFixed(1)} s`);
  process.exitCode = failures.length ? 1 : 0;
}

main();
