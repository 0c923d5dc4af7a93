// What the browser tests share: a served host (cadhost serve) in a workspace of its own, and
// Debian's chromium, headless with its software WebGL, driven by puppeteer-core.
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

export const sourceDir = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const require = createRequire(path.join(sourceDir, 'Web', 'package.json'));
const puppeteer = require('puppeteer-core');

export const cadhost = process.env.PW_CADHOST ?? path.join(sourceDir, 'build-debug/bin/cadhost');

export const tempDir = (name) => fs.mkdtempSync(path.join(os.tmpdir(), `pw-${name}-`));

// A copy of the sample folder: the host saves a schedule changed in a session when it stops, and
// the repository's samples must stay as they are.
export function samplesCopy() {
  const copy = tempDir('samples');
  fs.cpSync(path.join(sourceDir, 'Samples'), copy, { recursive: true });
  return copy;
}

// Starts `cadhost serve` on the scripts; resolves with its address once it listens.
export async function serve(scripts) {
  const workspace = tempDir('ws');
  const prefs = path.join(tempDir('prefs'), 'preferences.bin');
  const child = spawn(cadhost, ['--prefs', prefs, 'serve', '--workspace', workspace, ...scripts],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  let out = '', err = '';
  child.stderr.on('data', (d) => { err += d; });
  const url = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`cadhost serve did not listen:\n${out}\n${err}`)), 600000);
    child.stdout.on('data', (d) => {
      out += d;
      const m = /^(http:\/\/\S+\/\?token=([0-9a-f]+))$/m.exec(out);
      if (m) { clearTimeout(timer); resolve(m[1]); }
    });
    child.on('exit', (code) => { clearTimeout(timer); reject(new Error(`cadhost serve ended (${code}):\n${out}\n${err}`)); });
  });
  const { origin } = new URL(url), token = new URL(url).searchParams.get('token');
  const served = {
    url, origin, token, workspace, child, listening: Date.now(),
    // One session command through the contract's address, as a page sends it.
    async command(line) {
      return (await fetch(`${origin}/api/command?token=${token}`, { method: 'POST', body: line })).json();
    },
    async lines(line) {
      const answer = await served.command(line);
      if (!answer.ok) throw new Error(`${line}: ${answer.error}`);
      return answer.output.split('\n').filter((l) => l.length > 0);
    },
    // Ends the host; a sanitizer's finding in it fails the test that served it.
    async stop() {
      if (child.exitCode === null) {
        const gone = new Promise((resolve) => child.on('exit', resolve));
        child.kill('SIGTERM');
        await gone;
      }
      if (/ERROR: AddressSanitizer|runtime error:/.test(err)) throw new Error(`cadhost serve:\n${err}`);
    },
  };
  return served;
}

export async function browser() {
  return puppeteer.launch({
    executablePath: process.env.PW_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: tempDir('chromium'),
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run', '--disable-dev-shm-usage'],
  });
}

// A page of the workspace, its model drawn; `firstPicture` is the time to the first picture (ms).
export async function openPage(chromium, served, { width = 1280, height = 800, timeout = 180000 } = {}) {
  const page = await chromium.newPage();
  page.setDefaultTimeout(timeout);
  const problems = [];
  page.on('pageerror', (e) => problems.push(e.message));
  await page.setViewport({ width, height });
  const t0 = Date.now();
  await page.goto(served.url, { timeout });
  await page.evaluate(async () => {
    await window.pw.ready;
    window.pw.viewer.renderer.getContext().readPixels(0, 0, 1, 1, 0x1908, 0x1401, new Uint8Array(4));
  });
  const firstPicture = Date.now() - t0;
  return { page, problems, firstPicture };
}

// Moves the page's date slider to a day, as a person lets go of it, and waits for the picture the
// host's answer brings; gives the time that took (ms), the picture read back to be sure it is done.
export function showDate(page, iso) {
  return page.evaluate(async (iso) => {
    const slider = document.getElementById('slider');
    const start = Date.parse(window.pw.state().palette.rows.map((r) => r.startIso).sort()[0]);
    const t0 = performance.now();
    slider.value = Math.round((Date.parse(iso) - start) / 86400000);
    slider.dispatchEvent(new Event('change'));
    await window.pw.lastShow;
    await window.pw.viewer.nextPicture();
    window.pw.viewer.renderer.getContext().readPixels(0, 0, 1, 1, 0x1908, 0x1401, new Uint8Array(4));
    return performance.now() - t0;
  }, iso);
}

// The elements as the host lists them (`elements`), in the host's order: "TYPE ID", the layer
// number and the material indexes.
export function parseElements(lines) {
  return lines.slice(1).map((line) => {
    const m = /^(.*?)  layer (\d+) \(.*\)  (?:locked|unlocked)  pens \S+  materials (\S+)  /.exec(line);
    if (!m) throw new Error(`an element line not understood: ${line}`);
    return { name: m[1], layer: Number(m[2]), materials: m[3] === '-' ? [] : m[3].split(',').map(Number) };
  });
}
