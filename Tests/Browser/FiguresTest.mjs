// Figures of the browser workspace, reported and not asserted (PW_BROWSER_FIGURES=1 runs them):
// the time to the first picture of a 100k-element sample building, and the time from a slider
// move to the updated picture at about 10k elements (with the sample schedule linked), each with
// the page's own marks of where the time went (ms).
import { test } from 'node:test';
import fs from 'node:fs';
import path from 'node:path';
import { serve, browser, openPage, showDate, samplesCopy, tempDir } from './Workspace.mjs';

const skip = process.env.PW_BROWSER_FIGURES !== '1' && 'PW_BROWSER_FIGURES is not 1';

// The sample building of that size, alone or with the sample schedule linked, in a page.
async function withPage(size, linked, use) {
  const script = path.join(tempDir('figures'), 'figures.session');
  const samples = samplesCopy();
  const base = fs.readFileSync(path.join(samples, 'WebSample.session'), 'utf8')
    .replaceAll('$SCRIPT_DIR', samples).replace(/^sample .*$/m, `sample ${size}`);
  fs.writeFileSync(script, linked ? base : `sample ${size}\n`);
  const served = await serve([script]);
  const chromium = await browser();
  try {
    const { page, firstPicture } = await openPage(chromium, served, { width: 1200, height: 760, timeout: 0 });
    const elements = await page.evaluate(() => window.pw.state().elements);
    await use(page, `figure: ${elements} elements: first picture after ${firstPicture} ms ` +
      `(${Date.now() - served.listening} ms after the host listened, the browser's start included)`);
  } finally {
    await chromium.close();
    await served.stop();
  }
}

const marks = (page) => page.evaluate(() => JSON.stringify(window.pw.viewer.marks, (k, v) => (typeof v === 'number' ? Math.round(v) : v)));

test('first picture of a 100k-element building', { skip }, () =>
  withPage(process.env.PW_FIGURES_LARGE ?? '27 27', false, async (page, figure) => console.log(`${figure}; marks ${await marks(page)}`)));

test('slider move to picture at about 10k elements', { skip }, () =>
  withPage(process.env.PW_FIGURES_MEDIUM ?? '12 12', true, async (page, figure) => {
    const times = [];
    for (const date of ['2027-03-10', '2027-04-20', '2027-06-25', '2027-08-15', '2027-09-20', '2027-11-01']) {
      times.push(await showDate(page, date));
      console.log(`  ${date}: ${Math.round(times.at(-1))} ms; marks ${await marks(page)}`);
    }
    times.sort((a, b) => a - b);
    console.log(`${figure}; slider to picture median ${Math.round(times[times.length >> 1])} ms (${times.map(Math.round).join(', ')} ms)`);
  }));
