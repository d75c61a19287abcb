#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times the pages in headless Chromium: build/web/bench.html at the
window's size and maximised on a full-HD screen, and how soon sarvel11.html
shows its first frame. usage: web_bench.py PAGES_DIR"""
import json
import os
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
            driver.get("file://" + os.path.abspath(os.path.join(PAGES, "bench.html")))
            print(json.dumps(wait_for(driver, "return window.sarvelBench || null")))
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


if __name__ == "__main__":
    main()
