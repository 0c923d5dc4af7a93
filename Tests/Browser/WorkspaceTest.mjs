// The browser workspace in a real browser: cadhost serve on the sample building with the sample
// schedule, every task linked; the page in headless chromium. What the page shows is checked
// against what the host itself prints for the same commands.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { serve, browser, openPage, showDate, parseElements, samplesCopy } from './Workspace.mjs';

let served, chromium, page, problems;

before(async () => {
  served = await serve([path.join(samplesCopy(), 'WebSample.session')]);
  chromium = await browser();
  ({ page, problems } = await openPage(chromium, served));
});

after(async () => {
  await chromium?.close();
  await served?.stop();
});

test('without the token every address answers 403 and nothing is done', async () => {
  const before = await served.lines('palette list');
  const asks = [
    ['GET', '/', null], ['GET', '/page/app.js', null], ['GET', '/api/model.glb', null],
    ['GET', '/api/state', null], ['POST', '/api/command', 'palette date 2027-06-01'],
    ['POST', '/api/command?token=0123', 'palette select 3'], ['POST', '/api/commands', 'palette select 3\nmenu 4'],
    ['POST', '/api/upload?name=planted.txt', 'x'], ['GET', '/api/files/planted.txt', null],
  ];
  for (const [method, address, body] of asks) {
    const response = await fetch(served.origin + address, { method, body });
    assert.equal(response.status, 403, `${method} ${address}`);
  }
  assert.deepEqual(await served.lines('palette list'), before);
  assert.equal(fs.existsSync(path.join(served.workspace, 'planted.txt')), false);
});

// The canvas's pixels (RGBA rows, top row first) once the next picture is drawn; whether the
// pixel at byte k is the background's.
const background = (d, k) => Math.abs(d[k] - 0xe8) + Math.abs(d[k + 1] - 0xec) + Math.abs(d[k + 2] - 0xf0) <= 12;
const pixels = () => page.evaluate(async () => {
  await window.pw.viewer.nextPicture();
  const canvas = document.getElementById('canvas');
  const g = Object.assign(document.createElement('canvas'), { width: canvas.width, height: canvas.height }).getContext('2d');
  g.drawImage(canvas, 0, 0);
  return { width: canvas.width, data: [...g.getImageData(0, 0, canvas.width, canvas.height).data] };
});

test('the page draws the sample building: every element with a body, once, each part in its colour', async () => {
  const elements = parseElements(await served.lines('elements'));
  const looks = await page.evaluate(() => window.pw.viewer.drawn());
  const drawn = looks.map((d) => d.index);
  assert.equal(new Set(drawn).size, elements.filter((e) => e.materials.length > 0).length);
  for (const i of drawn) assert.ok(elements[i].materials.length > 0, elements[i].name);
  // The colours of an element's body parts as the host gives them, every one drawn.
  const host = (await (await fetch(`${served.origin}/api/state?token=${served.token}`)).json()).state.looks;
  const partColours = new Map(host.map((l) => [l.i, [...new Set(l.c)].sort()]));
  let several = 0;
  for (const { index, colours } of looks) {
    assert.deepEqual([...new Set(colours)].sort(), partColours.get(index), elements[index].name);
    if (partColours.get(index).length > 1) several++;
  }
  assert.ok(several > 0, 'no element of parts in several colours');
  const { data } = await pixels();
  const other = data.filter((_, k) => k % 4 === 0 && !background(data, k)).length;
  assert.ok(other / (data.length / 4) > 0.05, `only ${other} pixels differ from the background`);
  assert.deepEqual(problems, []);
});

// three.js's own glTF reader, not the page's: the model file has one node per element, in the
// host's order, named by a GUID and carrying the element's ID and type, and the reader puts every
// triangle corner of an element with a body where the page draws it.
test('the model file reads in a standard glTF reader as the page draws it', async () => {
  const elements = parseElements(await served.lines('elements'));
  const read = await page.evaluate(async (token) => {
    const THREE = await import('three');
    const { GLTFLoader } = await import('three/addons/loaders/GLTFLoader.js');
    const bytes = await (await fetch(`/api/model.glb?token=${token}`)).arrayBuffer();
    const { scene } = await new GLTFLoader().parseAsync(bytes, '');
    scene.updateMatrixWorld(true);
    const viewer = window.pw.viewer, drawn = viewer.batch.geometry.getAttribute('position');
    const v = new THREE.Vector3(), w = new THREE.Vector3();
    return scene.children.map((node) => {
      const item = viewer.byIndex[node.userData.index];
      // The farthest the reader's triangle corner is from the page's (a number that passes out of
      // the page: a count that differs is a kilometre).
      let far = 0;
      if (node.isMesh) {
        const { index, attributes } = node.geometry;
        const count = index ? index.count : attributes.position.count;
        if (count !== item?.corners) far = 1e6;
        else for (let k = 0; k < count; k++) {
          v.fromBufferAttribute(attributes.position, index ? index.getX(k) : k).applyMatrix4(node.matrixWorld);
          far = Math.max(far, v.distanceTo(w.fromBufferAttribute(drawn, viewer.triangles[item.tri + k])));
        }
      }
      return { name: node.name, index: node.userData.index, label: `${node.userData.type} ${node.userData.id}`, mesh: node.isMesh === true, far };
    });
  }, served.token);
  assert.equal(read.length, elements.length);
  assert.equal(new Set(read.map((r) => r.name)).size, read.length);
  read.forEach((r, i) => {
    assert.match(r.name, /^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$/);
    assert.deepEqual([r.index, r.label, r.mesh], [i, elements[i].name, elements[i].materials.length > 0]);
    assert.ok(r.far < 1e-4, `${r.label}: a corner ${r.far} m from where the page draws it`);
  });
});

test('the Gantt rows are the palette\'s rows', async () => {
  const rows = (await served.lines('palette list')).map((l) => l.split('\t').slice(0, 7));
  const shown = await page.evaluate(() => [...document.querySelectorAll('#gantt tbody tr')]
    .map((tr) => [tr.dataset.row, ...[...tr.cells].slice(0, 5).map((td) => td.textContent)]));
  assert.equal(shown.length, 15);
  assert.deepEqual(shown, rows.map((r) => [r[0], r[2], r[3], r[4], r[5], r[6]]));
});

test('a click on a bar chooses its row; Select Linked highlights that task\'s elements', async () => {
  // Row 4 holds the ground floor's columns and beams (linked by the patterns below).
  await page.click('#gantt .bar[data-row="4"]');
  await page.waitForFunction(() => window.pw.state().palette.rows.find((r) => r.row === 4)?.selected);
  const button = await page.waitForSelector('#buttons button[data-item="4"]');
  assert.equal(await button.evaluate((b) => b.textContent), 'Select Linked');
  await button.click();
  await page.waitForFunction(() => window.pw.viewer.drawn().some((d) => d.selected));
  const elements = parseElements(await served.lines('elements'));
  const highlighted = (await page.evaluate(() => window.pw.viewer.drawn().filter((d) => d.selected).map((d) => d.index)))
    .map((i) => elements[i].name).sort();
  const linked = parseElements(['', ...await served.lines('elements C-00-* B-00-*')]).map((e) => e.name).sort();
  assert.ok(linked.length > 4);
  assert.deepEqual(highlighted, linked);
});

test('an alert waits for the page and takes the button clicked there', async () => {
  await served.lines('select ST-*');
  await served.lines('palette select 15');
  const answered = page.evaluate(() => window.pw.host.command('palette click 1'));
  const cancel = await page.waitForSelector('#ask[open] #askButtons button[data-button="2"]');
  assert.match(await page.$eval('#askText', (e) => e.textContent), /Link the selected elements/);
  assert.equal(await cancel.evaluate((b) => b.textContent), 'Cancel');
  await cancel.click();
  const answer = await answered;
  assert.ok(answer.ok, answer.error);
  assert.equal(answer.alerts.length, 1);
  assert.equal(answer.alerts[0].answered, '2 (Cancel)');
  await page.waitForFunction(() => !document.getElementById('ask').open);
  await served.lines('select none');
});

test('the slider shows the model at three dates as the host has it', async () => {
  let taskColoured = 0;
  for (const date of ['2027-03-10', '2027-06-25', '2027-09-20']) {
    await showDate(page, date);
    assert.equal(await page.evaluate(() => window.pw.state().palette.date), date);
    const hidden = new Set((await served.lines('layers')).filter((l) => / hidden/.test(l)).map((l) => Number(l.trim().split(/\s+/)[0])));
    const elements = parseElements(await served.lines('elements'));
    // The task types' materials are made at the first showing.
    const materialColours = new Map((await served.lines('materials')).map((l) => {
      const [index, colour] = l.trim().split(/\s+/);
      return [Number(index), parseInt(colour.slice(1), 16)];
    }));
    const looks = await page.evaluate(() => window.pw.viewer.drawn());
    let shown = 0;
    for (const { index, visible, colours } of looks) {
      const e = elements[index];
      assert.equal(visible, !hidden.has(e.layer), `${date}: ${e.name} on layer ${e.layer}`);
      if (!visible) continue;
      shown++;
      const allowed = new Set(e.materials.map((m) => materialColours.get(m)));
      for (const c of colours) assert.ok(allowed.has(c), `${date}: ${e.name} in #${c.toString(16)}`);
      if (colours.includes(0x00e600)) taskColoured++;  // the colour of tasks of type Build
    }
    assert.ok(shown > 0 && shown < looks.length, `${date}: ${shown} of ${looks.length} shown`);
  }
  assert.ok(taskColoured > 0, 'no element in the colour of a task under way');
  // The slider's date and its showing go together; the first that fails ends such a set.
  const reply = await (await fetch(`${served.origin}/api/commands?token=${served.token}`,
    { method: 'POST', body: 'palette date 2027-02-30\npalette click 9' })).json();
  assert.deepEqual(reply.answers.map((a) => [a.command, a.ok]), [['palette date 2027-02-30', false]]);
  assert.equal(reply.state.palette.date, '2027-09-20');
});

test('a click on an element names it and highlights the element drawn under the pointer', async () => {
  await page.click('#fit');
  const before = await pixels();
  // The middle of the longest run of the model across the canvas's middle row.
  const y = Math.floor(before.data.length / 4 / before.width / 2);
  const at = (x, p = before) => p.data.slice(4 * (y * p.width + x), 4 * (y * p.width + x) + 3);
  let run = [0, 0];
  for (let x = 0, from = 0; x < before.width; x++)
    if (background(before.data, 4 * (y * before.width + x))) from = x + 1;
    else if (x + 1 - from > run[1] - run[0]) run = [from, x + 1];
  const x = (run[0] + run[1]) >> 1;
  const rect = await page.$eval('#canvas', (c) => c.getBoundingClientRect().toJSON());
  await page.mouse.click(rect.left + x, rect.top + y);
  await page.waitForFunction(() => /tasks: [^…]/.test(document.getElementById('pick').textContent));
  const named = (await page.$eval('#pick', (e) => e.textContent)).split('\n')[0];
  const elements = parseElements(await served.lines('elements'));
  const selected = await page.evaluate(() => window.pw.viewer.drawn().filter((d) => d.selected).map((d) => d.index));
  assert.deepEqual(selected.map((i) => elements[i].name), [named]);
  // The highlight shows at the pixel clicked: that element is the one drawn there.
  const [was, now] = [at(x), at(x, await pixels())];
  assert.ok(now[0] + now[1] - was[0] - was[1] > 20 && Math.abs(now[2] - was[2]) < 8, `${named} at (${x}, ${y}): ${was} then ${now}`);
  await served.lines('select none');
});

test('the movie button makes a movie with live progress; its download is H.264 with a text track', async () => {
  await page.click('#movie');
  // Ten weeks and a day in steps of two weeks: five whole steps and the day left, six frames.
  await page.evaluate(() => {
    document.getElementById('movieName').value = 'web-movie.mov';
    document.getElementById('movieFrom').value = '2027-03-01';
    document.getElementById('movieTo').value = '2027-05-10';
    document.getElementById('movieStep').value = '14';
    document.getElementById('movieLegend').checked = true;
  });
  await page.click('#movieGo');
  await page.waitForFunction(() => window.pw.lastMovie);
  const answer = await page.evaluate(() => window.pw.lastMovie);
  assert.ok(answer.ok, answer.error);
  const progress = await page.evaluate(() => window.pw.progressEvents);
  assert.ok(progress.length >= 2, `progress events: ${JSON.stringify(progress)}`);
  const link = await page.$eval('#files a[download="web-movie.mov"]', (a) => a.href);
  const movie = path.join(served.workspace, '..', path.basename(served.workspace) + '-download.mov');
  fs.writeFileSync(movie, Buffer.from(await (await fetch(link)).arrayBuffer()));
  const streams = execFileSync('ffprobe', ['-v', 'error', '-count_frames', '-show_entries',
    'stream=codec_type,codec_name,nb_read_frames', '-of', 'default=nw=1', movie]).toString();
  assert.match(streams, /codec_name=h264\ncodec_type=video\nnb_read_frames=6\n/);
  assert.equal(progress.at(-1), 'Frame 6 of 6');
  assert.match(streams, /codec_name=mov_text\ncodec_type=subtitle/);
});

test('Cancel in the progress window stops the movie', async () => {
  const before = (await page.evaluate(() => window.pw.progressEvents.length));
  const made = page.evaluate(() => window.pw.makeMovie('cancelled.mov', 1));
  await page.waitForFunction((n) => window.pw.progressEvents.length > n, {}, before);
  await page.click('#cancel');
  const answer = await made;
  assert.match(answer.output, /progress: pressed Cancel at \d+/);
  const frames = answer.progress.map((l) => /^Frame (\d+) of (\d+)$/.exec(l)).filter(Boolean);
  const [, last, all] = frames.at(-1).map(Number);
  assert.ok(last < all, `stopped at ${last} of ${all}: ${answer.progress}`);
  assert.equal(await page.evaluate(() => document.getElementById('progress').open), false);
});

test('after a movie the palette is back; a header sorts, a double-click edits in place, Play steps the date', async () => {
  // The movies above hid the palette (as a movie does); the page showed it again.
  assert.ok((await served.lines('palette')).includes('visible: yes'));
  // The host's word that the movie is made waits for its OK.
  assert.match(await page.$eval('#alertList', (e) => e.textContent), /movie/);
  await page.click('#alerts[open] button');
  const chart = () => page.$$eval('#gantt tbody tr', (rows) => rows.map((tr) => [tr.dataset.row, tr.cells[0].textContent]));
  const host = async () => (await served.lines('palette list')).map((l) => l.split('\t')).map((f) => [f[0], f[2]]);
  const before = await host();

  // The Task header is the palette's sort button: the chart shows the host's new order, by name.
  await page.click('#gantt thead th:nth-child(1)');
  await page.waitForFunction((was) => [...document.querySelectorAll('#gantt tbody td:first-child')]
    .map((td) => td.textContent).join() !== was, {}, before.map((r) => r[1]).join());
  const sorted = await host();
  assert.deepEqual(await chart(), sorted);
  const names = sorted.map((r) => r[1]), byName = [...names].sort((a, b) => a.localeCompare(b));
  assert.ok(names.join() === byName.join() || names.join() === byName.reverse().join(), names.join());

  // A double-click opens the row's editors; what is typed is committed by the next click elsewhere.
  const rowOf = (name) => sorted.find((r) => r[1] === name)[0];
  const roof = await page.$(`#gantt tbody tr[data-row="${rowOf('Roof')}"]`);
  await roof.click({ count: 2 });
  const input = await page.waitForSelector(`#gantt tbody tr[data-row="${rowOf('Roof')}"] input`);
  await input.evaluate((e) => { e.value = 'Roof and gutters'; e.dispatchEvent(new Event('change')); });
  await page.waitForFunction(() => window.pw.host.running === 0);
  await page.click(`#gantt tbody tr[data-row="${rowOf('Foundations')}"] td`);
  await page.waitForFunction(() => window.pw.state().palette.rows.some((r) => r.name === 'Roof and gutters' && !r.editing));
  assert.deepEqual(await chart(), sorted.map(([row, name]) => [row, name === 'Roof' ? 'Roof and gutters' : name]));
  assert.deepEqual(await host(), await chart());

  // Play shows the model a week after a week, from the slider's start, until paused.
  await page.evaluate(() => {
    document.getElementById('slider').value = 0;
    window.played = [];
    window.pw.host.onAnswer((a) => { if (a.command.startsWith('palette date ')) window.played.push(a.command.slice(13)); });
  });
  await page.click('#play');
  await page.waitForFunction(() => window.played.length >= 3);
  await page.click('#play');
  await page.waitForFunction(() => document.getElementById('play').textContent === '▶');
  const played = await page.evaluate(() => window.played);
  const start = Date.parse(await page.evaluate(() => window.pw.state().palette.rows.map((r) => r.startIso).sort()[0]));
  assert.deepEqual(played, played.map((_, k) => new Date(start + k * 7 * 86400000).toISOString().slice(0, 10)));
  assert.equal(await page.evaluate(() => window.pw.state().palette.date), played.at(-1));
  // Show All puts every element back: those on the layers the host shows are drawn.
  await page.click('#buttons button[data-item="8"]');
  const hidden = new Set((await served.lines('layers')).filter((l) => / hidden/.test(l)).map((l) => Number(l.trim().split(/\s+/)[0])));
  const elements = parseElements(await served.lines('elements'));
  const want = await page.evaluate(() => window.pw.viewer.drawn().map((d) => d.index));
  await page.waitForFunction((want) => window.pw.viewer.drawn().filter((d) => d.visible).map((d) => d.index).join() === want,
    { timeout: 20000 }, want.filter((i) => !hidden.has(elements[i].layer)).join());
});

test('two tabs share one host: their commands run one at a time, whole', async () => {
  const second = await chromium.newPage();
  await second.goto(served.url);
  await second.evaluate(() => window.pw.ready);
  const alone = { elements: (await served.command('elements')).output, layers: (await served.command('layers')).output };
  const run = (p, line) => p.evaluate((l) => window.pw.host.command(l).then((a) => a.output), line);
  const outputs = await Promise.all([
    run(page, 'elements'), run(second, 'layers'), run(page, 'layers'), run(second, 'elements'),
    run(page, 'elements'), run(second, 'layers')]);
  assert.deepEqual(outputs, ['elements', 'layers', 'layers', 'elements', 'elements', 'layers'].map((c) => alone[c]));
  // What one tab chooses shows in the other, which sent nothing: its highlight follows the host's
  // selection (looked at by the clock: the first tab is in the background, where frames do not come).
  for (const line of ['select SC-*', 'select none']) {
    const answer = await second.evaluate((l) => window.pw.host.command(l), line);
    assert.ok(answer.ok, answer.error);
    const want = answer.state.selection.join();
    assert.equal(want === '', line === 'select none', want);
    await page.waitForFunction((want) => window.pw.viewer.drawn().filter((d) => d.selected).map((d) => d.index).join() === want,
      { polling: 50, timeout: 10000 }, want);
  }
  await second.close();
});

test('uploads stay in the workspace; commands naming paths outside it are refused', async () => {
  const escape = `pw-escaped-${process.pid}`;
  const answers = await page.evaluate(async (escape) => {
    const host = window.pw.host;
    return [await host.upload(`../${escape}`, 'escaped'), await host.upload(`/tmp/${escape}`, 'escaped'),
      await host.upload('kept.txt', 'kept bytes'), await host.upload('../x', 'escaped')];
  }, escape);
  assert.deepEqual(answers.map((a) => a.ok), [false, false, true, false]);
  assert.match(answers[3].error, /plain file name/);
  assert.equal(fs.existsSync(path.join(served.workspace, '..', escape)), false);
  assert.equal(fs.existsSync(`/tmp/${escape}`), false);
  assert.equal(await (await fetch(`${served.origin}/api/files/kept.txt?token=${served.token}`)).text(), 'kept bytes');
  const outside = path.join(served.workspace, '..', 'outside.json');
  const refused = await served.command(`project save ${outside}`);
  assert.match(refused.ok ? 'saved' : refused.error, /outside the workspace/);
  assert.equal(fs.existsSync(outside), false);
  const down = await fetch(`${served.origin}/api/files/..%2Foutside.json?token=${served.token}`);
  assert.equal(down.status, 404);
});
