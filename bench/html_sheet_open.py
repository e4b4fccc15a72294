#!/usr/bin/python3
"""How long chromium takes to open the built-in scenario's HTML sheet and
draw it: from the start of the navigation to the first frame painted after
the page's script has set up (two animation frames after it marks the page
ready), over fresh loads of the page in headless chromium. Prints each
run, the median and the page's size.

Usage: bench/html_sheet_open.py [BUILD_FOLDER] [RUNS]
       (default: build, 15 runs)

Needs chromium, chromium-driver and python3-selenium (Debian's). Run it on
a quiet machine.
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

DRAWN = """
const done = arguments[arguments.length - 1];
requestAnimationFrame(() => requestAnimationFrame(() => done(performance.now())));
"""


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                            os.path.join(root, "build"))
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    folder = tempfile.mkdtemp(prefix="html-sheet-bench-")
    try:
        program = os.path.join(folder, "scenario-compiler")
        shutil.copy(os.path.join(build, "scenario-compiler"), program)
        subprocess.run([program, "--no-window"], cwd=folder, check=True)
        page = os.path.join(folder, "sheet.html")
        subprocess.run([program, "plot", folder, "-o", page], check=True,
                       stdout=subprocess.DEVNULL)
        options = webdriver.ChromeOptions()
        for argument in ["--headless=new", "--no-sandbox", "--disable-gpu",
                         "--window-size=1400,1000",
                         "--user-data-dir=" + os.path.join(folder, "profile")]:
            options.add_argument(argument)
        driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")),
                                  options=options)
        times = []
        try:
            for run in range(runs):
                driver.get("about:blank")
                driver.get("file://" + page)
                WebDriverWait(driver, 60).until(lambda d: d.execute_script(
                    "return document.body.dataset.ready"))
                ms = driver.execute_async_script(DRAWN)
                times.append(ms)
                print("run %2d: %7.1f ms" % (run + 1, ms))
        finally:
            driver.quit()
        print("page %d bytes; opened and drawn in %.1f ms (median of %d)" % (
            os.path.getsize(page), statistics.median(times), runs))
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
