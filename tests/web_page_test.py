#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The pages opened from disk in headless Chromium, used as a learner would:
clicks, typing (ASCII and full-width), Tab, the speed bar, a shared link;
the picture compared with the same events drawn natively by web_frame (in
the desktop's byte order, so that a swap of red and blue shows), and what a
screen reader gets from Chromium's accessibility tree.

usage: web_page_test.py PAGES_DIR WEB_FRAME"""
import base64
import os
import subprocess
import sys
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

PAGES, WEB_FRAME = sys.argv[1], sys.argv[2]
# Full edition: Command1..7, Text1..3, HScroll1, Label1..3, 5..8.
FULL_TAB_ORDER = ["Command1", "Command2", "Command3", "Text1", "Text2",
                  "Command4", "Command5", "Command6", "HScroll1", "Command7",
                  "Text3", "menuButton"]
SIX_TAB_ORDER = FULL_TAB_ORDER[:-3] + ["Text3", "menuButton"]


def driver_for(width, height, ratio=1, language="ja"):
    """A browser as a Japanese classroom's is set, unless told otherwise."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu",
                 "--disable-dev-shm-usage", f"--window-size={width},{height}",
                 f"--force-device-scale-factor={ratio}",
                 "--allow-file-access-from-files", f"--lang={language}",
                 f"--accept-lang={language}"):
        options.add_argument(flag)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"),
                            options=options)


class Page:
    """One page, loaded and ready; it logs the events it hands its model, so
    that web_frame can replay them."""

    def __init__(self, driver, program, fragment=""):
        self.driver, self.program = driver, program
        path = os.path.join(PAGES, program + ".html")
        if not os.path.exists(path):
            raise RuntimeError(path + " is missing: run make web")
        driver.get("file://" + os.path.abspath(path) + fragment)
        deadline = time.time() + 20
        while not driver.execute_script("return window.sarvelReady === true"):
            if time.time() > deadline:
                raise RuntimeError("the page did not start")
            time.sleep(0.05)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def el(self, name):
        return self.driver.find_element(By.ID, name)

    def stop(self):
        """Stops the clock; returns how many ticks came before."""
        self.el("Command6").click()
        return self.js("return window.sarvelTicks")

    def pixels(self):
        data = self.js("""
            const c = document.getElementById('picture');
            const d = c.getContext('2d').getImageData(0, 0, c.width, c.height);
            let s = ''; const b = d.data;
            for (let i = 0; i < b.length; i += 32768)
              s += String.fromCharCode.apply(null, b.subarray(i, i + 32768));
            return [c.width, c.height, btoa(s),
                    parseFloat(c.style.width), parseFloat(c.style.height),
                    window.devicePixelRatio];""")
        return data[0], data[1], base64.b64decode(data[2]), data[3:]

    def native(self):
        events = "\n".join(self.js("return window.sarvelEvents")) + "\n"
        out = subprocess.run([WEB_FRAME, self.program], input=events.encode(),
                             check=True, capture_output=True).stdout
        head, body = out.split(b"\n", 1)
        width, height = map(int, head.split())
        return width, height, body


def differences(a, b):
    """Pixels that differ at all, and the largest difference of a level."""
    count, largest = 0, 0
    for i in range(0, len(a), 4):
        if a[i:i + 3] != b[i:i + 3]:
            count += 1
            largest = max(largest, *(abs(a[i + k] - b[i + k]) for k in range(3)))
    return count, largest


# name, program, window size, device ratio, what the learner does after
# stopping the clock: ("click", name), ("type", box, text).
STATES = [
    ("first-step", "sarvel11", (900, 700), 1, [("click", "Command3")]),
    ("lines-and-steps", "sarvel11", (900, 700), 1,
     [("click", "Command1"), ("click", "Command2")] +
     [("click", "Command3")] * 12),
    ("antiphase-typed", "sarvel11", (1000, 700), 1,
     [("type", "Text1", "1.3"), ("type", "Text2", "4"), ("click", "Command7"),
      ("click", "Command1")] + [("click", "Command3")] * 20),
    ("full-width-digits", "sarvel11", (900, 700), 1,
     [("type", "Text1", "１．５"), ("type", "Text3", "２００")] +
     [("click", "Command3")] * 15),
    ("reset-then-steps", "sarvel11", (900, 700), 1,
     [("click", "Command3")] * 5 + [("click", "Command5"),
                                    ("click", "Command3")]),
    ("six-dots-and-nodal", "sarvel6", (900, 700), 1,
     [("click", "Command2"), ("type", "Text1", "0.5")] +
     [("click", "Command3")] * 30),
    ("hidpi", "sarvel11", (900, 700), 2,
     [("click", "Command1")] + [("click", "Command3")] * 10),
]


class PageTest(unittest.TestCase):
    def test_pictures_equal_the_native_frames(self):
        for name, program, (w, h), ratio, steps in STATES:
            with self.subTest(name):
                driver = driver_for(w, h, ratio)
                try:
                    page = Page(driver, program)
                    page.stop()
                    for step in steps:
                        if step[0] == "click":
                            page.el(step[1]).click()
                        else:
                            box = page.el(step[1])
                            box.send_keys(Keys.CONTROL, "a")
                            box.send_keys(Keys.BACKSPACE)
                            box.send_keys(step[2])
                    width, height, shown, _ = page.pixels()
                    nw, nh, native = page.native()
                    self.assertEqual((width, height), (nw, nh))
                    count, largest = differences(shown, native)
                    self.assertLessEqual(largest, 2)
                    self.assertLess(count, width * height / 10000)
                    # Something was drawn: not the background alone.
                    background = bytes([240, 240, 240, 255])
                    self.assertLess(shown.count(background), 0.99 * width * height)
                finally:
                    driver.quit()

    def test_controls_tab_order_and_keys(self):
        driver = driver_for(900, 700)
        try:
            page = Page(driver, "sarvel11")
            self.assertEqual(page.js("return document.documentElement.lang"), "ja")
            count = page.js("return document.querySelectorAll('.control').length")
            self.assertEqual(count, 19)  # the menu's button and 18 of the table
            self.assertEqual(page.js("return document.activeElement.id"), "Command1")
            seen = ["Command1"]
            for _ in range(len(FULL_TAB_ORDER) - 1):
                page.driver.switch_to.active_element.send_keys(Keys.TAB)
                seen.append(page.js("return document.activeElement.id"))
            self.assertEqual(seen, FULL_TAB_ORDER)
            # Space clicks a focused button: 腹線 on.
            page.stop()
            page.el("Command1").send_keys(Keys.SPACE)
            self.assertEqual(page.el("Command1").get_attribute("aria-pressed"), "true")
            # The speed bar: right is faster, arrow keys step 10, page keys 100.
            bar = page.el("HScroll1")
            bar.send_keys(Keys.ARROW_RIGHT)
            self.assertEqual(bar.get_attribute("aria-valuetext"), "790 ミリ秒")
            bar.send_keys(Keys.PAGE_DOWN)
            self.assertEqual(bar.get_attribute("aria-valuetext"), "890 ミリ秒")
            self.assertIn("speed=890", page.js("return location.hash"))
            # Label B follows source B, 100 twips to its left: at distance
            # 8, B is at 4000 + 500 × 8 twips.
            box = page.el("Text2")
            box.send_keys(Keys.CONTROL, "a")
            box.send_keys("8")
            page.el("Command3").click()
            self.assertEqual(page.el("Label5").location["x"], round(7900 / 15))
            # The phase label.
            page.el("Command7").click()
            self.assertEqual(page.el("Label7").text, "逆位相")
            # The extras' menu from the picture's context menu, by keys: the
            # amplitude is shown, checked, told and kept in the link.
            ActionChains(page.driver).context_click(page.el("picture")).perform()
            self.assertEqual(page.js("return document.activeElement.id"), "waterNone")
            page.driver.switch_to.active_element.send_keys(Keys.ARROW_DOWN, Keys.ARROW_DOWN,
                                                           Keys.ENTER)
            self.assertEqual(page.el("waterAmplitude").get_attribute("aria-checked"), "true")
            self.assertEqual(page.el("waterNone").get_attribute("aria-checked"), "false")
            self.assertIn("surface=2", page.js("return location.hash"))
            self.assertIn("振幅を濃淡で表示中",
                          page.js("return document.getElementById('announce').textContent"))
            self.assertTrue(page.js("return document.getElementById('extrasMenu').hidden"))
            # The last switch, above the two languages: the view stays.
            ActionChains(page.driver).context_click(page.el("picture")).perform()
            page.driver.switch_to.active_element.send_keys(
                Keys.END, Keys.ARROW_UP, Keys.ARROW_UP, Keys.ENTER)
            self.assertEqual(page.el("lineOrders").get_attribute("aria-checked"), "true")
            self.assertEqual(page.el("waterAmplitude").get_attribute("aria-checked"), "true")
            # Typing never scrolled the page.
            self.assertEqual(page.js("return [window.scrollX, window.scrollY]"), [0, 0])
        finally:
            driver.quit()

    def test_six_has_its_own_controls(self):
        driver = driver_for(900, 700)
        try:
            page = Page(driver, "sarvel6")
            self.assertEqual(page.js("return document.querySelectorAll('.control').length"), 17)
            self.assertEqual(page.js("return document.getElementById('Command7')"), None)
            seen = [page.js("return document.activeElement.id")]
            for _ in range(len(SIX_TAB_ORDER) - 1):
                page.driver.switch_to.active_element.send_keys(Keys.TAB)
                seen.append(page.js("return document.activeElement.id"))
            self.assertEqual(seen, SIX_TAB_ORDER)
        finally:
            driver.quit()

    def test_english_by_the_browser_the_link_and_the_menu(self):
        driver = driver_for(900, 700, language="en-US")
        try:
            page = Page(driver, "sarvel11")
            self.assertEqual(page.js("return document.documentElement.lang"), "en")
            self.assertEqual(page.js("return document.title"), "Wave interference")
            self.assertEqual(page.el("Command1").text, "Antinodal")
            self.assertEqual(page.el("Text1").get_attribute("aria-label"), "Wavelength")
            self.assertEqual(page.el("menuButton").text, "Menu")
            page.stop()
            page.el("Command3").click()
            self.assertTrue(page.el("picture").get_attribute("aria-label").startswith(
                "Wavelength 2, distance between the sources 6 (3 wavelengths), in phase."))
            # The buttons' captions fit as the Japanese do; the labels whole.
            for name in ("Command1", "Command6", "Label6", "Label7", "Label8"):
                self.assertLessEqual(page.js(
                    "const e = arguments[0]; return e.scrollWidth - e.clientWidth",
                    page.el(name)), 0, name)
            # The menu back to Japanese: word for word, and kept in the link.
            page.el("menuButton").click()
            page.el("language-ja").click()
            self.assertEqual(page.js("return document.documentElement.lang"), "ja")
            self.assertEqual(page.el("Command1").text, "腹線")
            self.assertEqual(page.el("menuButton").text, "メニュー")
            self.assertTrue(page.el("picture").get_attribute("aria-label").startswith(
                "波長 2、波源の距離 6（波長の 3 倍）、同位相。"))
            self.assertIn("lang=ja", page.js("return location.hash"))
            # The events replay natively, the browser's languages with them.
            width, height, shown, _ = page.pixels()
            nw, nh, native = page.native()
            self.assertEqual((width, height), (nw, nh))
            self.assertLessEqual(differences(shown, native)[1], 2)
        finally:
            driver.quit()
        driver = driver_for(900, 700)
        try:
            page = Page(driver, "sarvel6", "#lang=en")
            self.assertEqual(page.el("Command1").text, "Antinodal")
            self.assertEqual(page.js("return document.title"),
                             "Wave interference (six-button edition)")
        finally:
            driver.quit()

    def test_a_shared_link_sets_up_the_picture(self):
        driver = driver_for(900, 700)
        try:
            page = Page(driver, "sarvel11",
                        "#wavelength=1&distance=4&antinodal=1&antiphase=1&dots=abc")
            self.assertEqual(page.el("Text1").get_attribute("value"), "1")
            self.assertEqual(page.el("Text2").get_attribute("value"), "4")
            self.assertEqual(page.el("Text3").get_attribute("value"), "abc")
            self.assertEqual(page.el("Command1").get_attribute("aria-pressed"), "true")
            self.assertEqual(page.el("Label7").text, "逆位相")
            page.stop()
            page.el("Command3").click()
            description = page.el("picture").get_attribute("aria-label")
            self.assertIn("波長 1、波源の距離 4", description)
            self.assertIn("逆位相", description)
            box = page.el("Text1")
            box.send_keys(Keys.CONTROL, "a")
            box.send_keys("2")
            self.assertIn("wavelength=2", page.js("return location.hash"))
            # Nonsense in the link is read as a box reads it, never an error.
            driver.get(driver.current_url.split("#")[0] + "#wavelength=%ZZ&nodal=x&speed=nan")
            driver.refresh()
            deadline = time.time() + 20
            while not driver.execute_script("return window.sarvelReady === true"):
                self.assertLess(time.time(), deadline)
                time.sleep(0.05)
            self.assertTrue(page.el("failure").get_attribute("hidden"))
        finally:
            driver.quit()

    def test_the_point_p(self):
        driver = driver_for(900, 700)
        try:
            page = Page(driver, "sarvel11", "#antinodal=1")
            page.stop()
            page.el("Command3").click()
            canvas = page.el("picture")
            size = canvas.size
            # On the centre line, 2 units above the sources' axis.
            ActionChains(driver).move_to_element_with_offset(
                canvas, 466 - size["width"] // 2 - 100, 200 - size["height"] // 2
            ).click().perform()
            readout = page.el("readout")
            self.assertTrue(readout.is_displayed())
            # One frame in: told that neither wave is there yet.
            self.assertRegex(readout.text, r"\|AP − BP\| = 0\.0\dλ → 両方届くと強め合う（腹線 m = 0）"
                             r"\nA と B の波はまだ P に届いていない$")
            said = page.js("return document.getElementById('announce').textContent")
            self.assertIn("点 P: AP = ", said)
            self.assertIn("点 P: AP = ", page.el("picture").get_attribute("aria-label"))
            # A key on a focused button moves it; 位相 swaps the verdict.
            page.el("Command7").click()
            self.assertIn("弱め合う（節線 m = 0）", page.el("readout").text)
            before = page.el("readout").text
            page.el("Command3").send_keys(Keys.SHIFT, Keys.ARROW_RIGHT)
            self.assertNotEqual(page.el("readout").text, before)
            # Typed in a box, P and the arrows are the box's.
            box = page.el("Text3")
            box.send_keys(Keys.END, "p", Keys.ARROW_LEFT)
            self.assertEqual(box.get_attribute("value"), "100p")
            page.el("Command3").send_keys(Keys.ESCAPE)
            self.assertFalse(page.el("readout").is_displayed())
            self.assertFalse(page.el("probe").is_displayed())
            self.assertNotIn("点 P", page.el("picture").get_attribute("aria-label"))
        finally:
            driver.quit()

    def test_the_waves_at_p_seen_and_heard(self):
        """The menu's switches by mouse and the tone's key: the graph beside
        the readout, the orders on the picture, and the tone loud on an
        antinodal line and all but silent on a nodal one."""
        driver = driver_for(900, 700)
        try:
            page = Page(driver, "sarvel11", "#antinodal=1&nodal=1&speed=50")
            for item in ("lineOrders", "probeGraph"):
                page.el("menuButton").click()
                page.el(item).click()
                self.assertEqual(page.el(item).get_attribute("aria-checked"), "true")
            self.assertEqual(page.el("probeTone").get_attribute("role"), "menuitemcheckbox")
            labels = page.js("return [...document.querySelectorAll('#labels span')]"
                             ".map((e) => e.textContent)")
            self.assertIn("m = 0", labels)
            canvas = page.el("picture")
            size = canvas.size

            def put_p(x, y):
                ActionChains(driver).move_to_element_with_offset(
                    canvas, x - size["width"] // 2, y - size["height"] // 2).click().perform()

            put_p(366, 330)  # on the central line
            deadline = time.time() + 20
            while "まだ" in page.el("readout").text:  # the fronts pass P
                self.assertLess(time.time(), deadline)
                time.sleep(0.1)
            page.el("Command1").send_keys("s")  # the tone, by its key
            self.assertEqual(page.el("probeTone").get_attribute("aria-checked"), "true")
            self.assertTrue(page.el("graph").is_displayed())
            # The sum, twice as tall as each wave: black from near the plot's
            # top to near its bottom (the legend above it left out), once a
            # whole period has come since both waves arrived.
            script = """
                const c = document.getElementById('graph');
                const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
                const rows = new Set();
                for (let i = 4 * 17 * c.width; i < d.length; i += 4) {
                  if (d[i] < 40 && d[i + 1] < 40 && d[i + 2] < 40) rows.add(Math.floor(i / 4 / c.width));
                }
                return [Math.min(...rows) / c.height, Math.max(...rows) / c.height];"""
            deadline = time.time() + 20
            rows = page.js(script)
            while rows[1] <= 0.85 and time.time() < deadline:
                time.sleep(0.1)
                rows = page.js(script)
            self.assertLess(rows[0], 0.35)
            self.assertGreater(rows[1], 0.85)
            self.assertIn("同じ向きにそろって届き、振れ幅は 2 倍",
                          canvas.get_attribute("aria-label"))

            def rms():
                return page.js("""
                    const a = window.sarvelAudio.analyser;
                    const b = new Float32Array(a.fftSize);
                    a.getFloatTimeDomainData(b);
                    let s = 0;
                    for (const v of b) s += v * v;
                    return Math.sqrt(s / b.length);""")

            def heard(wanted):
                """The RMS once `wanted` holds of it, or the last within 5 s:
                a loaded machine starts the audio late."""
                deadline = time.time() + 5
                while True:
                    value = rms()
                    if wanted(value) or time.time() > deadline:
                        return value
                    time.sleep(0.1)
            loud = heard(lambda v: v > 0.15)
            self.assertGreater(loud, 0.15)
            put_p(366, 330)  # removes it: silence
            put_p(387, 330)  # on the first nodal line, 0.51λ
            self.assertLess(heard(lambda v: v < 0.1 * loud), 0.1 * loud)
        finally:
            driver.quit()

    def test_screen_reader_tree(self):
        driver = driver_for(900, 700)
        try:
            page = Page(driver, "sarvel11")
            page.stop()
            tree = driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]

            def node(name, role=None):
                for n in tree:
                    if n.get("name", {}).get("value") == name and (
                            role is None or n.get("role", {}).get("value") == role):
                        return n
                return None

            def prop(n, key):
                for p in n.get("properties", []):
                    if p["name"] == key:
                        return p["value"].get("value")
                return None

            for name in ("駒送り", "腹線", "節線", "山と谷", "リセット", "自動/手動", "位相"):
                self.assertIsNotNone(node(name, "button"), name)
            self.assertEqual(prop(node("腹線", "button"), "pressed"), "false")
            for name in ("波長", "距離", "点の大きさ"):
                box = node(name, "textbox")
                self.assertIsNotNone(box, name)
            speed = node("速さ", "slider")
            self.assertIsNotNone(speed)
            self.assertEqual(speed.get("value", {}).get("value"), 800)
            image = [n for n in tree
                     if n.get("role", {}).get("value") in ("img", "image")]
            self.assertEqual(len(image), 1)
            self.assertEqual(image[0]["name"]["value"],
                             "まだ何も描かれていません。駒送りを押すか、"
                             "波が動き出すのを待ってください。")
            # A switch announces the picture; a tick does not.
            page.js("document.getElementById('announce').textContent = ''")
            page.el("Command3").click()  # the first frame reads the boxes
            page.js("document.getElementById('announce').textContent = ''")
            page.el("Command3").click()
            self.assertEqual(page.js(
                "return document.getElementById('announce').textContent"), "")
            page.el("Command1").click()
            said = page.js("return document.getElementById('announce').textContent")
            self.assertIn("腹線", said)
            page.js("document.getElementById('announce').textContent = ''")
            page.el("Command6").click()  # running again
            time.sleep(2.0)
            self.assertGreater(page.js("return window.sarvelTicks"), 0)
            self.assertEqual(page.js("return document.getElementById('announce').textContent"), "")
            # Each box's label is tied to it.
            for box, caption in (("Text1", "波長"), ("Text2", "距離"),
                                 ("Text3", "点の大きさ"), ("HScroll1", "速さ")):
                self.assertEqual(page.js(
                    f"return document.querySelector('label[for={box}]').textContent"),
                    caption)
        finally:
            driver.quit()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
