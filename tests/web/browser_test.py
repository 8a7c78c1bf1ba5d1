#!/usr/bin/python3
"""browser_test.py PAGE_DIR SNAPSHOT_TOOL RUN_DIR [--measure] [CASE ...]: the web page in headless
Chromium through WebDriver (Selenium), the cases as a table, each on a fresh load. A script put
into the page first keeps announced frames ('marivelt-frame'), watches Web Audio, holds keys for
exact passes, drives animation frames at any rate and compares pictures. --measure prints the
first frame's time and the frame rate."""
import base64, os, shutil, subprocess, sys, tempfile
from selenium.common.exceptions import WebDriverException
from selenium.webdriver import ActionChains, Chrome, ChromeOptions, Keys
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
from web_server import start_page_server

STEP_SECONDS = 20  # every wait of a step; a loaded machine stays well inside it
# SwiftShader and Mesa's llvmpipe filter and rasterise alike but not to the
# bit (measured: a mean difference of 0.03 per channel, 0.007 % of pixels
# off): at most 1 per channel on average, and at most 0.2 % of pixels off by
# more than 64 in some channel (edges a pixel apart).
MEAN_TOLERANCE, OFF_FRACTION = 1.0, 0.002
CHROMEDRIVER = "/usr/bin/chromedriver"  # Debian's, named so that nothing is fetched for one
# (chromedriver adds its own: no first run, background networking or sync.)
CHROMIUM_FLAGS = ["--headless=new", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--no-sandbox",
                  "--disable-component-update",
                  # Headless Chromium keeps 56 pixels of the screen's height from
                  # a full-screen page: this screen gives it 800 x 600 exactly.
                  "--window-size=800,656", "--screen-info={800x656}"]
MOUSE, TOUCH = "mouse", "touch"  # W3C pointer kinds
FAREWELL = ["Thank You!", "Thank you for trying Marivelt, the four elements in motion.\n"
            "Made for the Elements demo contest."]

PAGE_SCRIPT = open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "page_probe.js")).read()


class Browser:
    """One headless Chromium with a fresh profile, through chromedriver; a phone's screen and
    touch when `phone` gives its width and height (CSS pixels)."""

    def __init__(self, address, phone=None, script=""):
        options, self.address = ChromeOptions(), address
        [options.add_argument(flag) for flag in CHROMIUM_FLAGS]
        if phone:
            options.add_experimental_option("mobileEmulation", {"deviceMetrics": {
                "width": phone[0], "height": phone[1], "pixelRatio": 3, "touch": True}})
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = Chrome(service=Service(CHROMEDRIVER), options=options)
        self.driver.set_script_timeout(STEP_SECONDS)
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PAGE_SCRIPT + script})

    def load(self):
        self.driver.get(self.address)
        self.js("__until(() => __t.frames.length)")

    def js(self, expression):
        result = self.driver.execute_async_script(
            "Promise.resolve(%s).then(arguments[0], (e) => arguments[0]({failed: String(e)}))" % expression)
        assert not (isinstance(result, dict) and "failed" in result), "%s: %s" % (expression, result)
        return result

    def problems(self):
        """What the console said that is an error (WebGL's complaints too) since last asked."""
        return [e["message"] for e in self.driver.get_log("browser")
                if e["level"] == "SEVERE" or "WebGL:" in e["message"]]

    def key(self, key, down):
        chain = ActionChains(self.driver)
        (chain.key_down if down else chain.key_up)(key).perform()

    def press(self, key, frames=2):
        """A real key, held while the page draws that many frames (from the second on the loop
        has seen it held: a frame's keys are read after its swap), then two more, let go."""
        self.key(key, True), self.js("__frames(%d)" % frames), self.key(key, False), self.js("__frames(2)")

    def pointers(self, kind, *paths, button=0):
        """The mouse or fingers down at their paths' first points (viewport pixels), moved
        along them together, and up."""
        actions = ActionBuilder(self.driver, mouse=PointerInput(kind, kind + "0"))
        for index, path in enumerate(paths):
            source = actions.pointer_inputs[0] if index == 0 else actions.add_pointer_input(kind, kind + str(index))
            source.create_pointer_move(duration=0, x=path[0][0], y=path[0][1])
            source.create_pointer_down(button=button)
            [source.create_pointer_move(duration=40, x=x, y=y) for x, y in path[1:]]
            source.create_pointer_up(button=button)
        actions.perform()

    def wheel(self, notches):
        """The wheel over the picture turned away from the user, 100 pixels a notch."""
        actions = ActionBuilder(self.driver)
        actions.wheel_action.scroll(400, 300, 0, -100 * notches), actions.perform()


def difference(browser, shot, picture):
    return browser.js("__diff(%r, %r)" % (shot, picture))


def scene(browser, pictures, after):
    shot = browser.js("__shot(%d)" % after)
    return min(pictures, key=lambda name: difference(browser, shot, pictures[name])["mean"])


# ---- the cases: each gets a freshly loaded page -------------------------------

def first_frame_is_the_native_one(browser, pictures):
    off = difference(browser, browser.js("__t.first"), pictures["WATER"])
    assert off["mean"] <= MEAN_TOLERANCE and off["off"] <= OFF_FRACTION, "unlike the native frame: %s" % off


def space_steps_through_the_scenes(browser, pictures):
    seen = [browser.press(Keys.SPACE) or scene(browser, pictures, 2) for _ in range(4)]
    assert seen == ["FIRE", "EARTH", "WIND", "WATER"], seen
    assert browser.js("document.fullscreenElement.id") == "stage", "not in full screen"
    assert browser.js("canvas.width * 3 === canvas.height * 4"), "not 4:3"


REGIONS = {"J": (535, 30, 800, 460), "K": (300, 5, 460, 30)}  # the panel; the title, rows from the top


def j_and_k_hide_and_show_panel_and_titles(browser, pictures):
    for key, region in REGIONS.items():
        lit = [browser.js("__hold(%d, 1).then(() => __shot(1)).then((u) => __lit(u, %d, %d, %d, %d))"
                          % ((ord(key),) + region))["count"] for _ in range(2)]
        assert lit[0] == 0 and lit[1] > 100, "%s: lit pixels hidden, shown: %s" % (key, lit)


def right_arrow_moves_the_scene_left(browser, pictures):
    scene = "__shot(1).then((u) => __lit(u, 0, 40, 530, 520))"
    before, _, after = browser.js(scene)["meanX"], browser.press(Keys.ARROW_RIGHT, frames=5), browser.js(scene)["meanX"]
    assert after < before - 20, "the pool's mean x went from %.0f to %.0f" % (before, after)


def cues_wait_for_a_gesture_then_cut(browser, pictures):
    assert browser.js("__t.audio") == 0, "an audio context before any key"
    browser.pointers(MOUSE, [(400, 300)])  # a click makes the context
    browser.js("__until(() => __t.decoded === 4)")
    for _ in range(3):  # FIRE, EARTH and WIND, whose cue the tornado's cuts
        browser.press(Keys.SPACE)
    counts = browser.js("[__t.audio, __t.starts, __t.stops]")
    assert counts == [1, 4, 3], "contexts, cues started, cues cut: %s" % counts


def esc_brings_the_farewell_then_the_end(browser, pictures):
    # Held until the box shows: a key let go before the loop's next frame is never seen.
    browser.key(Keys.ESCAPE, True), browser.js("__until(() => box.open)"), browser.key(Keys.ESCAPE, False)
    words = browser.js("[...document.querySelectorAll('#box .caption, #box .text')].map((e) => e.textContent)")
    assert words == FAREWELL, words
    browser.key(Keys.ENTER, True), browser.key(Keys.ENTER, False)
    browser.js("__until(() => !ended.hidden)")


def touch_buttons_press_their_keys(browser, pictures):
    browser.js("document.documentElement.classList.add('touch')"), browser.pointers(MOUSE, [(400, 300)])
    for label, key in (("Panel", "J"), ("Titles", "K"), ("End", None)):
        box = browser.driver.find_element("xpath", "//button[.='%s']" % label).rect
        browser.pointers(TOUCH, [(box["x"] + box["width"] / 2, box["y"] + box["height"] / 2)])
        if key:  # held for two passes, the panel would still show
            lit = browser.js("__frames(3).then(() => __shot(1)).then((u) => __lit(u, %d, %d, %d, %d))" % REGIONS[key])
            assert lit["count"] == 0, "%s: %d lit pixels where it was" % (label, lit["count"])
    browser.js("__until(() => box.open)")


def taps_step_the_scene_but_the_first(browser, pictures):
    seen = [browser.pointers(TOUCH, [(400, 300)]) or scene(browser, pictures, 3) for _ in range(2)]
    assert seen == ["WATER", "FIRE"], "after the first tap and the second: %s" % seen


# A gesture, and the two keys it might stand for, each held for as many passes
# from a fresh load: at one frame, long after both, the gesture's picture is
# nearer the first key's than the other's or the untouched page's. The first
# click turns full screen on (800 x 600, a picture unit a pixel) and does
# nothing else.
SHOT_FRAME, KEY_CODES = 90, {"E": 0x45, "W": 0x57, "V": 0x56, "C": 0x43, "LEFT": 0x25, "RIGHT": 0x27}
held = {}  # (key, passes) -> the picture at SHOT_FRAME


def held_for(browser, key, passes):
    if (key, passes) not in held:
        browser.load(), browser.pointers(MOUSE, [(400, 300)])
        key and browser.js("__hold(%d, %d)" % (KEY_CODES[key], passes))
        held[key, passes] = browser.js("__shotAt(%d)" % SHOT_FRAME)
    return held[key, passes]


def line(x, y, dx, dy):
    return [(x, y), (x + dx / 2, y + dy / 2), (x + dx, y + dy)]


def plays_as_keys(browser, pictures, kind, paths, keys, passes, button=0):
    references = [held_for(browser, key, passes) for key in keys] + [held_for(browser, None, 0)]
    browser.load(), browser.pointers(MOUSE, [(400, 300)])
    browser.wheel(paths) if kind == "wheel" else browser.pointers(kind, *paths, button=button)
    assert browser.js("__t.frames.length") + passes + 2 < SHOT_FRAME, "the gesture ended too late to compare"
    shot = browser.js("__shotAt(%d)" % SHOT_FRAME)
    off = [difference(browser, shot, reference)["mean"] for reference in references]
    assert off[0] < min(off[1:]), "off %s held %d passes, %s, no key: %s" % (keys[0], passes, keys[1], off)


# A phone, upright and on its side: before the first tap the picture, the note
# and the buttons lie inside the viewport, nothing scrolls sideways and the
# note is readable; after it the canvas is the largest 4:3 rectangle of the
# screen's pixels (worked out by hand), in full screen or, where the browser
# has none for an element, filling the viewport.
def phone_laid_out(browser, pictures, view, script, fills, size):
    layout = browser.js("__layout()")
    assert (layout["view"], layout["canvas"], layout["note"], layout["keys"]) == (list(view),) + ("inside",) * 3, layout
    assert layout["scrollWidth"] <= view[0] and layout["font"] >= 14, layout
    browser.pointers(TOUCH, [(view[0] // 2, 100)])
    layout = browser.js("__until(() => canvas.width !== 800).then(() => __frames(2)).then(__layout)")
    assert (layout["fills"], layout["size"], layout["canvas"]) == (fills, size, "inside"), layout


def pace_at_144_hz(browser, pictures):
    rate = browser.js("__pace(144, 2)")
    assert abs(rate - 60) <= 3, "%.1f passes a second" % rate


CASES = [
    ("first frame of WATER matches the native snapshot", first_frame_is_the_native_one),
    ("SPACE steps WATER, FIRE, EARTH, WIND, WATER in full screen at 4:3", space_steps_through_the_scenes),
    ("J and K hide and show the panel and the titles", j_and_k_hide_and_show_panel_and_titles),
    ("the right arrow moves the scene left", right_arrow_moves_the_scene_left),
    ("no sound before the first key or click; then cues cut each other", cues_wait_for_a_gesture_then_cut),
    ("ESC brings the farewell box, then the page says the demo has ended", esc_brings_the_farewell_then_the_end),
    ("the first tap steps nothing, the next WATER to FIRE", taps_step_the_scene_but_the_first),
    ("a touch screen's buttons hide the panel and the titles, and end the demo", touch_buttons_press_their_keys),
    # A step is 3 picture units a degree, 12 an arrow's or a zoom's, 24 a wheel notch's.
    ("a drag to the left turns as E", plays_as_keys, MOUSE, [line(400, 300, -37, 0)], ("E", "W"), 12),
    ("a drag upwards turns as W", plays_as_keys, MOUSE, [line(400, 300, 0, -37)], ("W", "E"), 12),
    ("the wheel turned away zooms in as V", plays_as_keys, "wheel", 3, ("V", "C"), 6),
    ("two fingers spread zoom in as V", plays_as_keys, TOUCH, [line(350, 300, -35, 0), line(450, 300, 35, 0)],
     ("V", "C"), 5),
    ("two fingers pinched zoom out as C", plays_as_keys, TOUCH, [line(300, 300, 35, 0), line(500, 300, -35, 0)],
     ("C", "V"), 5),
    ("two fingers dragged right move as the left arrow", plays_as_keys, TOUCH,
     [line(350, 300, 50, 0), line(450, 300, 50, 0)], ("LEFT", "RIGHT"), 4),
    ("a right-button drag to the right moves as the left arrow", plays_as_keys, MOUSE, [line(400, 300, 50, 0)],
     ("LEFT", "RIGHT"), 4, 2),
    ("a phone upright, in full screen after the first tap", phone_laid_out, (390, 844), "", "full screen", [1170, 877]),
    ("a phone on its side without full screen: the picture fills the viewport", phone_laid_out, (844, 390),
     "delete Element.prototype.requestFullscreen;", "filling", [1560, 1170]),
    ("60 passes a second with animation frames at 144 Hz", pace_at_144_hz),
]


def measure(browser, pictures):
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
    (server, address), failures = start_page_server(page), 0
    desktop = Browser(address)
    try:
        for name, case, *row in [("measure", measure)] if "--measure" in sys.argv else CASES:
            if chosen and case.__name__ not in chosen:
                continue
            browser = Browser(address, *row[:2]) if case is phone_laid_out else desktop
            try:
                browser.load(), case(browser, pictures, *row)
                problems = browser.problems()
                assert not problems, "the console says: %s" % problems
                print("ok    " + name)
            except (AssertionError, WebDriverException) as failure:
                failures += 1
                print("FAIL  %s: %s" % (name, failure))
            finally:
                browser.problems()  # the next case on this browser hears only its own
                browser is desktop or browser.driver.quit()
    finally:
        desktop.driver.quit()
        server.shutdown()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
