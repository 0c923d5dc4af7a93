// The workspace on the duplex apartment (an IFC model outside the repository, linked to its
// schedule as Samples/Duplex4D.session links it): the README's screenshot, and the time to the
// first picture (reported, not asserted). Skipped when the model is not there.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { serve, browser, openPage, showDate, sourceDir, samplesCopy, tempDir } from './Workspace.mjs';

const model = path.resolve(sourceDir, '../shared/data/ifc/duplex.ifc');

// The duplex session up to its movie, with its words filled in.
function linkScript() {
  const text = fs.readFileSync(path.join(sourceDir, 'Samples/Duplex4D.session'), 'utf8');
  const lines = [], samples = samplesCopy();
  for (const line of text.split('\n')) {
    if (line.startsWith('echo == The construction movie')) break;
    lines.push(line.replaceAll('"$1"', `"${model}"`).replaceAll('$SCRIPT_DIR', samples)
      .replaceAll('${2:-duplex-4d}', tempDir('duplex')));
  }
  const script = path.join(tempDir('script'), 'duplex-web.session');
  fs.writeFileSync(script, lines.join('\n') + '\n');
  return script;
}

test('the workspace on the duplex: first picture and screenshot', { skip: !fs.existsSync(model) && 'no duplex model' }, async () => {
  const served = await serve([linkScript()]);
  const chromium = await browser();
  try {
    const { page, problems, firstPicture } = await openPage(chromium, served, { width: 1200, height: 760 });
    const elements = await page.evaluate(() => window.pw.state().elements);
    console.log(`figure: duplex (${elements} elements): first picture after ${firstPicture} ms`);
    // Midway: the first storey stands, the second is under way.
    await showDate(page, '2027-07-01');
    const [shown, all] = await page.evaluate(() => [window.pw.viewer.drawn().filter((d) => d.visible).length, window.pw.viewer.drawn().length]);
    assert.ok(shown > 0 && shown < all, `${shown} of ${all} shown`);
    assert.deepEqual(problems, []);
    const out = path.join(process.env.PW_BUILD_DIR ?? tempDir('shot'), 'workspace-duplex.png');
    await page.screenshot({ path: out });
    console.log(`screenshot: ${out}`);
    if (process.env.PW_UPDATE_SCREENSHOT) fs.copyFileSync(out, process.env.PW_UPDATE_SCREENSHOT);
  } finally {
    await chromium.close();
    await served.stop();
  }
});
