// page_probe.js — put into the page by browser_test.py before the page's own
// scripts: it keeps the announced frames ('marivelt-frame') and their
// pictures, holds keys for exact passes, drives animation frames at any rate,
// counts Web Audio's calls, and compares pictures and lays out the page.
window.__t = {frames: [], wanted: [], audio: 0, starts: 0, stops: 0, decoded: 0, onFrame: []};
__t.first = new Promise((done) => __t.wanted.push({at: 1, done}));
addEventListener('marivelt-frame', () => {
  const n = __t.frames.push(performance.now()), due = __t.wanted.filter((w) => w.at === n);
  if (due.length) { const url = document.getElementById('canvas').toDataURL(); due.forEach((w) => w.done(url)); }
  __t.onFrame = __t.onFrame.filter((f) => f());
});
// The picture of frame `at` (the first is 1), or of the frame `after` frames from now.
window.__shotAt = (at) => new Promise((done, fail) =>
  __t.frames.length < at ? __t.wanted.push({at, done}) : fail('frame ' + at + ' is past'));
window.__shot = (after) => __shotAt(__t.frames.length + after);
window.__until = (test) => new Promise((done) => { const w = () => test() ? done() : setTimeout(w, 20); w(); });
window.__frames = (n) => new Promise((done) => __t.onFrame.push(() => --n > 0 || done()));
// A key held for exactly `passes` passes of the loop: down as a frame is announced, up as the last is.
window.__hold = (keyCode, passes) => new Promise((done) => {
  const send = (type) => { const e = new KeyboardEvent(type);
    Object.defineProperty(e, 'keyCode', {get: () => keyCode}); dispatchEvent(e); };
  let step = 0;
  __t.onFrame.push(() => { if (step === 0) send('keydown');
    if (step === passes) { send('keyup'); done(); } return step++ < passes; });
});
// Animation frames at `hertz`, n / hertz s apart as the page sees them, each once the last is done:
// the frames announced per second of the page's time, over `seconds` after half a second.
window.__pace = (hertz, seconds) => new Promise((done) => {
  const first = Math.ceil(performance.now() * hertz / 1000) + hertz / 2;
  let n = first - hertz / 2, waiting = [], counted = 0;
  addEventListener('marivelt-frame', () => counted += n >= first);
  window.requestAnimationFrame = (f) => { if (waiting.push(f) === 1) setTimeout(() => {
    const due = waiting; waiting = [];
    if (++n === first + hertz * seconds) done(counted / seconds);
    due.forEach((f) => f(n * 1000 / hertz)); }); };
});
const wrap = (object, name, count) => { const real = object[name];
  object[name] = function(...a) { const r = new.target ? new real(...a) : real.apply(this, a); count(r); return r; }; };
wrap(window, 'AudioContext', () => __t.audio++);
wrap(AudioBufferSourceNode.prototype, 'start', () => __t.starts++);
wrap(AudioBufferSourceNode.prototype, 'stop', () => __t.stops++);
wrap(BaseAudioContext.prototype, 'decodeAudioData', (r) => r.then(() => __t.decoded++));
window.__pixels = async (url) => {
  const bitmap = await createImageBitmap(await (await fetch(url)).blob());
  const g = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
  g.drawImage(bitmap, 0, 0);
  return g.getImageData(0, 0, bitmap.width, bitmap.height);
};
window.__diff = async (a, b) => {
  const p = await __pixels(a), q = await __pixels(b);
  if (p.width !== q.width || p.height !== q.height) return {mean: 255, off: 1};
  let sum = 0, off = 0;
  for (let i = 0; i < p.data.length; i += 4) {
    const d = [0, 1, 2].map((c) => Math.abs(p.data[i + c] - q.data[i + c]));
    sum += d[0] + d[1] + d[2], off += Math.max(...d) > 64;
  }
  return {mean: sum / (p.data.length / 4 * 3), off: off / (p.data.length / 4)};
};
// Lit pixels of [x0, x1) x [y0, y1), rows from the top, and their mean x.
window.__lit = async (url, x0, y0, x1, y1) => {
  const p = await __pixels(url);
  let count = 0, sumX = 0;
  for (let y = y0; y < y1; y++) for (let x = x0; x < x1; x++) {
    const i = (y * p.width + x) * 4;
    if (Math.max(p.data[i], p.data[i + 1], p.data[i + 2]) > 40) { count++; sumX += x; }
  }
  return {count, meanX: count ? sumX / count : -1};
};
// Where the page's parts lie in the viewport (left, top, right, bottom), and how it fills it.
window.__layout = () => { const box = (id) => { const r = document.getElementById(id).getBoundingClientRect();
  return !r.width ? 'hidden' : r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight ? 'inside'
    : [r.left, r.top, r.right, r.bottom]; };
  return {view: [innerWidth, innerHeight], scrollWidth: document.documentElement.scrollWidth, canvas: box('canvas'),
    note: box('note'), keys: box('touch-keys'), font: parseFloat(getComputedStyle(note).fontSize), size: [canvas.width,
    canvas.height], fills: document.fullscreenElement ? 'full screen' : stage.className || 'no'}; };
