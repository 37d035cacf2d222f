// The panel page: draws the frames the host streams, sends the mouse to it,
// shows tooltips and cursors, the authoring overlay and the aircraft panel.
'use strict';

const $ = (id) => document.getElementById(id);
const panelEl = $('panel');
const overlayEl = $('overlay');
const tooltipEl = $('tooltip');
const inspectEl = $('inspect');

// Cursor codes of the gauges' click areas, as CSS cursors.
const CURSORS = { '-1': 'default', 1: 'n-resize', 2: 's-resize', 5: 'pointer' };
const cssCursor = (code) => CURSORS[code] || 'default';

// What the tests (and curious authors) can read.
const stats = window.panelStats = {
  frames: 0, patches: 0, latencies: [], lastAck: 0, lastFrameTime: 0, windows: {}, messages: [], connected: false,
};

let layout = null;
const windows = new Map();  // ident -> {el, ctx, x, y, w, h}
let zoom = 1;

// ---------------------------------------------------------------------------
// Frames

async function decodePatch(p) {
  const bytes = Uint8Array.from(atob(p.png), (c) => c.charCodeAt(0));
  const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
  return { p, bitmap };
}

function setWindowVisible(ident, visible) {
  const w = windows.get(ident);
  if (!w) return;
  w.el.classList.toggle('closed', !visible);
  stats.windows[ident] = visible;
}

const pendingClicks = new Map();  // mouse action id -> time sent
let frameChain = Promise.resolve();

function onFrame(frame) {
  // Frames are drawn strictly in order; the patches of one frame are decoded
  // together and then drawn at once, so that nothing flickers.
  frameChain = frameChain.then(async () => {
    const decoded = await Promise.all((frame.patches || []).map(decodePatch));
    if (frame.windows) for (const w of frame.windows) setWindowVisible(w.ident, w.visible);
    for (const { p, bitmap } of decoded) {
      const w = windows.get(p.window);
      if (w) w.ctx.drawImage(bitmap, p.x - w.x, p.y - w.y);
      bitmap.close();
    }
    stats.frames++;
    stats.patches += decoded.length;
    stats.lastFrameTime = frame.time;
    const ack = frame.acks && frame.acks[mouseClient];
    if (ack) {
      stats.lastAck = ack;
      const now = performance.now();
      for (const [id, t0] of pendingClicks) {
        if (id <= ack) {
          stats.latencies.push(now - t0);
          pendingClicks.delete(id);
        }
      }
    }
    if (frame.events) addEvents(frame.events);
    if (frame.messages) for (const m of frame.messages) showMessage(m);
    if (frame.windows && overlayOn()) refreshOverlay();
    $('status').textContent = `t=${frame.time.toFixed(2)} s  frames ${stats.frames}`;
  }).catch((e) => console.error(e));
}

function connect() {
  const source = new EventSource('/api/frames');
  source.onopen = () => { stats.connected = true; };
  source.onmessage = (e) => onFrame(JSON.parse(e.data));
  source.onerror = () => { stats.connected = false; $('status').textContent = 'disconnected, retrying…'; };
}

// ---------------------------------------------------------------------------
// Mouse

function panelPoint(e) {
  const r = panelEl.getBoundingClientRect();
  return { x: (e.clientX - r.left) * layout.width / r.width, y: (e.clientY - r.top) * layout.height / r.height };
}

// Mouse actions go out at once, without waiting for each other (a click's
// press and release must not be a round trip apart: a held switch repeats
// after 100 ms); the host puts them back in order by their ids. Moves are
// thinned out: while one is on its way, only the latest next one is kept.
const mouseClient = Math.random().toString(36).slice(2);
let nextMouseId = 1;
let moveInFlight = false;
let pendingMove = null;

function post(action, pt) {
  const id = nextMouseId++;
  if (action === 'down') pendingClicks.set(id, performance.now());
  return fetch('/api/mouse', { method: 'POST', body: JSON.stringify({ action, x: pt.x, y: pt.y, id, client: mouseClient }) })
    .catch((e) => console.error(e));
}

function sendMouse(action, pt) {
  if (action === 'move') {
    if (moveInFlight) {
      pendingMove = pt;
      return;
    }
    moveInFlight = true;
    post('move', pt).finally(() => {
      moveInFlight = false;
      if (pendingMove) {
        const next = pendingMove;
        pendingMove = null;
        sendMouse('move', next);
      }
    });
    return;
  }
  if (pendingMove) {
    post('move', pendingMove);
    pendingMove = null;
  }
  post(action, pt);
}

let buttonDown = false;
let hoverBusy = false;
let hoverNext = null;
let lastClient = { x: 0, y: 0 };

async function hover(pt) {
  hoverNext = pt;
  if (hoverBusy) return;
  hoverBusy = true;
  while (hoverNext) {
    const p = hoverNext;
    hoverNext = null;
    try {
      const r = await fetch(`/api/hover?x=${p.x}&y=${p.y}`);
      showHover(await r.json());
    } catch (e) {
      console.error(e);
    }
  }
  hoverBusy = false;
}

function showHover(h) {
  panelEl.style.cursor = cssCursor(h.cursor);
  panelEl.dataset.cursor = h.cursor;
  if (h.tooltip && !buttonDown) {
    tooltipEl.textContent = h.tooltip;
    tooltipEl.style.left = `${lastClient.x + 14}px`;
    tooltipEl.style.top = `${lastClient.y + 18}px`;
    tooltipEl.hidden = false;
  } else {
    tooltipEl.hidden = true;
  }
  if (overlayOn()) inspect(h);
}

panelEl.addEventListener('pointerdown', (e) => {
  if (e.button !== 0 || !layout) return;
  e.preventDefault();
  panelEl.setPointerCapture(e.pointerId);
  buttonDown = true;
  tooltipEl.hidden = true;
  sendMouse('down', panelPoint(e));
});
panelEl.addEventListener('pointermove', (e) => {
  if (!layout) return;
  lastClient = { x: e.clientX, y: e.clientY };
  const pt = panelPoint(e);
  if (buttonDown) sendMouse('move', pt);
  else hover(pt);
});
const release = (e) => {
  if (!buttonDown) return;
  buttonDown = false;
  sendMouse('up', panelPoint(e));
  hover(panelPoint(e));
};
panelEl.addEventListener('pointerup', release);
panelEl.addEventListener('pointercancel', release);
panelEl.addEventListener('pointerleave', () => { if (!buttonDown) tooltipEl.hidden = true; });

// ---------------------------------------------------------------------------
// Authoring overlay

const overlayOn = () => $('overlay-toggle').checked;
const SVG = 'http://www.w3.org/2000/svg';

async function refreshOverlay() {
  const areas = await (await fetch('/api/areas')).json();
  overlayEl.replaceChildren();
  for (const g of areas) {
    for (const r of g.records) {
      if (!r.box || (r.kind === 'parent' && !r.tooltip)) continue;
      const rect = document.createElementNS(SVG, 'rect');
      rect.setAttribute('x', r.box.x);
      rect.setAttribute('y', r.box.y);
      rect.setAttribute('width', r.box.w);
      rect.setAttribute('height', r.box.h);
      rect.setAttribute('class', r.kind === 'click' ? `click c${[1, 2, 5].includes(r.cursor) ? r.cursor : 'x'}` : 'tooltip');
      rect.dataset.gauge = g.gauge;
      rect.dataset.record = r.record;
      const title = document.createElementNS(SVG, 'title');
      title.textContent = `${g.gauge} #${r.record} ${r.kind}`;
      rect.appendChild(title);
      overlayEl.appendChild(rect);
    }
  }
}

function inspect(h) {
  for (const el of overlayEl.querySelectorAll('.hot')) el.classList.remove('hot');
  if (!h.gauge) {
    inspectEl.hidden = true;
    return;
  }
  const box = (b) => `${fmt(b.x)},${fmt(b.y)} ${fmt(b.w)}x${fmt(b.h)}${b.whole ? ' (whole gauge)' : ''}`;
  const lines = [`${h.gauge}  at ${fmt(h.gx)},${fmt(h.gy)} (drawn units)`];
  if (h.click) {
    lines.push(`click area #${h.click.record}: box ${box(h.click.box)} cursor ${h.click.cursor} flags ${h.click.flags}`);
    hot(h.gauge, h.click.record);
  } else {
    lines.push('no click area');
  }
  if (h.tip) {
    lines.push(`tooltip #${h.tip.record} (parent #${h.tip.parent_record}, box ${box(h.tip.box)})`);
    lines.push(`  text: ${h.tip.text}`);
    h.tip.args.forEach((a, i) => lines.push(`  arg ${i + 1}: token ${a.token} -> ${'text' in a ? JSON.stringify(a.text) : a.result}`));
    hot(h.gauge, h.tip.parent_record);
  } else {
    lines.push('no tooltip');
  }
  inspectEl.textContent = lines.join('\n');
  inspectEl.hidden = false;
}

function hot(gauge, record) {
  for (const el of overlayEl.querySelectorAll('rect'))
    if (el.dataset.gauge === gauge && Number(el.dataset.record) === record) el.classList.add('hot');
}

const fmt = (v) => (typeof v === 'number' ? (Number.isInteger(v) ? String(v) : v.toFixed(1)) : String(v));

$('overlay-toggle').addEventListener('change', () => {
  overlayEl.hidden = !overlayOn();
  if (overlayOn()) refreshOverlay();
  else inspectEl.hidden = true;
});

// ---------------------------------------------------------------------------
// Side panel: the aircraft model

async function command(c) {
  const r = await fetch('/api/command', { method: 'POST', body: JSON.stringify(c) });
  const body = await r.json();
  if (!r.ok) showMessage(`error: ${body.error}`);
  refreshState();
  return body;
}

function addEvents(events) {
  const list = $('events');
  for (const e of events) {
    const li = document.createElement('li');
    li.textContent = `${e.time.toFixed(2)} s  ${e.id}  ${e.value}`;
    list.prepend(li);
  }
  while (list.children.length > 40) list.lastChild.remove();
}

let toastTimer = null;
function showMessage(text) {
  stats.messages.push(text);
  const t = $('toast');
  t.textContent = text;
  t.hidden = false;
  clearTimeout(toastTimer);
  toastTimer = setTimeout(() => { t.hidden = true; }, 4000);
  const li = document.createElement('li');
  li.textContent = text;
  $('messages').prepend(li);
}

const tokenRows = new Map();

function renderTokens(tokens) {
  const body = $('tokens').tBodies[0];
  for (const t of tokens) {
    let row = tokenRows.get(t.token);
    if (!row) {
      const tr = body.insertRow();
      tr.insertCell().textContent = t.token;
      const value = tr.insertCell();
      const model = tr.insertCell();
      const act = tr.insertCell();
      const input = document.createElement('input');
      input.placeholder = 'value';
      const set = document.createElement('button');
      set.textContent = 'Set';
      set.onclick = () => command({ op: 'set', token: t.token, value: input.value.trim() });
      input.onkeydown = (e) => { if (e.key === 'Enter') set.click(); };
      const rel = document.createElement('button');
      rel.textContent = 'Release';
      rel.onclick = () => command({ op: 'release', token: t.token });
      act.append(input, set, rel);
      row = { tr, value, model };
      tokenRows.set(t.token, row);
    }
    row.value.textContent = t.value === null ? 'nan/inf' : fmtValue(t.value);
    row.model.textContent = t.model === null ? 'nan/inf' : fmtValue(t.model);
    row.tr.classList.toggle('overridden', t.overridden);
  }
}

const fmtValue = (v) => (Math.abs(v) >= 1000 || Number.isInteger(v) ? v.toFixed(0) : v.toPrecision(4));

function renderFailures(failures) {
  const box = $('failures');
  box.replaceChildren();
  for (const f of failures) {
    const label = document.createElement('label');
    const cb = document.createElement('input');
    cb.type = 'checkbox';
    cb.checked = f.failed;
    cb.onchange = () => command({ op: cb.checked ? 'fail' : 'repair', key: f.key });
    label.append(cb, ` ${f.key}`);
    label.title = f.gauges.join(', ');
    box.append(label);
  }
}

function renderWindows(list) {
  const box = $('windows');
  if (box.children.length === list.length) {
    list.forEach((w, i) => { box.children[i].classList.toggle('open', w.visible); });
    return;
  }
  box.replaceChildren();
  for (const w of list) {
    const b = document.createElement('button');
    b.textContent = `${w.title} (${w.ident})`;
    b.onclick = () => command({ op: 'window', ident: w.ident, action: 'toggle' });
    box.append(b);
  }
}

let failureSignature = '';
let eventsLoaded = false;

async function refreshState() {
  const s = await (await fetch('/api/state')).json();
  stats.state = s;
  $('play').textContent = s.paused ? 'Play' : 'Pause';
  $('sim-time').textContent = s.time.toFixed(1);
  $('demo-state').textContent = s.demo.running ? `flying ${s.demo.time.toFixed(0)}/${s.demo.length.toFixed(0)} s` : 'parked';
  $('engine-state').textContent = s.engine_running ? 'running' : 'stopped';
  $('metric').checked = s.metric;
  $('scenario-state').textContent = s.scenario_error || (s.scenario_done ? '' : 'playing…');
  renderTokens(s.tokens);
  const sig = JSON.stringify(s.failures);
  if (sig !== failureSignature) {
    failureSignature = sig;
    renderFailures(s.failures);
  }
  renderWindows(s.windows);
  if (!eventsLoaded) {
    eventsLoaded = true;
    addEvents(s.events);
  }
}

$('play').onclick = () => command({ op: $('play').textContent === 'Pause' ? 'pause' : 'play' });
$('step').onclick = () => command({ op: 'step' });
$('demo').onclick = () => command({ op: 'demo' });
$('preset').onclick = () => command({ op: 'engine_running' });
$('metric').onchange = () => command({ op: 'units', metric: $('metric').checked });
$('release-all').onclick = () => command({ op: 'release_all' });
$('key-send').onclick = () => command({ op: 'key', id: $('key-id').value.trim(), value: Number($('key-value').value) || 0 });
$('fail-add').onclick = () => command({ op: 'fail', key: $('fail-key').value.trim() });
$('scenario-play').onclick = () => command({ op: 'scenario', text: $('scenario').value });
$('side-toggle').onchange = () => $('side').classList.toggle('hidden', !$('side-toggle').checked);

function applyZoom() {
  const v = $('zoom').value;
  const wrap = $('panel-wrap');
  zoom = v === 'fit' ? Math.min(1, (wrap.clientWidth - 4) / layout.width) : Number(v);
  panelEl.style.transform = `scale(${zoom})`;
}
$('zoom').onchange = applyZoom;
window.addEventListener('resize', () => { if ($('zoom').value === 'fit') applyZoom(); });

// ---------------------------------------------------------------------------

async function start() {
  layout = await (await fetch('/api/layout')).json();
  stats.layout = layout;
  panelEl.style.width = `${layout.width}px`;
  panelEl.style.height = `${layout.height}px`;
  overlayEl.setAttribute('width', layout.width);
  overlayEl.setAttribute('height', layout.height);
  for (const w of layout.windows) {
    const el = document.createElement('div');
    el.className = 'window closed';
    el.dataset.ident = w.ident;
    el.title = '';
    Object.assign(el.style, { left: `${w.x}px`, top: `${w.y}px`, width: `${w.w}px`, height: `${w.h}px`, background: w.color });
    const canvas = document.createElement('canvas');
    canvas.width = w.w;
    canvas.height = w.h;
    el.appendChild(canvas);
    panelEl.insertBefore(el, overlayEl);
    windows.set(w.ident, { el, ctx: canvas.getContext('2d'), x: w.x, y: w.y, w: w.w, h: w.h });
  }
  applyZoom();
  connect();
  refreshState();
  setInterval(() => { if ($('side-toggle').checked) refreshState(); }, 500);
}

start();
