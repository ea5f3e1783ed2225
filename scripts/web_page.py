"""The web edition in headless Chromium, for the benchmark and the README's screenshots.

  web_page.py bench PAGE [RUNS]   the median time from navigation to the first
                                  field focused, with the cache and the service
                                  worker bypassed, and the folder's size
  web_page.py shots PAGE DOCS     docs/screenshot-web.png, and docs/screenshot-web-phone.png and
                                  docs/screenshot-web-phone-landscape.png on a phone
"""
import gzip
import io
import os
import statistics
import sys
import tarfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Server, actions, element, open_page, settle, start_browser, type_into  # noqa: E402

# Notes the moment the first field takes the focus, in ms since navigation began.
READY = """
addEventListener('focusin', (event) => {
  if (event.target.id === 'DBSens1' && window.velsonaReady === undefined) window.velsonaReady = performance.now();
}, true);
"""


def folder_size(page):
    raw = sum(os.path.getsize(os.path.join(root, name)) for root, _, names in os.walk(page) for name in names)
    packed = io.BytesIO()
    with tarfile.open(fileobj=packed, mode="w") as tar:
        tar.add(page, arcname=".")
    return raw, len(gzip.compress(packed.getvalue(), 9))


def bench(page, runs):
    server = Server(page)
    browser = start_browser("it")
    try:
        browser.execute_cdp_cmd("Network.enable", {})
        browser.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        browser.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})
        browser.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": READY})
        times = []
        for run in range(runs + 1):
            open_page(browser, server.origin)
            if run > 0:  # the first warms the browser up
                times.append(browser.execute_script("return window.velsonaReady"))
    finally:
        browser.quit()
        browser.profile.cleanup()
    raw, packed = folder_size(page)
    print("Ready (navigation to the first field focused, cache off), %d runs: median %.1f ms, "
          "range %.1f to %.1f ms (goal: 150 ms)" % (runs, statistics.median(times), min(times), max(times)))
    print("Folder: %d bytes, %d bytes gzipped (goal: 150 KB gzipped)" % (raw, packed))


# The desktop; a phone upright and on its side, each shot whole, as far down as the page goes.
SHOTS = (("screenshot-web.png", 720, 520, False), ("screenshot-web-phone.png", 360, 640, True),
         ("screenshot-web-phone-landscape.png", 740, 360, True))


def shots(page, docs):
    server = Server(page)
    browser = start_browser("it")

    def screen(width, height, phone):
        browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": phone})
        browser.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": phone, "maxTouchPoints": 5})
        settle(browser)

    try:
        for name, width, height, phone in SHOTS:
            screen(width, height, phone)
            open_page(browser, server.origin)
            settle(browser)
            for field, text, button in (("DBSens1", "-47", None), (None, None, "CalcolaSens"), ("MAXSPL", "130", None),
                                        ("SELFNOISE", "15", None), (None, None, "CalcGamma")):
                browser.execute_script("document.getElementById(arguments[0]).scrollIntoView({block: 'center'})",
                                       field or button)
                if field:
                    type_into(browser, field, text)
                else:
                    actions(browser).click(element(browser, button)).perform()
            browser.execute_script("document.activeElement.blur(); scrollTo(0, 0)")
            screen(width, max(height, browser.execute_script("return document.documentElement.scrollHeight")), phone)
            browser.save_screenshot(os.path.join(docs, name))
            print(os.path.join(docs, name))
    finally:
        browser.quit()
        browser.profile.cleanup()


if __name__ == "__main__":
    if sys.argv[1] == "bench":
        bench(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 20)
    else:
        shots(sys.argv[2], sys.argv[3])
