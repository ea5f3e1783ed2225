"""The web edition in headless Chromium, for the benchmark and the README's screenshots.

  web_page.py bench PAGE [RUNS]   the median time from navigation to the first
                                  field focused, with the cache and the service
                                  worker bypassed, and the folder's size
  web_page.py shots PAGE DOCS     docs/screenshot-web.png and docs/screenshot-web-phone.png
"""
import gzip
import io
import os
import statistics
import sys
import tarfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Server, actions, element, open_page, start_browser, type_into  # noqa: E402

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


def shots(page, docs):
    server = Server(page)
    browser = start_browser("it")
    try:
        for name, width, height, scale, mobile in (("screenshot-web.png", 720, 520, 1, False),
                                                   ("screenshot-web-phone.png", 360, 400, 2, True)):
            browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": width, "height": height, "deviceScaleFactor": scale, "mobile": mobile})
            open_page(browser, server.origin)
            type_into(browser, "DBSens1", "-47")
            actions(browser).click(element(browser, "CalcolaSens")).perform()
            type_into(browser, "MAXSPL", "130")
            type_into(browser, "SELFNOISE", "15")
            actions(browser).click(element(browser, "CalcGamma")).perform()
            browser.execute_script("document.activeElement.blur()")
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
