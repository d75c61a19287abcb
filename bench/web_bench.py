#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times the pages in headless Chromium: build/web/bench.html at the
window's size and maximised on a full-HD screen, and how soon sarvel11.html
shows its first frame; then bench.html in WebKit (WebKitGTK's MiniBrowser on
a virtual display), the engine of every iPad's browser.
usage: web_bench.py PAGES_DIR"""
import glob
import json
import os
import subprocess
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

PAGES = sys.argv[1]


def chromium(width, height):
    """Headless Chromium whose page is width × height CSS pixels."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu",
                 "--disable-dev-shm-usage", f"--window-size={width},{height}"):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"),
                              options=options)
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 1,
        "mobile": False})
    return driver


def webkit(width, height):
    """WebKitGTK's MiniBrowser whose window is about width × height."""
    options = webdriver.WebKitGTKOptions()
    options.binary_location = glob.glob(
        "/usr/lib/*/webkit2gtk-4.*/MiniBrowser")[0]
    options.add_argument("--automation")
    driver = webdriver.WebKitGTK(executable_path="/usr/bin/WebKitWebDriver",
                                 options=options)
    driver.set_window_size(width, height)
    return driver


def bench_page(driver):
    driver.get("file://" + os.path.abspath(os.path.join(PAGES, "bench.html")))
    return wait_for(driver, "return window.sarvelBench || null", 600)


def wait_for(driver, script, seconds=120):
    deadline = time.time() + seconds
    while True:
        value = driver.execute_script(script)
        if value is not None:
            return value
        if time.time() > deadline:
            raise RuntimeError("timed out: " + script)
        time.sleep(0.1)


def main():
    for width, height in ((682, 476), (1920, 1080)):
        driver = chromium(width, height)
        try:
            print(json.dumps(bench_page(driver)))
        finally:
            driver.quit()
    driver = chromium(1920, 1080)
    try:
        for run in range(3):
            driver.get("file://" + os.path.abspath(os.path.join(PAGES, "sarvel11.html")) +
                       f"#run={run}")
            driver.refresh()
            first = wait_for(driver, "return window.sarvelFirstFrameMs === undefined"
                             " ? null : window.sarvelFirstFrameMs")
            ready = driver.execute_script("return window.sarvelReadyMs")
            print(json.dumps({"readyAfterOpeningMs": round(ready, 1),
                              "firstFrameAfterOpeningMs": round(first, 1)}))
    finally:
        driver.quit()
    # Its window holds the page at 682 × 476 and 1920 × 1080 once its own
    # bar is taken off (measured: 38 pixels).
    display = subprocess.Popen(["Xvfb", ":87", "-screen", "0", "1920x1200x24"],
                               stderr=subprocess.DEVNULL)
    os.environ["DISPLAY"] = ":87"
    try:
        time.sleep(1)
        for width, height in ((682, 476), (1920, 1080)):
            driver = webkit(width, height + 38)
            try:
                print(json.dumps({"browser": "WebKit", **bench_page(driver)}))
            finally:
                driver.quit()
    finally:
        display.kill()


if __name__ == "__main__":
    main()
