#!/usr/bin/python3
"""Regenerates docs/html-sheet.png: the built-in scenario's HTML sheet in
headless chromium, zoomed on km 61+000 with the pointer there.

Usage: scripts/html-sheet-screenshot.py [BUILD_FOLDER]   (default: build)

Needs chromium, chromium-driver and python3-selenium (Debian's).
"""

import os
import shutil
import subprocess
import sys
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                            os.path.join(root, "build"))
    folder = tempfile.mkdtemp(prefix="html-sheet-shot-")
    try:
        program = os.path.join(folder, "scenario-compiler")
        shutil.copy(os.path.join(build, "scenario-compiler"), program)
        subprocess.run([program, "--no-window"], cwd=folder, check=True)
        page = os.path.join(folder, "sheet.html")
        subprocess.run([program, "plot", folder, "-o", page], check=True,
                       stdout=subprocess.DEVNULL)
        options = webdriver.ChromeOptions()
        for argument in ["--headless=new", "--no-sandbox", "--disable-gpu",
                         "--hide-scrollbars", "--window-size=1400,900",
                         "--user-data-dir=" + os.path.join(folder, "profile")]:
            options.add_argument(argument)
        driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")),
                                  options=options)
        try:
            driver.get("file://" + page)
            WebDriverWait(driver, 30).until(lambda d: d.execute_script(
                "return document.body.dataset.ready"))
            search = driver.find_element(By.ID, "search")
            search.send_keys("61+000\n")
            x, y = driver.execute_script("""
                const g = sheetPage.geometry();
                const svg = document.querySelector('#sheet svg');
                const pt = svg.createSVGPoint();
                pt.x = sheetPage.xOf(57955);
                pt.y = g.profilesTop + 120;
                const s = pt.matrixTransform(svg.getScreenCTM());
                return [Math.round(s.x), Math.round(s.y)];""")
            pointer = ActionBuilder(driver)
            pointer.pointer_action.move_to_location(x, y)
            pointer.perform()
            WebDriverWait(driver, 30).until(lambda d: not d.find_element(
                By.ID, "hover").get_attribute("hidden"))
            driver.save_screenshot(os.path.join(root, "docs", "html-sheet.png"))
        finally:
            driver.quit()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
