#!/usr/bin/python3
"""browser_test.py — the web page in headless Chromium, driven over its
DevTools port: one harness, the cases as a table, each on a fresh load.

    browser_test.py PAGE_DIR SNAPSHOT_TOOL RUN_DIR [--measure] [CASE ...]

The native snapshot tool draws the expected first frames; Chromium draws
with SwiftShader (software WebGL). A script put into every page before its
own keeps the frames the page announces ('marivelt-frame') when asked, and
compares pictures. --measure prints the first frame's time and the frame rate.
"""
import base64, json, os, shutil, subprocess, sys, tempfile, time, urllib.request
import websocket

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
from web_server import start_page_server

STEP_SECONDS = 20  # every wait of a step; a loaded machine stays well inside it
# SwiftShader and Mesa's llvmpipe filter and rasterise alike but not to the
# bit (measured: a mean difference of 0.03 per channel, 0.007 % of pixels
# off): at most 1 per channel on average, and at most 0.2 % of pixels off by
# more than 64 in some channel (edges a pixel apart).
MEAN_TOLERANCE, OFF_FRACTION = 1.0, 0.002
CHROMIUM_FLAGS = ["--headless=new", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--no-sandbox",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--no-first-run", "--remote-debugging-port=0",
                  # Headless Chromium keeps 56 pixels of the screen's height from
                  # a full-screen page: this screen gives it 800 x 600 exactly.
                  "--window-size=800,656", "--screen-info={800x656}"]
VK = {"SPACE": (32, "Space", " "), "ESC": (27, "Escape", "Escape"), "RIGHT": (39, "ArrowRight", "ArrowRight"),
      "ENTER": (13, "Enter", "Enter"), "J": (74, "KeyJ", "j"), "K": (75, "KeyK", "k")}

PAGE_SCRIPT = r"""
window.__t = {frames: [], wanted: [], audio: 0, starts: 0, stops: 0, decoded: 0};
__t.first = new Promise((done) => __t.wanted.push({after: 1, done}));
addEventListener('marivelt-frame', (e) => {
  __t.frames.push(performance.now());
  const want = __t.wanted.filter((w) => --w.after <= 0);
  __t.wanted = __t.wanted.filter((w) => w.after > 0);
  if (want.length) { const url = document.getElementById('canvas').toDataURL(); want.forEach((w) => w.done(url)); }
  (__t.onFrame || (() => {}))();
});
// The picture of the frame `after` frames from now.
window.__shot = (after) => new Promise((done) => __t.wanted.push({after, done}));
// A key held for exactly one pass of the loop: down between two frames, up after the next.
window.__tap = (keyCode) => new Promise((done) => {
  const send = (type) => { const e = new KeyboardEvent(type, {bubbles: true});
    Object.defineProperty(e, 'keyCode', {get: () => keyCode}); dispatchEvent(e); };
  let step = 0;
  __t.onFrame = () => { if (step === 0) send('keydown'); if (step === 1) send('keyup');
    if (++step === 3) { __t.onFrame = null; done(); } };
});
const Audio0 = window.AudioContext;
window.AudioContext = function(...a) { __t.audio++; return new Audio0(...a); };
const start0 = AudioBufferSourceNode.prototype.start, stop0 = AudioBufferSourceNode.prototype.stop;
AudioBufferSourceNode.prototype.start = function(...a) { __t.starts++; return start0.apply(this, a); };
AudioBufferSourceNode.prototype.stop = function(...a) { __t.stops++; return stop0.apply(this, a); };
const decode0 = BaseAudioContext.prototype.decodeAudioData;
BaseAudioContext.prototype.decodeAudioData = function(...a) {
  return decode0.apply(this, a).then((buffer) => { __t.decoded++; return buffer; });
};
window.__pixels = async (url) => {
  const bitmap = await createImageBitmap(await (await fetch(url)).blob());
  const c = new OffscreenCanvas(bitmap.width, bitmap.height), g = c.getContext('2d');
  g.drawImage(bitmap, 0, 0);
  return g.getImageData(0, 0, bitmap.width, bitmap.height);
};
window.__diff = async (a, b) => {
  const p = await __pixels(a), q = await __pixels(b);
  if (p.width !== q.width || p.height !== q.height) return {mean: 255, off: 1};
  let sum = 0, off = 0;
  for (let i = 0; i < p.data.length; i += 4) {
    let worst = 0;
    for (let c = 0; c < 3; c++) { const d = Math.abs(p.data[i + c] - q.data[i + c]); sum += d; worst = Math.max(worst, d); }
    if (worst > 64) off++;
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
"""


class Browser:
    """One headless Chromium with a profile of its own, and its page's DevTools socket."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="marivelt-chromium-")
        self.process = subprocess.Popen(["chromium", "--user-data-dir=" + self.profile] + CHROMIUM_FLAGS,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.monotonic() + STEP_SECONDS
        while not (os.path.exists(port_file) and open(port_file).read().count("\n") >= 1):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("Chromium did not open its DevTools port")
            time.sleep(0.05)
        port = open(port_file).read().split()[0]
        targets = json.load(urllib.request.urlopen("http://127.0.0.1:%s/json/list" % port, timeout=STEP_SECONDS))
        page = next(t for t in targets if t["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=STEP_SECONDS,
                                                  suppress_origin=True)
        self.next_id, self.problems = 0, []
        for domain in ("Page", "Runtime", "Log"):
            self.call(domain + ".enable")
        self.call("Page.addScriptToEvaluateOnNewDocument", source=PAGE_SCRIPT)

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message["result"]
            self.note(message)

    def wait_event(self, method):
        while True:
            message = json.loads(self.socket.recv())
            self.note(message)
            if message.get("method") == method:
                return message["params"]

    def note(self, event):
        """Keeps what the console says that is an error (WebGL's complaints included)."""
        method, params = event.get("method"), event.get("params", {})
        if method == "Runtime.exceptionThrown":
            self.problems.append(params["exceptionDetails"].get("text", "exception"))
        elif method == "Runtime.consoleAPICalled" and params["type"] in ("error", "assert"):
            self.problems.append(" ".join(str(a.get("value", a.get("description"))) for a in params["args"]))
        elif method == "Log.entryAdded":
            entry = params["entry"]
            if entry["level"] == "error" or entry["text"].startswith("WebGL"):
                self.problems.append(entry["text"])

    def js(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, awaitPromise=True, returnByValue=True,
                           timeout=STEP_SECONDS * 1000)
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def key(self, name, kind):
        code, dom_code, key = VK[name]
        self.call("Input.dispatchKeyEvent", type=kind, windowsVirtualKeyCode=code, code=dom_code, key=key)

    def press(self, name, frames=2):
        """A real key, held while the page draws that many frames: from the second
        on, the loop has seen it held (a frame's keys are read after its swap)."""
        self.key(name, "rawKeyDown")
        self.frames(frames)
        self.key(name, "keyUp")
        self.frames(2)  # and seen let go, or the next press of the same key is one with this

    def frames(self, count):
        self.js("new Promise((done) => { let n = %d; __t.onFrame = () => { if (--n <= 0) { __t.onFrame = null; done(); } }; })"
                % count)

    def close(self):
        try:
            self.socket.close()
        finally:
            os.killpg(self.process.pid, 9)
            self.process.wait()
            shutil.rmtree(self.profile, ignore_errors=True)


def load(browser, address):
    browser.call("Page.navigate", url=address)
    browser.wait_event("Page.loadEventFired")
    browser.js("new Promise((done) => { const wait = () => __t.frames.length ? done() : setTimeout(wait, 20); wait(); })")


def near(browser, shot, picture):
    difference = browser.js("__diff(%s, %s)" % (json.dumps(shot), json.dumps(picture)))
    return difference["mean"] <= MEAN_TOLERANCE and difference["off"] <= OFF_FRACTION, difference


def nearest_scene(browser, shot, pictures):
    means = {name: browser.js("__diff(%s, %s)" % (json.dumps(shot), json.dumps(p)))["mean"] for name, p in pictures.items()}
    return min(means, key=means.get)


# ---- the cases: each gets a freshly loaded page ------------------------------------

def first_frame_is_the_native_one(browser, pictures):
    ok, difference = near(browser, browser.js("__t.first"), pictures["WATER"])
    assert ok, "the first frame differs from the native one: %s" % difference


def space_steps_through_the_scenes(browser, pictures):
    seen = []
    for _ in range(4):
        browser.press("SPACE")
        seen.append(nearest_scene(browser, browser.js("__shot(2)"), pictures))
    assert seen == ["FIRE", "EARTH", "WIND", "WATER"], seen
    assert browser.js("document.fullscreenElement && document.fullscreenElement.id") == "stage", "no full screen"
    assert browser.js("document.getElementById('canvas').width * 3 === document.getElementById('canvas').height * 4")


def j_and_k_hide_and_show_panel_and_titles(browser, pictures):
    regions = {"J": (535, 30, 800, 460), "K": (300, 5, 460, 30)}  # the panel; the title, rows from the top
    for key, (x0, y0, x1, y1) in regions.items():
        lit = []
        for _ in range(2):
            browser.js("__tap(%d)" % VK[key][0])
            lit.append(browser.js("__shot(1).then((u) => __lit(u, %d, %d, %d, %d))" % (x0, y0, x1, y1))["count"])
        assert lit[0] == 0 and lit[1] > 100, "%s: lit pixels hidden, shown: %s" % (key, lit)


def right_arrow_moves_the_scene_left(browser, pictures):
    scene = "(u) => __lit(u, 0, 40, 530, 520)"
    before = browser.js("__shot(1).then(%s)" % scene)["meanX"]
    browser.press("RIGHT", frames=5)
    after = browser.js("__shot(1).then(%s)" % scene)["meanX"]
    assert after < before - 20, "the pool's mean x went from %.0f to %.0f" % (before, after)


def cues_start_after_the_first_gesture_and_cut_each_other(browser, pictures):
    assert browser.js("__t.audio") == 0, "an audio context before any key"
    for kind in ("mousePressed", "mouseReleased"):  # a click makes the context
        browser.call("Input.dispatchMouseEvent", type=kind, x=400, y=300, button="left", clickCount=1)
    browser.js("new Promise((done) => { const w = () => __t.decoded === 4 ? done() : setTimeout(w, 20); w(); })")
    for _ in range(3):  # FIRE, EARTH and WIND, whose cue the tornado's cuts
        browser.press("SPACE")
    counts = browser.js("[__t.audio, __t.starts, __t.stops]")
    assert counts == [1, 4, 3], "contexts, cues started, cues cut: %s" % counts


def esc_brings_the_farewell_then_the_end(browser, pictures):
    # Held until the box shows: a key let go before the loop's next frame is never seen.
    browser.key("ESC", "rawKeyDown")
    browser.js("new Promise((done) => { const w = () => document.getElementById('box').open ? done() : setTimeout(w, 20); w(); })")
    browser.key("ESC", "keyUp")
    box = browser.js("[...document.querySelectorAll('#box .caption, #box .text')].map((e) => e.textContent)")
    assert box == ["Thank You!", "Thank you for trying Marivelt, the four elements in motion.\n"
                   "Made for the Elements demo contest."], box
    browser.call("Input.dispatchKeyEvent", type="keyDown", windowsVirtualKeyCode=13, code="Enter", key="Enter",
                 text="\r")
    browser.key("ENTER", "keyUp")
    browser.js("new Promise((done) => { const w = () => !document.getElementById('ended').hidden ? done() : setTimeout(w, 20); w(); })")


CASES = [
    ("first frame of WATER matches the native snapshot", first_frame_is_the_native_one),
    ("SPACE steps WATER, FIRE, EARTH, WIND, WATER in full screen at 4:3", space_steps_through_the_scenes),
    ("J and K hide and show the panel and the titles", j_and_k_hide_and_show_panel_and_titles),
    ("the right arrow moves the scene left", right_arrow_moves_the_scene_left),
    ("no sound before the first key or click; then cues cut each other", cues_start_after_the_first_gesture_and_cut_each_other),
    ("ESC brings the farewell box, then the page says the demo has ended", esc_brings_the_farewell_then_the_end),
]


def measure(browser):
    """The first frame's time after the page began loading, and the frame rate over 5 s."""
    first = browser.js("__t.frames[0]")
    rate = browser.js("new Promise((done) => { const n = __t.frames.length, t = performance.now();"
                      " setTimeout(() => done((__t.frames.length - n) * 1000 / (performance.now() - t)), 5000); })")
    print("first frame %.0f ms after the page began loading; %.1f frames per second" % (first, rate))


def main():
    arguments = [a for a in sys.argv[1:] if not a.startswith("--")]
    page, snapshot_tool, run_dir, chosen = arguments[0], arguments[1], arguments[2], arguments[3:]
    if not os.path.exists(os.path.join(page, "marivelt.wasm")):
        sys.exit("no page in %s: build it with tools/web.sh --build" % page)
    pictures_dir = tempfile.mkdtemp(prefix="marivelt-snapshots-")
    subprocess.run([snapshot_tool, "--run-dir", run_dir, "--out-dir", pictures_dir], check=True,
                   stdout=subprocess.DEVNULL, timeout=120)
    pictures = {name: "data:image/png;base64," + base64.b64encode(
        open(os.path.join(pictures_dir, name.lower() + ".png"), "rb").read()).decode()
        for name in ("WATER", "FIRE", "EARTH", "WIND")}
    shutil.rmtree(pictures_dir)
    server, address = start_page_server(page)
    browser, failures = Browser(), 0
    try:
        if "--measure" in sys.argv:
            load(browser, address)
            measure(browser)
            return 0
        for name, case in CASES:
            if chosen and case.__name__ not in chosen:
                continue
            load(browser, address)
            try:
                case(browser, pictures)
                assert not browser.problems, "the console says: %s" % browser.problems
                print("ok    " + name)
            except (AssertionError, RuntimeError, websocket.WebSocketException) as failure:
                failures += 1
                print("FAIL  %s: %s" % (name, failure))
            browser.problems = []
    finally:
        browser.close()
        server.shutdown()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
