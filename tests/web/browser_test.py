#!/usr/bin/python3
"""browser_test.py PAGE_DIR SNAPSHOT_TOOL RUN_DIR [--measure] [CASE ...]: the web page
in headless Chromium over its DevTools port, the cases as a table, each on a fresh load.
A script put into the page first keeps announced frames ('marivelt-frame'), watches Web
Audio and compares pictures. --measure prints the first frame's time and the frame rate."""
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
KEYS = {"SPACE": (32, "Space", " "), "ESC": (27, "Escape", "Escape"), "RIGHT": (39, "ArrowRight", "ArrowRight"),
        "ENTER": (13, "Enter", "Enter")}
FAREWELL = ["Thank You!", "Thank you for trying Marivelt, the four elements in motion.\n"
            "Made for the Elements demo contest."]

PAGE_SCRIPT = r"""
window.__t = {frames: [], wanted: [], audio: 0, starts: 0, stops: 0, decoded: 0};
__t.first = new Promise((done) => __t.wanted.push({after: 1, done}));
addEventListener('marivelt-frame', () => {
  __t.frames.push(performance.now());
  const due = __t.wanted.filter((w) => --w.after <= 0);
  __t.wanted = __t.wanted.filter((w) => w.after > 0);
  if (due.length) { const url = document.getElementById('canvas').toDataURL(); due.forEach((w) => w.done(url)); }
  (__t.onFrame || (() => {}))();
});
// The picture of the frame `after` frames from now; waits for a condition, for frames.
window.__shot = (after) => new Promise((done) => __t.wanted.push({after, done}));
window.__until = (test) => new Promise((done) => { const w = () => test() ? done() : setTimeout(w, 20); w(); });
window.__frames = (n) => new Promise((done) => { __t.onFrame = () => { if (--n <= 0) { __t.onFrame = null; done(); } }; });
// A key held for exactly one pass of the loop: down as a frame is announced, up at the next.
window.__tap = (keyCode) => new Promise((done) => {
  const send = (type) => { const e = new KeyboardEvent(type);
    Object.defineProperty(e, 'keyCode', {get: () => keyCode}); dispatchEvent(e); };
  let step = 0;
  __t.onFrame = () => { if (step < 2) send(['keydown', 'keyup'][step]); if (++step === 3) { __t.onFrame = null; done(); } };
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
    sum += d[0] + d[1] + d[2];
    off += Math.max(...d) > 64;
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
        port_file, deadline = os.path.join(self.profile, "DevToolsActivePort"), time.monotonic() + STEP_SECONDS
        while not (os.path.exists(port_file) and open(port_file).read().count("\n") >= 1):
            assert time.monotonic() < deadline and self.process.poll() is None, "no DevTools port"
            time.sleep(0.05)
        port = open(port_file).read().split()[0]
        targets = json.load(urllib.request.urlopen("http://127.0.0.1:%s/json/list" % port, timeout=STEP_SECONDS))
        page = next(t for t in targets if t["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=STEP_SECONDS,
                                                  suppress_origin=True)
        self.next_id, self.problems = 0, []
        [self.call(domain + ".enable") for domain in ("Page", "Runtime", "Log")]
        self.call("Page.addScriptToEvaluateOnNewDocument", source=PAGE_SCRIPT)

    def receive(self):
        """The next message; what the console says that is an error (WebGL's complaints too) is kept."""
        message = json.loads(self.socket.recv())
        method, params = message.get("method"), message.get("params", {})
        if method == "Runtime.exceptionThrown":
            self.problems.append(params["exceptionDetails"].get("text", "exception"))
        elif method == "Runtime.consoleAPICalled" and params["type"] in ("error", "assert"):
            self.problems.append(" ".join(str(a.get("value", a.get("description"))) for a in params["args"]))
        elif method == "Log.entryAdded" and (params["entry"]["level"] == "error" or
                                             params["entry"]["text"].startswith("WebGL")):
            self.problems.append(params["entry"]["text"])
        return message

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while (message := self.receive()).get("id") != self.next_id:
            pass
        assert "error" not in message, "%s: %s" % (method, message.get("error"))
        return message["result"]

    def load(self, address):
        self.call("Page.navigate", url=address)
        while self.receive().get("method") != "Page.loadEventFired":
            pass
        self.js("__until(() => __t.frames.length)")

    def js(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, awaitPromise=True, returnByValue=True)
        assert "exceptionDetails" not in result, "%s: %s" % (expression, result.get("exceptionDetails"))
        return result["result"].get("value")

    def key(self, name, kind, **extra):
        code, dom_code, key = KEYS[name]
        self.call("Input.dispatchKeyEvent", type=kind, windowsVirtualKeyCode=code, code=dom_code, key=key, **extra)

    def press(self, name, frames=2):
        """A real key, held while the page draws that many frames: from the second
        on, the loop has seen it held (a frame's keys are read after its swap);
        then two more, so that the loop sees it let go."""
        self.key(name, "rawKeyDown")
        self.js("__frames(%d)" % frames)
        self.key(name, "keyUp")
        self.js("__frames(2)")

    def close(self):
        self.socket.close()
        os.killpg(self.process.pid, 9), self.process.wait(), shutil.rmtree(self.profile, ignore_errors=True)


def difference(browser, shot, picture):
    return browser.js("__diff(%s, %s)" % (json.dumps(shot), json.dumps(picture)))


# ---- the cases: each gets a freshly loaded page -------------------------------

def first_frame_is_the_native_one(browser, pictures):
    off = difference(browser, browser.js("__t.first"), pictures["WATER"])
    assert off["mean"] <= MEAN_TOLERANCE and off["off"] <= OFF_FRACTION, "unlike the native frame: %s" % off


def space_steps_through_the_scenes(browser, pictures):
    seen = []
    for _ in range(4):
        browser.press("SPACE")
        shot = browser.js("__shot(2)")
        seen.append(min(pictures, key=lambda name: difference(browser, shot, pictures[name])["mean"]))
    assert seen == ["FIRE", "EARTH", "WIND", "WATER"], seen
    assert browser.js("document.fullscreenElement.id") == "stage", "not in full screen"
    assert browser.js("(c => c.width * 3 === c.height * 4)(document.getElementById('canvas'))"), "not 4:3"


def j_and_k_hide_and_show_panel_and_titles(browser, pictures):
    regions = {"J": (535, 30, 800, 460), "K": (300, 5, 460, 30)}  # the panel; the title, rows from the top
    for key, region in regions.items():
        lit = []
        for _ in range(2):
            browser.js("__tap(%d)" % ord(key))
            lit.append(browser.js("__shot(1).then((u) => __lit(u, %d, %d, %d, %d))" % region)["count"])
        assert lit[0] == 0 and lit[1] > 100, "%s: lit pixels hidden, shown: %s" % (key, lit)


def right_arrow_moves_the_scene_left(browser, pictures):
    scene = "__shot(1).then((u) => __lit(u, 0, 40, 530, 520))"
    before, _, after = browser.js(scene)["meanX"], browser.press("RIGHT", frames=5), browser.js(scene)["meanX"]
    assert after < before - 20, "the pool's mean x went from %.0f to %.0f" % (before, after)


def cues_wait_for_a_gesture_then_cut(browser, pictures):
    assert browser.js("__t.audio") == 0, "an audio context before any key"
    for kind in ("mousePressed", "mouseReleased"):  # a click makes the context
        browser.call("Input.dispatchMouseEvent", type=kind, x=400, y=300, button="left", clickCount=1)
    browser.js("__until(() => __t.decoded === 4)")
    for _ in range(3):  # FIRE, EARTH and WIND, whose cue the tornado's cuts
        browser.press("SPACE")
    counts = browser.js("[__t.audio, __t.starts, __t.stops]")
    assert counts == [1, 4, 3], "contexts, cues started, cues cut: %s" % counts


def esc_brings_the_farewell_then_the_end(browser, pictures):
    # Held until the box shows: a key let go before the loop's next frame is never seen.
    browser.key("ESC", "rawKeyDown")
    browser.js("__until(() => document.getElementById('box').open)")
    browser.key("ESC", "keyUp")
    box = browser.js("[...document.querySelectorAll('#box .caption, #box .text')].map((e) => e.textContent)")
    assert box == FAREWELL, box
    browser.key("ENTER", "keyDown", text="\r"), browser.key("ENTER", "keyUp")
    browser.js("__until(() => !document.getElementById('ended').hidden)")


CASES = [
    ("first frame of WATER matches the native snapshot", first_frame_is_the_native_one),
    ("SPACE steps WATER, FIRE, EARTH, WIND, WATER in full screen at 4:3", space_steps_through_the_scenes),
    ("J and K hide and show the panel and the titles", j_and_k_hide_and_show_panel_and_titles),
    ("the right arrow moves the scene left", right_arrow_moves_the_scene_left),
    ("no sound before the first key or click; then cues cut each other", cues_wait_for_a_gesture_then_cut),
    ("ESC brings the farewell box, then the page says the demo has ended", esc_brings_the_farewell_then_the_end),
]


def measure(browser):
    rate = browser.js("new Promise((done) => { const n = __t.frames.length, t = performance.now();"
                      " setTimeout(() => done((__t.frames.length - n) * 1000 / (performance.now() - t)), 5000); })")
    print("first frame %.0f ms after the page began loading; %.1f frames per second over 5 s"
          % (browser.js("__t.frames[0]"), rate))


def main():
    page, snapshot_tool, run_dir, *chosen = [a for a in sys.argv[1:] if not a.startswith("--")]
    if not os.path.exists(os.path.join(page, "marivelt.wasm")):
        sys.exit("no page in %s: build it with tools/web.sh --build" % page)
    folder = tempfile.mkdtemp(prefix="marivelt-snapshots-")
    subprocess.run([snapshot_tool, "--run-dir", run_dir, "--out-dir", folder], check=True, stdout=subprocess.DEVNULL,
                   timeout=120)
    pictures = {name: "data:image/png;base64," + base64.b64encode(
        open(os.path.join(folder, name.lower() + ".png"), "rb").read()).decode()
        for name in ("WATER", "FIRE", "EARTH", "WIND")}
    shutil.rmtree(folder)
    (server, address), browser, failures = start_page_server(page), Browser(), 0
    try:
        for name, case in [("measure", None)] if "--measure" in sys.argv else CASES:
            if chosen and case.__name__ not in chosen:
                continue
            browser.load(address)
            if case is None:
                measure(browser)
                continue
            try:
                case(browser, pictures)
                assert not browser.problems, "the console says: %s" % browser.problems
                print("ok    " + name)
            except (AssertionError, websocket.WebSocketException) as failure:
                failures += 1
                print("FAIL  %s: %s" % (name, failure))
            browser.problems = []
    finally:
        browser.close()
        server.shutdown()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
