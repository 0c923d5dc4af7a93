// The page's one way into the host: every action is a session command line, run by the host in
// the order the commands come, and each answer brings the host's new state.
const token = new URLSearchParams(location.search).get('token') ?? '';

export function address(path, params = {}) {
  const query = new URLSearchParams({ token, ...params });
  return `${path}?${query}`;
}

export class Host {
  constructor() {
    this.version = 0;    // the looks of the model the page has
    this.model = '';     // which model they belong to
    this.listeners = [];
    this.answerListeners = [];
    this.queue = Promise.resolve();
    this.commandsRun = 0;  // the host's count of commands run, by any tab, as of that state
    this.running = 0;      // commands of this page sent and not yet answered
    this.heardOf = 0;      // the newest count the host announced while they ran
  }

  onState(listener) { this.listeners.push(listener); }
  onAnswer(listener) { this.answerListeners.push(listener); }

  accept(state, whole = false) {
    this.commandsRun = Math.max(this.commandsRun, state.commands ?? 0);
    // Answers may overtake each other (a refresh and a command); an older state is dropped, unless
    // it holds all the looks of a model the page has just loaded.
    if (!whole && state.model === this.model && state.version < this.version) return;
    this.version = state.version;
    this.model = state.model;
    for (const listener of this.listeners) listener(state);
  }

  // Runs one command; the answer has its output, alerts, report lines and the new state.
  // Commands of this page go one after the other, never two at once.
  command(line) {
    return this.send('/api/command', line, (answer) => [answer]).then(([answer]) => answer);
  }

  // Runs command lines that make one action (a date and its showing) together: no other tab's
  // command comes between them, and the first that fails ends them. Gives their answers.
  commands(lines) {
    return this.send('/api/commands', lines.join('\n'), (reply) => reply.answers ?? [reply]);
  }

  // Sends command lines; gives the answers in the reply, after the state and the listeners have
  // had them.
  send(path, body, answersOf) {
    const run = async () => {
      this.running++;
      let reply;
      try {
        const response = await fetch(address(path, { since: this.version, model: this.model }), { method: 'POST', body });
        reply = await response.json();
      } finally {
        this.running--;
      }
      if (reply.state) this.accept(reply.state);
      const answers = answersOf(reply);
      for (const answer of answers) for (const listener of this.answerListeners) listener(answer);
      // A command the host announced while this ran, and that its answer does not hold, was
      // another tab's, queued after it.
      if (this.heardOf > this.commandsRun && this.running === 0) this.refresh();
      return answers;
    };
    const result = this.queue.then(run, run);
    this.queue = result.catch(() => {});
    return result;
  }

  // The host's state: only what changed since the looks this page has, or all of it (whole).
  async fetchState(whole = false) {
    const params = whole ? {} : { since: this.version, model: this.model };
    return (await (await fetch(address('/api/state', params))).json()).state;
  }

  // The host ran a command: this page's own brings the new state with its answer; after another
  // tab's, the state is fetched.
  changed(event) {
    if (event.commands <= this.commandsRun && event.version <= this.version) return;
    if (this.running > 0) this.heardOf = Math.max(this.heardOf, event.commands);
    else this.refresh();
  }

  async refresh(whole = false) {
    const state = await this.fetchState(whole);
    if (state) this.accept(state);
    return state;
  }

  async modelBytes() {
    const response = await fetch(address('/api/model.glb'));
    if (!response.ok) throw new Error(`the model could not be loaded (${response.status})`);
    return { key: response.headers.get('X-Model'), bytes: await response.arrayBuffer() };
  }

  async upload(name, body) {
    const response = await fetch(address('/api/upload', { name }), { method: 'POST', body });
    return response.json();
  }

  answer(ask, button) { return fetch(address('/api/answer', { ask, button }), { method: 'POST' }); }

  cancel() { return fetch(address('/api/cancel'), { method: 'POST' }); }

  events(handler) {
    const source = new EventSource(address('/api/events'));
    source.onmessage = (e) => handler(JSON.parse(e.data));
    return source;
  }
}
