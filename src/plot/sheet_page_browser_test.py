#!/usr/bin/env python3
"""The HTML sheet in a real browser: headless chromium driven by chromedriver.

Usage: sheet_page_browser_test.py PROGRAM EXAMPLE_FOLDER

Writes the built-in run's sheet (the program copied into a temporary
folder, run there with --no-window) and the example pair's (compiled with
`compile`), opens each page and checks that it loads nothing and logs
nothing, that hovering shows what stands at a known kilometre, that the
wheel zooms with every panel along, and that the search finds a station
and a kilometre reading. Exits 77 (skipped) only when the browser, its
driver or Selenium is missing.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SKIPPED = 77
PROGRAM = None
EXAMPLE = None
# The built-in sheet stays light enough to open at once.
MAX_PAGE_BYTES = 2 * 1024 * 1024
WAIT_SECONDS = 30

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.actions.action_builder import ActionBuilder
    from selenium.webdriver.common.actions.wheel_input import ScrollOrigin
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
    SELENIUM = None
except ImportError as e:
    SELENIUM = str(e)

CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")
DRIVER = shutil.which("chromedriver") or (
    "/usr/bin/chromedriver" if os.path.exists("/usr/bin/chromedriver") else None)


def run(args, cwd=None):
    done = subprocess.run(args, cwd=cwd, capture_output=True, text=True)
    if done.returncode != 0:
        raise AssertionError("%s failed (%d): %s" % (
            " ".join(args), done.returncode, done.stderr))
    return done.stdout


def write_pages(folder):
    """The built-in run's page and the example pair's, as plot writes them."""
    builtin = os.path.join(folder, "builtin")
    os.mkdir(builtin)
    program = os.path.join(builtin, os.path.basename(PROGRAM))
    shutil.copy(PROGRAM, program)
    run([program, "--no-window"], cwd=builtin)
    builtin_page = os.path.join(folder, "builtin.html")
    run([PROGRAM, "plot", builtin, "-o", builtin_page])

    example = os.path.join(folder, "example")
    run([PROGRAM, "compile", os.path.join(EXAMPLE, "Valle_linea.txt"),
         os.path.join(EXAMPLE, "Valle_R 12-.txt"), "-o", example, "-q"])
    example_page = os.path.join(folder, "example.html")
    run([PROGRAM, "plot", example, "--format", "html", "-o", example_page])
    return builtin_page, example_page


class SheetPageInBrowser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="sheet-page-")
        cls.builtin, cls.example = write_pages(cls.folder)
        options = webdriver.ChromeOptions()
        for argument in ["--headless=new", "--no-sandbox", "--disable-gpu",
                         "--disable-dev-shm-usage", "--no-first-run",
                         "--window-size=1400,1000",
                         "--user-data-dir=" + os.path.join(cls.folder, "profile")]:
            options.add_argument(argument)
        options.binary_location = CHROMIUM
        options.set_capability("goog:loggingPrefs",
                               {"browser": "ALL", "performance": "ALL"})
        cls.driver = webdriver.Chrome(service=Service(DRIVER), options=options)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        shutil.rmtree(cls.folder, ignore_errors=True)

    def open(self, path):
        d = self.driver
        d.get_log("browser")
        d.get_log("performance")
        d.get("file://" + path)
        WebDriverWait(d, WAIT_SECONDS).until(
            lambda d: d.execute_script("return document.body.dataset.ready"))

    def assert_quiet(self, path):
        """No console message, and no request but the page itself (the
        browser's own chrome:// pages, such as the new tab it starts on,
        are not the page's)."""
        d = self.driver
        self.assertEqual(d.get_log("browser"), [])
        page_url = "file://" + path
        for entry in d.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                url = message["params"]["request"]["url"]
                document = message["params"].get("documentURL", "")
                if url.startswith("chrome://") or document.startswith("chrome://"):
                    continue
                self.assertEqual(url.replace("%20", " "), page_url)

    def svg(self):
        return self.driver.find_element(By.CSS_SELECTOR, "#sheet svg")

    def screen_point(self, position, y_share=0.5):
        """Where position (metres) lies on the profiles (y_share of their
        height down; past 1, on the axis below), in the viewport."""
        return self.driver.execute_script("""
            const g = sheetPage.geometry();
            const svg = document.querySelector('#sheet svg');
            const pt = svg.createSVGPoint();
            pt.x = sheetPage.xOf(arguments[0]);
            pt.y = g.profilesTop + (g.profilesBottom - g.profilesTop) * arguments[1];
            const s = pt.matrixTransform(svg.getScreenCTM());
            return [Math.round(s.x), Math.round(s.y)];
        """, position, y_share)

    def hover_at(self, position, y_share=0.5):
        """Moves the pointer onto the profiles at position (metres)."""
        d = self.driver
        pointer = ActionBuilder(d)
        pointer.pointer_action.move_to_location(
            *self.screen_point(position, y_share))
        pointer.perform()
        WebDriverWait(d, WAIT_SECONDS).until(
            lambda d: not d.find_element(By.ID, "hover").get_attribute("hidden"))
        return d.find_element(By.ID, "hover").text

    def search(self, query):
        d = self.driver
        box = d.find_element(By.ID, "search")
        box.clear()
        box.send_keys(query + "\n")
        WebDriverWait(d, WAIT_SECONDS).until(
            lambda d: d.find_element(By.ID, "found").text)
        return d.find_element(By.ID, "found").text

    def test_builtin_page(self):
        self.assertLess(os.path.getsize(self.builtin), MAX_PAGE_BYTES)
        self.open(self.builtin)
        self.assert_quiet(self.builtin)

        # km 61+000 is 57 950 m, where a maximum-speed board raises the
        # limit to 120 km/h.
        found = self.search("61+000")
        self.assertIn("km 61+000", found)
        view = self.driver.execute_script("return sheetPage.view()")
        self.assertLess(view["from"], 57950)
        self.assertGreater(view["to"], 57950)
        text = self.hover_at(57950 + 10)
        self.assertIn("km 61+0", text)
        self.assertIn("maximum-speed board at 57 950 m (km 61+000)", text)
        self.assertIn("vas 110 km/h, vbs 120 km/h", text)
        self.assertIn("speed limit 120 km/h", text)

        found = self.search("Tarvo San Rocco")
        self.assertIn("Tarvo San Rocco: km 3+100", found)
        self.assert_quiet(self.builtin)

    def test_wheel_zooms_all_panels_together(self):
        self.open(self.builtin)
        d = self.driver
        d.execute_script("sheetPage.setView(40000, 80000)")
        before = d.execute_script("return sheetPage.view()")
        self.hover_at(60000)
        ActionChains(d).scroll_from_origin(
            ScrollOrigin.from_viewport(*self.screen_point(60000)),
            0, -400).perform()
        WebDriverWait(d, WAIT_SECONDS).until(
            lambda d: d.execute_script("return sheetPage.view()") != before)
        after = d.execute_script("return sheetPage.view()")
        self.assertLess(after["to"] - after["from"], before["to"] - before["from"])
        # Each line of the kilometre grid, which crosses every panel, stands
        # where its tick on the axis stands and where the axis puts its
        # position.
        offsets = d.execute_script("""
            const g = sheetPage.geometry();
            const svg = document.querySelector('#sheet svg');
            const ctm = svg.getScreenCTM();
            const grid = document.querySelectorAll('#km-grid line');
            const ticks = Array.from(document.querySelectorAll('#axis line'))
                .filter((l) => l.getAttribute('x1') === l.getAttribute('x2'));
            const out = [];
            for (const line of grid) {
              const x = parseFloat(line.getAttribute('x1'));
              const tick = ticks.find((t) => t.getAttribute('x1') === line.getAttribute('x1'));
              const p = g.from + (x - g.left) / g.axisWidth * (g.to - g.from);
              const v = sheetPage.view();
              if (!tick || p < v.from || p > v.to) continue;
              const mid = (e) => { const r = e.getBoundingClientRect(); return r.left + r.width / 2; };
              const pt = svg.createSVGPoint();
              pt.x = sheetPage.xOf(p);
              out.push([mid(line), mid(tick), pt.matrixTransform(ctm).x]);
            }
            return out;""")
        self.assertTrue(offsets, "no grid line in view after zooming")
        for grid_x, tick_x, axis_x in offsets:
            self.assertAlmostEqual(grid_x, tick_x, delta=1)
            self.assertAlmostEqual(grid_x, axis_x, delta=1)
        self.assert_quiet(self.builtin)

    def test_keys_zoom_and_a_drag_on_the_axis_shows_its_stretch(self):
        self.open(self.builtin)
        d = self.driver
        whole = d.execute_script("return sheetPage.view()")
        body = d.find_element(By.TAG_NAME, "body")
        body.send_keys("+")
        view = d.execute_script("return sheetPage.view()")
        self.assertAlmostEqual(view["to"] - view["from"],
                               (whole["to"] - whole["from"]) / 1.5, delta=1)
        body.send_keys("0")
        self.assertEqual(d.execute_script("return sheetPage.view()"), whole)

        # The axis is the sheet's last band: bring it into the window.
        d.execute_script("window.scrollTo(0, document.body.scrollHeight)")
        start = self.screen_point(60000, 1.03)
        end = self.screen_point(70000, 1.03)
        drag = ActionBuilder(d)
        drag.pointer_action.move_to_location(*start)
        drag.pointer_action.pointer_down()
        drag.pointer_action.move_to_location(*end)
        drag.pointer_action.pointer_up()
        drag.perform()
        view = d.execute_script("return sheetPage.view()")
        # Within a pixel or two of the whole line's scale.
        self.assertAlmostEqual(view["from"], 60000, delta=400)
        self.assertAlmostEqual(view["to"], 70000, delta=400)
        self.assert_quiet(self.builtin)

    def test_new_drawing_keeps_the_view(self):
        # What a live page gets after each compile: the drawing and its
        # data, taken without a reload.
        with open(self.builtin, encoding="utf-8") as f:
            page = f.read()
        svg = page[page.index("<svg"):page.index("</svg>") + len("</svg>")]
        start = page.index('<script type="application/json" id="sheet-data">')
        start = page.index(">", start) + 1
        data = page[start:page.index("</script>", start)]
        self.open(self.builtin)
        d = self.driver
        d.execute_script("sheetPage.setView(50000, 60000)")
        d.execute_script(
            "sheetPage.load(arguments[0], JSON.parse(arguments[1]))", svg, data)
        self.assertEqual(d.execute_script("return sheetPage.view()"),
                         {"from": 50000, "to": 60000})
        self.assertEqual(d.execute_script(
            "return document.querySelectorAll('#sheet svg, #page-zoom').length"),
            2)
        self.assertIn("maximum-speed board at 57 950 m", self.hover_at(57955))
        self.assert_quiet(self.builtin)

    def test_example_page(self):
        self.open(self.example)
        self.assert_quiet(self.example)
        text = self.hover_at(1000)
        self.assertIn("gradient", text)
        self.assertIn("no place on this sheet reads km 999+000",
                      self.search("999+000"))


def main():
    global PROGRAM, EXAMPLE
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    PROGRAM = os.path.abspath(sys.argv[1])
    EXAMPLE = os.path.abspath(sys.argv[2])
    missing = [name for name, there in [
        ("chromium", CHROMIUM), ("chromedriver (chromium-driver)", DRIVER),
        ("python3-selenium", SELENIUM is None)] if not there]
    if missing:
        print("SKIPPED: the HTML sheet's browser test needs " +
              ", ".join(missing) + " (scripts/install-deps.sh installs them)")
        return SKIPPED
    result = unittest.main(argv=[sys.argv[0]], exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
