#!/usr/bin/env python3
"""watch --serve in a real browser: headless chromium driven by chromedriver.

Usage: watch_serve_browser_test.py PROGRAM EXAMPLE_FOLDER

Copies the example pair into a temporary folder, starts `watch --serve 0`
there and reads the port from what it says on standard error, opens the
page, and saves the train as editors do (a new file renamed over the old
one): the open page takes the change without a reload and keeps the
stretch in view; a broken save shows watch's diagnostics over the last
sheet, and the next good save clears them. It also checks that the server
answers nothing but its own addresses, only to its own host names, and
listens on 127.0.0.1 alone. Exits 77 (skipped) only when the browser, its
driver or Selenium is missing.
"""

import http.client
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import unittest

SKIPPED = 77
PROGRAM = None
EXAMPLE = None
WAIT_SECONDS = 30
LINE = "Valle_linea.txt"
TRAIN = "Valle_R 12-.txt"

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
    SELENIUM = None
except ImportError as e:
    SELENIUM = str(e)

CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")
DRIVER = shutil.which("chromedriver") or (
    "/usr/bin/chromedriver" if os.path.exists("/usr/bin/chromedriver") else None)


class Watch:
    """The program's watch --serve 0 on a folder, its output gathered."""

    def __init__(self, folder):
        self.process = subprocess.Popen(
            [PROGRAM, "watch", LINE, TRAIN, "-o", "out", "--serve", "0"],
            cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
            text=True, encoding="utf-8", errors="replace")
        self.out = []
        self.lock = threading.Lock()
        threading.Thread(target=self._gather, daemon=True).start()
        # The first line on standard error says where it serves.
        line = self.process.stderr.readline()
        found = re.search(r"serving the sheet at http://127\.0\.0\.1:(\d+)/",
                          line)
        if not found:
            self.process.kill()
            raise AssertionError("watch did not say where it serves: " + line)
        self.port = int(found.group(1))

    def _gather(self):
        for line in self.process.stdout:
            with self.lock:
                self.out.append(line)

    def printed(self):
        with self.lock:
            return "".join(self.out)

    def stop(self):
        self.process.send_signal(signal.SIGINT)
        return self.process.wait(timeout=WAIT_SECONDS)


def request(port, path, host=None, method="GET"):
    """One request on 127.0.0.1, the path sent as it is: (status, body)."""
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
    connection.putrequest(method, path, skip_host=True,
                          skip_accept_encoding=True)
    connection.putheader("Host", host or "127.0.0.1:%d" % port)
    connection.endheaders()
    answer = connection.getresponse()
    body = answer.read().decode("utf-8", "replace")
    connection.close()
    return answer.status, body


class WatchServeInBrowser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="watch-serve-")
        for name in [LINE, TRAIN]:
            shutil.copy(os.path.join(EXAMPLE, name), cls.folder)
        with open(os.path.join(cls.folder, TRAIN), encoding="latin-1") as f:
            cls.train = f.read()
        cls.watch = Watch(cls.folder)
        options = webdriver.ChromeOptions()
        for argument in ["--headless=new", "--no-sandbox", "--disable-gpu",
                         "--disable-dev-shm-usage", "--no-first-run",
                         "--window-size=1400,1000",
                         "--user-data-dir=" + os.path.join(cls.folder, "profile")]:
            options.add_argument(argument)
        options.binary_location = CHROMIUM
        cls.driver = webdriver.Chrome(service=Service(DRIVER), options=options)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        if cls.watch.process.poll() is None:
            cls.watch.stop()
        shutil.rmtree(cls.folder, ignore_errors=True)

    def save_train(self, text):
        """Saves as editors do: a new file, renamed over the old one."""
        path = os.path.join(self.folder, TRAIN)
        with open(path + ".new", "w", encoding="latin-1") as f:
            f.write(text)
        os.replace(path + ".new", path)

    def wait(self, script, what):
        WebDriverWait(self.driver, WAIT_SECONDS).until(
            lambda d: d.execute_script(script), what)

    def test_1_open_page_follows_the_saves(self):
        d = self.driver
        d.get("http://127.0.0.1:%d/" % self.watch.port)
        self.wait("return document.body.dataset.ready && "
                  "document.body.dataset.live === 'connected'",
                  "the page to load and reach its server")
        svg_text = "return document.querySelector('#sheet svg').textContent"
        self.assertIn("Ponte Rio", d.execute_script(svg_text))
        # The author's stretch, and a mark that a reload would lose.
        d.execute_script("sheetPage.setView(1000, 3000); window.kept = 1;")
        view = d.execute_script("return sheetPage.view()")

        self.save_train(self.train.replace("Ponte Rio", "Ponte Nuovo"))
        self.wait("return document.querySelector('#sheet svg').textContent"
                  ".includes('Ponte Nuovo')", "the renamed station")
        self.assertEqual(d.execute_script("return window.kept"), 1)
        self.assertEqual(d.execute_script("return sheetPage.view()"), view)
        self.assertTrue(d.find_element(By.ID, "diagnostics")
                        .get_attribute("hidden"))

        printed_before = len(self.watch.printed())
        self.save_train(self.train.replace("velocita,    1000,    90",
                                           "velocita,    1000,    9O"))
        self.wait("return !document.getElementById('diagnostics').hidden",
                  "the broken save's diagnostics")
        shown = d.find_element(By.ID, "diagnostics").text
        # The very text watch printed for that round.
        printed = self.watch.printed()[printed_before:]
        first = shown.strip().splitlines()[0]
        self.assertIn(first, printed)
        self.assertIn("Valle_R 12-.txt", shown)
        # Over the last good sheet, which stays.
        self.assertIn("Ponte Nuovo", d.execute_script(svg_text))

        self.save_train(self.train)
        self.wait("return document.getElementById('diagnostics').hidden && "
                  "document.querySelector('#sheet svg').textContent"
                  ".includes('Ponte Rio')", "the good save clearing them")
        self.assertEqual(d.execute_script("return window.kept"), 1)

    def test_2_serves_nothing_but_the_sheet(self):
        port = self.watch.port
        self.assertEqual(request(port, "/")[0], 200)
        for path in ["/etc/passwd", "/../", "/../../../../etc/passwd",
                     "/%2e%2e/%2e%2e/etc/passwd", "/index.html", "/Valle_R%2012-.txt",
                     "/out/", "//etc/passwd", "/sheet.json/.."]:
            status, body = request(port, path)
            self.assertEqual(status, 404, path)
            self.assertNotIn("root:", body)
        for host in ["attacker.example:%d" % port, "attacker.example",
                     "127.0.0.1:%d" % (port + 1)]:
            self.assertEqual(request(port, "/", host=host)[0], 403, host)
        self.assertEqual(request(port, "/", method="DELETE")[0], 405)

    def test_3_listens_on_the_loopback_address_alone(self):
        port = self.watch.port
        # Another address of the loopback range, which a server bound to
        # every address would answer, is refused.
        with self.assertRaises(ConnectionRefusedError):
            socket.create_connection(("127.0.0.2", port), timeout=5).close()
        # And the kernel's own list: the one listening socket on the port
        # is bound to 127.0.0.1 (0100007F in /proc/net/tcp).
        with open("/proc/net/tcp") as f:
            rows = [line.split() for line in f.readlines()[1:]]
        listening = [r[1] for r in rows
                     if r[3] == "0A" and int(r[1].split(":")[1], 16) == port]
        self.assertEqual(listening, ["0100007F:%04X" % port])

    def test_4_ctrl_c_stops_watch_and_its_server(self):
        self.assertEqual(self.watch.stop(), 0)
        self.assertIn("watch stopped", self.watch.printed())
        with self.assertRaises(ConnectionRefusedError):
            socket.create_connection(("127.0.0.1", self.watch.port),
                                     timeout=5).close()


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
        print("SKIPPED: watch --serve's browser test needs " +
              ", ".join(missing) + " (scripts/install-deps.sh installs them)")
        return SKIPPED
    result = unittest.main(argv=[sys.argv[0]], exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
