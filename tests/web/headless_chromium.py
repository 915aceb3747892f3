"""Debian's Chromium, headless, as the page's test and measurements drive it: as root
without a sandbox, with a fresh profile, and none of its own network traffic (this
machine's network is closed, and those connections would only be refused)."""
import os
import shutil

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service


def start_chromium(work):
    """A driver for a new browser whose profile lives in the folder `work`."""
    options = Options()
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--window-size=1100,1600", "--user-data-dir=" + os.path.join(work, "profile")):
        options.add_argument(flag)
    options.binary_location = shutil.which("chromium")
    return webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
