// The browser workspace: the model, the schedule as a Gantt chart, the date slider, files and the
// host's console, all worked through session commands of the one host.
import { Host, address } from './host.js';
import { Viewer } from './viewer.js';
import { Gantt } from './gantt.js';

const $ = (id) => document.getElementById(id);
const DAY = 86400000;
const started = performance.now(); // since the page was asked for: its scripts are loaded
const host = new Host();
const viewer = new Viewer($('canvas'));
const gantt = new Gantt($('gantt'), host);
let modelKey = null;
let loading = null;
let lastState = null;
let lastShown = '';
let range = null;

const isoOf = (ms) => new Date(ms).toISOString().slice(0, 10);
const time = (iso) => Date.parse(iso + 'T00:00:00Z');

// The console keeps its last lines; it scrolls to the newest at the next frame, so a command's
// answer does not wait for the page's layout.
let logged = 0;
let scrolling = false;
function log(text) {
  const el = $('log');
  const line = text.endsWith('\n') ? text : text + '\n';
  el.appendChild(document.createTextNode(line));
  logged += line.length;
  while (logged > 100000 && el.firstChild) {
    logged -= el.firstChild.length;
    el.firstChild.remove();
  }
  if (scrolling) return;
  scrolling = true;
  requestAnimationFrame(() => {
    scrolling = false;
    el.scrollTop = el.scrollHeight;
  });
}

// The palette's button with this text (its item number), or the item given.
function buttonItem(text, fallback) {
  const button = (lastState?.palette?.buttons ?? []).find((b) => b.text === text);
  return button ? button.item : fallback;
}

// The model's shapes and all its looks, asked for at once; the steps' times are kept in
// viewer.marks.
async function loadModel() {
  const t0 = performance.now();
  const [{ key, bytes }, state] = await Promise.all([host.modelBytes(), host.fetchState(true)]);
  viewer.marks.fetch = performance.now() - t0;
  viewer.marks.megabytes = bytes.byteLength / 1e6;
  viewer.load(bytes);
  modelKey = key;
  const t1 = performance.now();
  if (state?.model === key) host.accept(state, true);
  else await host.refresh(true);
  viewer.marks.looks = performance.now() - t1;
}

host.onState((state) => {
  lastState = state;
  if (state.model !== modelKey) {
    // Another model: its shapes come once, then its looks whole.
    if (!loading) loading = loadModel().finally(() => { loading = null; });
    return;
  }
  // A new picture only when the model looks different: a date alone changes nothing in it.
  const t0 = performance.now();
  const restyled = viewer.applyLooks(state.looks);
  if (viewer.setSelection(state.selection) || restyled) viewer.drawPicture();
  const t1 = performance.now();
  // The chart and the lists are made again only when they changed (a Show at Date leaves them).
  const shown = JSON.stringify([state.palette, state.layers]);
  if (shown !== lastShown) {
    lastShown = shown;
    showPalette(state.palette);
    showLayers(state.layers);
  }
  Object.assign(viewer.marks, { apply: t1 - t0, palette: performance.now() - t1 });
});

host.onAnswer((answer) => {
  log(`> ${answer.command}\n${answer.output}${answer.ok ? '' : 'error: ' + answer.error + '\n'}`);
  // Alerts answered here as they came need no second look; the others were answered for the page
  // (by a queued `answer`, or the first button) and are shown now.
  const unseen = (answer.alerts ?? []).filter((a) => !askedHere.delete(a.text));
  if (unseen.length) {
    const list = $('alertList');
    list.textContent = '';
    for (const alert of unseen) {
      const p = document.createElement('p');
      p.textContent = `${alert.text}\n${alert.buttons}\nanswered: ${alert.answered}`;
      p.style.whiteSpace = 'pre-wrap';
      list.appendChild(p);
    }
    if (!$('alerts').open) $('alerts').showModal();
  }
});

function showPalette(palette) {
  $('title').textContent = palette?.title ?? '(no schedule open)';
  const buttons = $('buttons');
  buttons.textContent = '';
  // A hidden palette (the movie hides it) takes no clicks: it is shown first, as from the menu.
  const hidden = palette?.visible === false;
  if (hidden) {
    const show = document.createElement('button');
    show.id = 'showPalette';
    show.textContent = 'Show Palette';
    show.title = 'The palette is hidden; its rows and buttons work again once it is shown (menu item 1)';
    show.onclick = () => host.command('menu 1');
    buttons.appendChild(show);
  }
  for (const b of palette?.buttons ?? []) {
    const button = document.createElement('button');
    button.textContent = b.text;
    button.disabled = !b.enabled || hidden;
    button.dataset.item = b.item;
    button.onclick = () => host.command(`palette click ${b.item}`);
    buttons.appendChild(button);
  }
  gantt.show(palette);
  range = Gantt.range(palette);
  const slider = $('slider');
  if (range) {
    slider.max = Math.round((time(range.end) - time(range.start)) / DAY);
    if (palette.date && !playing) slider.value = Math.round((time(palette.date) - time(range.start)) / DAY);
  }
  $('dateText').textContent = palette?.date ?? '';
}

function showLayers(layers) {
  const list = $('layers');
  list.textContent = '';
  layers.forEach((layer, k) => {
    const li = document.createElement('li');
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.checked = !layer.hidden;
    box.onchange = () => host.command(`layer ${k + 1} ${box.checked ? 'show' : 'hide'}`);
    li.append(box, ` ${layer.name}`);
    list.appendChild(li);
  });
}

// The palette's date and its Show at Date: the model as it stands on that day.
async function showAt(iso) {
  const t0 = performance.now();
  const answers = await host.commands([`palette date ${iso}`, `palette click ${buttonItem('Show at Date', 9)}`]);
  viewer.marks.commands = performance.now() - t0;
  return answers.at(-1);
}

$('slider').addEventListener('input', () => {
  if (range) $('dateText').textContent = isoOf(time(range.start) + $('slider').value * DAY);
});
$('slider').addEventListener('change', () => {
  if (range) window.pw.lastShow = showAt(isoOf(time(range.start) + $('slider').value * DAY));
});

let playing = false;
$('play').onclick = async () => {
  if (playing) { playing = false; return; }
  if (!range) return;
  playing = true;
  $('play').textContent = '⏸';
  const slider = $('slider');
  if (Number(slider.value) >= Number(slider.max)) slider.value = 0;
  while (playing && Number(slider.value) <= Number(slider.max)) {
    await showAt(isoOf(time(range.start) + slider.value * DAY));
    await viewer.nextPicture();
    if (Number(slider.value) === Number(slider.max)) break;
    slider.value = Math.min(Number(slider.max), Number(slider.value) + 7);
  }
  playing = false;
  $('play').textContent = '▶';
};

$('fit').onclick = () => viewer.fitAll();

// Picking: a click (not a drag) on an element shows what the host knows of it and its tasks (the
// palette's Mark Tasks for it).
let down = null;
$('canvas').addEventListener('pointerdown', (e) => { down = [e.clientX, e.clientY]; });
$('canvas').addEventListener('pointerup', async (e) => {
  if (!down || Math.hypot(e.clientX - down[0], e.clientY - down[1]) > 4) return;
  const d = viewer.pick(e.clientX, e.clientY);
  const panel = $('pick');
  if (!d) { panel.hidden = true; return; }
  panel.hidden = false;
  panel.textContent = `${d.type} ${d.id}\nlayer ${d.layer}\nGUID ${d.guid}\ntasks: …`;
  panel.style.whiteSpace = 'pre-wrap';
  if (!d.id) return;
  await host.command(`select "${d.id.replaceAll('"', '')}"`);
  await host.command(`palette click ${buttonItem('Mark Tasks', 3)}`);
  const tasks = (lastState?.palette?.rows ?? []).filter((r) => r.marked).map((r) => r.name);
  panel.textContent = `${d.type} ${d.id}\nlayer ${d.layer}\nGUID ${d.guid}\ntasks: ${tasks.join('; ') || 'none'}`;
});

// Files: uploads into the workspace, downloads from it.
function listFile(name) {
  const li = document.createElement('li');
  const a = document.createElement('a');
  a.href = address(`/api/files/${encodeURIComponent(name)}`);
  a.textContent = name;
  a.download = name;
  li.appendChild(a);
  $('files').appendChild(li);
}
async function upload(file) {
  const answer = await host.upload(file.name, file);
  log(answer.ok ? `uploaded ${answer.name} (${answer.bytes} bytes)` : `upload refused: ${answer.error}`);
  if (answer.ok) listFile(answer.name);
}
$('upload').onchange = () => { for (const f of $('upload').files) upload(f); };
document.addEventListener('dragover', (e) => { e.preventDefault(); $('drop').hidden = false; });
document.addEventListener('dragleave', (e) => { if (!e.relatedTarget) $('drop').hidden = true; });
document.addEventListener('drop', (e) => {
  e.preventDefault();
  $('drop').hidden = true;
  for (const f of e.dataTransfer.files) upload(f);
});
$('download').onsubmit = (e) => {
  e.preventDefault();
  const name = $('fileName').value.trim();
  if (name) window.open(address(`/api/files/${encodeURIComponent(name)}`));
};

// The movie: the add-on's movie command with its settings and file answered, progress live.
$('movie').onclick = () => {
  // The schedule's whole span unless a narrower one inside it was chosen.
  if (range) {
    const inside = (iso) => iso && iso >= range.start && iso <= range.end;
    if (!inside($('movieFrom').value)) $('movieFrom').value = range.start;
    if (!inside($('movieTo').value) || $('movieTo').value < $('movieFrom').value) $('movieTo').value = range.end;
  }
  $('movieForm').showModal();
};
$('movieForm').addEventListener('close', async () => {
  if ($('movieForm').returnValue !== 'ok' || !range) return;
  const name = $('movieName').value.trim() || 'movie.mov';
  const step = Math.max(1, Number($('movieStep').value) || 7);
  window.pw.lastMovie = makeMovie(name, step, {
    from: $('movieFrom').value, to: $('movieTo').value, pictures: Number($('moviePictures').value),
    textTrack: $('movieTextTrack').checked, dateText: $('movieDateText').checked,
    outlines: $('movieOutlines').checked, legend: $('movieLegend').checked,
  });
});

// The movie settings dialog answered with the form's choices (its item numbers), then the file
// dialog, then the movie made with its progress shown live.
async function makeMovie(name, step, options = {}) {
  const o = { from: range.start, to: range.end, pictures: 17, textTrack: true, dateText: true, outlines: true,
    legend: false, ...options };
  const on = (flag) => (flag ? 1 : 0);
  await host.command(`dialog 14 ${o.pictures} 5=${o.from || range.start} 7=${o.to || range.end} 9=${step} ` +
    `19=${on(o.textTrack)} 22=0 25=1 26=${on(o.dateText)} 28=${on(o.outlines)} 29=${on(o.legend)} ok`);
  await host.command(`file "${name}"`);
  $('progressText').textContent = '';
  $('progressBar').removeAttribute('value');
  $('progress').showModal();
  const shown = lastState?.palette?.visible;
  const answer = await host.command('menu 6');
  $('progress').close();
  // The movie hides the palette; the page's schedule is the palette, so it comes back.
  if (shown && lastState?.palette?.visible === false) await host.command('menu 1');
  if (answer.ok) listFile(name);
  return answer;
}
$('cancel').onclick = () => host.cancel();

// An alert while a command runs: the host waits for a button of this page (or of another tab).
const askedHere = new Set();
let asking = 0;
host.events((event) => {
  if (event.type === 'alert') {
    asking = event.ask;
    askedHere.add(`alert ${event.id}: ${event.text}`);
    $('askText').textContent = event.text;
    const buttons = $('askButtons');
    buttons.textContent = '';
    event.buttons.forEach((text, k) => {
      const button = document.createElement('button');
      button.textContent = text;
      button.dataset.button = k + 1;
      button.onclick = () => { host.answer(event.ask, k + 1); $('ask').close(); };
      buttons.appendChild(button);
    });
    window.pw.asked.push(event);
    if (!$('ask').open) $('ask').showModal();
  } else if (event.type === 'answered') {
    if (event.ask === asking && $('ask').open) $('ask').close();
  } else if (event.type === 'progress') {
    $('progressText').textContent = event.text;
    const m = /(\d+)\D+(\d+)/.exec(event.text);
    if (m && Number(m[2]) > 0) { $('progressBar').max = Number(m[2]); $('progressBar').value = Number(m[1]); }
    window.pw.progressEvents.push(event.text);
  } else if (event.type === 'changed') {
    host.changed(event);
  }
});

$('commandForm').onsubmit = (e) => {
  e.preventDefault();
  const line = $('commandLine').value;
  $('commandLine').value = '';
  if (line.trim()) host.command(line);
};

// For tests and for the curious: the page's parts.
window.pw = { host, viewer, gantt, showAt, makeMovie, progressEvents: [], asked: [], state: () => lastState,
  ready: (async () => {
    const t0 = performance.now();
    viewer.marks.scripts = started;
    loading = loadModel().finally(() => { loading = null; });
    await loading;
    await viewer.nextPicture();
    return performance.now() - t0;
  })() };
