// Figures of the browser workspace, reported and not asserted (PW_BROWSER_FIGURES=1 runs them):
// the time to the first picture of a 100k-element sample building, and the time from a slider
// move to the updated picture at about 10k elements (with the sample schedule linked).
import { test } from 'node:test';
import fs from 'node:fs';
import path from 'node:path';
import { serve, browser, openPage, sourceDir, tempDir } from './Workspace.mjs';

const run = process.env.PW_BROWSER_FIGURES === '1';

function sampleScript(size, linked) {
  const script = path.join(tempDir('figures'), 'figures.session');
  const base = fs.readFileSync(path.join(sourceDir, 'Samples/WebSample.session'), 'utf8')
    .replaceAll('$SCRIPT_DIR', path.join(sourceDir, 'Samples')).replace(/^sample .*$/m, `sample ${size}`);
  fs.writeFileSync(script, linked ? base : `sample ${size}\n`);
  return script;
}

test('first picture of a 100k-element building', { skip: !run && 'PW_BROWSER_FIGURES is not 1' }, async () => {
  const served = await serve([sampleScript(process.env.PW_FIGURES_LARGE ?? '27 27', false)]);
  const chromium = await browser();
  try {
    const { page, firstPicture } = await openPage(chromium, served, { width: 1200, height: 760, timeout: 0 });
    const elements = await page.evaluate(() => window.pw.state().elements);
    const meshes = await page.evaluate(() => window.pw.viewer.meshes.length);
    console.log(`figure: ${elements} elements (${meshes} meshes): first picture after ${firstPicture} ms`);
  } finally {
    await chromium.close();
    await served.stop();
  }
});

test('slider move to picture at about 10k elements', { skip: !run && 'PW_BROWSER_FIGURES is not 1' }, async () => {
  const served = await serve([sampleScript(process.env.PW_FIGURES_MEDIUM ?? '12 12', true)]);
  const chromium = await browser();
  try {
    const { page, firstPicture } = await openPage(chromium, served, { width: 1200, height: 760 });
    const elements = await page.evaluate(() => window.pw.state().elements);
    const times = [];
    for (const date of ['2027-03-10', '2027-04-20', '2027-06-25', '2027-08-15', '2027-09-20', '2027-11-01']) {
      times.push(await page.evaluate(async (iso) => {
        const slider = document.getElementById('slider');
        const start = Date.parse(window.pw.state().palette.rows.map((r) => r.startIso).sort()[0]);
        const t0 = performance.now();
        slider.value = Math.round((Date.parse(iso) - start) / 86400000);
        slider.dispatchEvent(new Event('change'));
        await window.pw.lastShow;
        await window.pw.viewer.nextPicture();
        return performance.now() - t0;
      }, date));
    }
    times.sort((a, b) => a - b);
    console.log(`figure: ${elements} elements: first picture after ${firstPicture} ms; slider to picture ` +
      `median ${Math.round(times[times.length >> 1])} ms (${times.map(Math.round).join(', ')} ms)`);
  } finally {
    await chromium.close();
    await served.stop();
  }
});
