// The palette's rows as a Gantt chart. The rows, their order, the selection and the cell editors
// are the host's: a click on a column header is the palette's header button, a click on a row
// chooses it in the palette, a double-click opens the palette's cell editors, and what is typed
// goes to them through the palette's edit commands.
const DAY = 86400000;
const FALLBACK = ['#00e600', '#cc0000', '#eeeeee', '#0000e6', '#ffff80'];

const hex = (rgb) => '#' + rgb.toString(16).padStart(6, '0');
const time = (iso) => Date.parse(iso + 'T00:00:00Z');

export class Gantt {
  constructor(element, host) {
    this.element = element;
    this.host = host;
  }

  // The first and last day of the schedule (ISO dates), or null without rows.
  static range(palette) {
    const rows = (palette?.rows ?? []).filter((r) => r.startIso && r.endIso);
    if (!rows.length) return null;
    const start = rows.map((r) => r.startIso).sort()[0];
    const end = rows.map((r) => r.endIso).sort().at(-1);
    return { start, end };
  }

  typeColour(palette, name) {
    const k = (palette.types ?? []).findIndex((t) => t.name === name);
    if (k < 0) return '#999999';
    const known = palette.types[k].colour;
    return known !== undefined ? hex(known) : FALLBACK[k] ?? '#999999';
  }

  // Shows the palette's rows; when only its date moved, only the date's line moves.
  show(palette) {
    const shape = JSON.stringify({ ...palette, date: undefined });
    if (palette && shape === this.shape) {
      this.moveDate(palette);
      return;
    }
    this.shape = palette ? shape : null;
    this.element.textContent = '';
    if (!palette) return;
    const range = Gantt.range(palette);
    this.range = range;
    const table = document.createElement('table');
    const columns = ['Task', 'Type', 'Done', 'Start', 'End'];
    const head = table.createTHead().insertRow();
    const widths = ['22%', '8%', '5%', '9%', '9%'];
    columns.forEach((fallback, k) => {
      const header = (palette.headers ?? [])[k];
      const th = document.createElement('th');
      th.style.width = widths[k];
      th.textContent = header?.text ?? fallback;
      if (header) {
        th.title = 'sort (the palette\'s header button)';
        th.onclick = () => this.host.command(`palette click ${header.item}`);
      }
      head.appendChild(th);
    });
    const chartHead = document.createElement('th');
    chartHead.className = 'chart';
    chartHead.textContent = range ? `${range.start} … ${range.end}` : '';
    head.appendChild(chartHead);

    const body = table.createTBody();
    const span = this.span();
    for (const row of palette.rows) {
      const tr = body.insertRow();
      tr.dataset.row = row.row;
      tr.classList.toggle('selected', row.selected);
      tr.classList.toggle('marked', row.marked);
      const cells = [row.name, row.type, row.done, row.start, row.end];
      cells.forEach((text, k) => {
        const td = tr.insertCell();
        if (row.editing) td.appendChild(this.editor(palette, row, k));
        else td.textContent = text;
      });
      const chart = tr.insertCell();
      chart.className = 'chart';
      if (range && row.startIso && row.endIso) {
        const bar = document.createElement('div');
        bar.className = 'bar';
        bar.dataset.row = row.row;
        bar.style.left = this.at(row.startIso) + '%';
        bar.style.width = Math.max(0.3, this.at(row.endIso) + (100 * DAY) / span - this.at(row.startIso)) + '%';
        bar.style.background = this.typeColour(palette, row.type);
        bar.title = `${row.name}: ${row.start} – ${row.end}, ${row.done}`;
        const done = document.createElement('div');
        done.className = 'done';
        done.style.width = (parseFloat(row.done) || 0) + '%';
        bar.appendChild(done);
        chart.appendChild(bar);
      }
      const now = document.createElement('div');
      now.className = 'now';
      chart.appendChild(now);
      tr.onclick = () => { if (!row.editing) this.host.command(`palette select ${row.row}`); };
      tr.ondblclick = () => { if (!row.editing) this.host.command(`palette dblclick ${row.row}`); };
    }
    this.element.appendChild(table);
    this.moveDate(palette);
  }

  // The schedule's days in ms, and where a day stands across the chart (percent).
  span() {
    return this.range ? time(this.range.end) + DAY - time(this.range.start) : 1;
  }

  at(iso) {
    return this.range ? (100 * (time(iso) - time(this.range.start))) / this.span() : 0;
  }

  // The current date as a line across the bars.
  moveDate(palette) {
    const shown = Boolean(this.range && palette.date);
    for (const now of this.element.querySelectorAll('.now')) {
      now.hidden = !shown;
      if (shown) now.style.left = this.at(palette.date) + '%';
    }
  }

  // The cell editor of an open row: what is typed goes to the palette's editor of that column.
  editor(palette, row, column) {
    const quote = (text) => '"' + text.replaceAll('"', "'") + '"';
    if (column === 0) {
      const input = document.createElement('input');
      input.value = row.name;
      input.onchange = () => this.host.command(`palette edit name ${quote(input.value)}`);
      return input;
    }
    if (column === 1) {
      const select = document.createElement('select');
      (palette.types ?? []).forEach((t, k) => select.add(new Option(t.name, k, false, t.name === row.type)));
      select.onchange = () => this.host.command(`palette edit type ${select.value}`);
      return select;
    }
    if (column === 3 || column === 4) {
      const input = document.createElement('input');
      input.type = 'date';
      input.value = column === 3 ? row.startIso : row.endIso;
      input.onchange = () => this.host.command(`palette edit ${column === 3 ? 'start' : 'end'} ${input.value}`);
      return input;
    }
    const span = document.createElement('span');
    span.textContent = row.done;
    return span;
  }
}
