#!/usr/bin/python3
"""The web edition in headless Chromium, with real keys and clicks, served from its folder on 127.0.0.1.

  browser.py PAGE LANGUAGE play PROGRAM...  runs PROGRAM, the scenarios' driver (tests/window/web_driver.cpp),
      with a commands pipe and a replies pipe appended, and does its commands, one line each
  browser.py PAGE LANGUAGE CHECK [AXE]      one check of the page: offline, phone, private or axe (AXE: axe.min.js)
"""
import functools
import http.server
import json
import os
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

LANGUAGES = {"en": "en-US,en", "it": "it-IT,it"}
SEPARATOR_LANGUAGE = {".": "en-US", ",": "it-IT"}


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    """The page's folder over HTTP on 127.0.0.1, served from a thread of its own."""

    def __init__(self, folder):
        super().__init__(("127.0.0.1", 0), functools.partial(QuietHandler, directory=folder))
        self.origin = "http://127.0.0.1:%d" % self.server_address[1]
        threading.Thread(target=self.serve_forever, daemon=True).start()

    def stop(self):
        self.shutdown()
        self.server_close()


def start_browser(language):
    options = webdriver.ChromeOptions()
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--window-size=800,600"):
        options.add_argument(flag)
    profile = tempfile.TemporaryDirectory()
    options.add_argument("--user-data-dir=" + profile.name)
    options.add_experimental_option("prefs", {"intl.accept_languages": LANGUAGES[language]})
    options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
    options.binary_location = "/usr/bin/chromium"
    browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    browser.profile = profile
    browser.implicitly_wait(0)
    return browser


def wait_for(browser, script, seconds=10):
    """Until `script` gives a true value; that value."""
    end = time.monotonic() + seconds
    while True:
        value = browser.execute_script(script)
        if value or time.monotonic() > end:
            return value
        time.sleep(0.02)


def open_page(browser, origin):
    browser.get(origin + "/")
    if not wait_for(browser, "return document.activeElement && document.activeElement.id === 'DBSens1'"):
        raise AssertionError("the window did not open with the focus in the first field")


def actions(browser):
    """Real input, without the quarter second selenium gives each pointer move."""
    return ActionChains(browser, duration=0)


def element(browser, name):
    return browser.find_element(By.ID, name)


def type_into(browser, name, text):
    """Focuses the control with a click, selects its text and types `text` key by key."""
    actions(browser).click(element(browser, name)).key_down(Keys.CONTROL).send_keys("a") \
        .key_up(Keys.CONTROL).send_keys(Keys.BACKSPACE).perform()
    if text:
        actions(browser).send_keys(text).perform()


def paste_into(browser, name, text):
    """Copies `text` with Ctrl+C from a scratch text area, then clicks the control, selects its text and
    pastes with Ctrl+V: the browser's own clipboard, copy and paste."""
    browser.execute_script(
        "const area = document.body.appendChild(document.createElement('textarea'));"
        "area.id = 'scratch'; area.style.position = 'fixed'; area.style.top = area.style.left = '0';"
        "area.value = arguments[0]; area.focus(); area.select();", text)
    actions(browser).key_down(Keys.CONTROL).send_keys("c").key_up(Keys.CONTROL).perform()
    browser.execute_script("document.getElementById('scratch').remove()")
    actions(browser).click(element(browser, name)).key_down(Keys.CONTROL).send_keys("a").send_keys("v") \
        .key_up(Keys.CONTROL).perform()


# What the scenarios' driver reads from the page: probe[command](control) gives the reply's fields.
PROBE = """
const rgb = (colour) => colour.match(/[0-9.]+/g).slice(0, 3).map(Number);
const box = (name) => { const e = document.getElementById(name); return e.closest('label') || e; };
const client = document.querySelector('.client').getBoundingClientRect();
const root = document.documentElement;
const probe = {
  text: (name) => [document.getElementById(name).value],
  ticked: (name) => [document.getElementById(name).checked ? 1 : 0],
  focused: () => [document.activeElement.closest('.client') ? document.activeElement.id : ''],
  tooltip: (name) => [box(name).title],
  background: (name) => rgb(getComputedStyle(box(name)).backgroundColor),
  place: (name) => { const r = box(name).getBoundingClientRect();
                     return [r.left - client.left, r.top - client.top, r.width, r.height].map(Math.round); },
  look: (name) => {
    const field = document.getElementById(name), style = getComputedStyle(field);
    const canvas = document.createElement('canvas').getContext('2d');
    canvas.font = style.font;
    const room = field.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    return [canvas.measureText(field.value).width <= room ? 1 : 0, Number(style.fontWeight) >= 700 ? 1 : 0,
            parseFloat(style.fontSize) * 0.75, ...rgb(style.color), ...rgb(style.borderTopColor)]; },
  // Title, size, resizable, maximisable, icon, off centre; a page is never resized nor maximised alone.
  facts: () => [document.title, Math.round(client.width), Math.round(client.height), 0, 0,
                document.querySelector('.title img').naturalWidth > 0 && document.querySelector('link[rel=icon]') ? 1 : 0,
                Math.round(client.left + client.width / 2 - root.clientWidth / 2),
                Math.round(client.top + client.height / 2 - root.clientHeight / 2)],
  cutoff: () => [...document.querySelectorAll('.caption, .button, .check')]
    .filter((e) => e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight)
    .map((e) => e.id.replace(/-box$/, '')),
  warning: () => { const dialog = document.querySelector('dialog');
    return dialog && dialog.open ? [dialog.querySelector('h2').textContent, dialog.querySelector('p').textContent,
      dialog.querySelector('.warning-sign') ? 1 : 0, dialog.matches(':modal') ? 1 : 0,
      dialog.returnFocus ? dialog.returnFocus.id : ''] : null; },
  scale: () => [1],  // CSS pixels are the scenarios' own
  close: () => [],
};
return probe[arguments[0]](arguments[1]);
"""
KEYS = {"tab": Keys.TAB, "enter": Keys.ENTER, "space": Keys.SPACE}


class Player:
    """Does the scenarios' driver's commands on the page."""

    def __init__(self, browser, origin):
        self.browser, self.origin, self.warnings = browser, origin, 0
        self.agent = browser.execute_script("return navigator.userAgent")

    def run(self, command, args):
        b = self.browser
        if command in ("open", "separator"):
            # The browser's language, as the page reads it (navigator.language).
            b.execute_cdp_cmd("Emulation.setUserAgentOverride",
                              {"userAgent": self.agent, "acceptLanguage": SEPARATOR_LANGUAGE[args[0]]})
        if command == "open":
            b.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})
            open_page(b, self.origin)
        elif command == "type":
            type_into(b, args[0], args[1] if len(args) > 1 else "")
        elif command == "paste":
            paste_into(b, args[0], urllib.parse.unquote(args[1] if len(args) > 1 else ""))
        elif command == "click":
            actions(b).click(element(b, args[0])).perform()
        elif command == "press":
            actions(b).send_keys(KEYS[args[0]]).perform()
        elif command == "dark":
            b.execute_cdp_cmd("Emulation.setEmulatedMedia",
                              {"features": [{"name": "prefers-color-scheme", "value": "dark"}]})
        elif command == "warning":
            shown = b.execute_script(PROBE, "warning")
            if not shown:
                return [0]
            # Enter and Escape close it, by turns; the focus goes back where it was.
            self.warnings += 1
            actions(b).send_keys(Keys.ENTER if self.warnings % 2 else Keys.ESCAPE).perform()
            focus = b.execute_script("return [document.querySelector('dialog').open, document.activeElement.id]")
            if focus != [False, shown[4]]:
                raise AssertionError("after the message the focus is in '%s', not '%s'" % (focus[1], shown[4]))
            return [1] + shown[:4]
        elif command != "separator":
            return b.execute_script(PROBE, command, args[0] if args else None)
        return []


def play(browser, origin, program):
    player = Player(browser, origin)
    with tempfile.TemporaryDirectory() as pipes:
        commands, replies = os.path.join(pipes, "commands"), os.path.join(pipes, "replies")
        os.mkfifo(commands)
        os.mkfifo(replies)
        child = subprocess.Popen(program + [commands, replies])
        # The same order as the program's: its commands first, then the replies.
        with open(commands, encoding="utf-8") as incoming, open(replies, "w", encoding="utf-8") as outgoing:
            for line in incoming:
                command, *args = line.rstrip("\n").split("\t")
                try:
                    reply = ["ok"] + player.run(command, args)
                except Exception as error:  # told to the program as a fault of its step
                    reply = ["error", "%s: %s" % (type(error).__name__, (str(error).splitlines() or [""])[0])]
                outgoing.write("\t".join(str(field).replace("\n", "\\n") for field in reply) + "\n")
                outgoing.flush()
        return child.wait()


def calculate(browser, typed, button, result=None, tap=False):
    """Types each (field, text), clicks the button (a finger's tap with `tap`); the result's text."""
    for name, text in typed:
        type_into(browser, name, text)
    if tap:
        touch = ActionBuilder(browser, mouse=PointerInput(interaction.POINTER_TOUCH, "finger"), duration=0)
        touch.pointer_action.move_to(element(browser, button)).pointer_down().pointer_up()
        touch.perform()
    else:
        actions(browser).click(element(browser, button)).perform()
    return element(browser, result).get_property("value") if result else None


def check_offline(browser, server):
    """After the first visit, the page opens and calculates with the network off and the server gone."""
    open_page(browser, server.origin)
    if not wait_for(browser, "return navigator.serviceWorker.controller !== null"):
        browser.refresh()
        wait_for(browser, "return navigator.serviceWorker.controller !== null")
    server.stop()
    browser.execute_cdp_cmd("Network.enable", {})
    browser.execute_cdp_cmd("Network.emulateNetworkConditions",
                            {"offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
    open_page(browser, server.origin)
    shown = calculate(browser, [("DBSens1", "-47")], "CalcolaSens", "MVSens1")
    if shown not in ("4.4668", "4,4668"):
        raise AssertionError("offline, -47 dB gives '%s'" % shown)


def check_phone(browser, server):
    """On a screen 360 CSS px wide: the whole window, no sideways scrolling; typing and tapping work."""
    browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                            {"width": 360, "height": 640, "deviceScaleFactor": 3, "mobile": True})
    open_page(browser, server.origin)
    page = browser.execute_script(
        "const r = document.getElementById('velsona').getBoundingClientRect();"
        "return [document.documentElement.scrollWidth, innerWidth, r.left, r.right];")
    if page[0] > page[1] or page[2] < 0 or page[3] > page[1]:
        raise AssertionError("on 360 px: page %s wide in %s, window from %s to %s" % tuple(page))
    if calculate(browser, [("MVSens2", "10")], "CalcolaSens2", "DBSens2", tap=True) != "-40":
        raise AssertionError("on 360 px, 10 mV/Pa does not give -40")


def check_axe(browser, server, axe):
    """axe-core finds no WCAG 2.1 A/AA or best-practice violation, with results shown and with a message open."""
    open_page(browser, server.origin)
    with open(axe, encoding="utf-8") as source:
        browser.execute_script(source.read())
    for state, field, text, button in (("with a result", "DBSens1", "-47", "CalcolaSens"),
                                       ("with a message open", "MVSens2", "x", "CalcolaSens2")):
        calculate(browser, [(field, text)], button)
        result = browser.execute_async_script(
            "const done = arguments[arguments.length - 1];"
            "axe.run(document, {runOnly: {type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa',"
            " 'best-practice']}}).then((r) => done({violations: r.violations.map((v) => ({id: v.id,"
            " nodes: v.nodes.map((n) => n.target.join(' '))})), passes: r.passes.length}),"
            " (e) => done({error: String(e)}));")
        if "error" in result or result["violations"]:
            raise AssertionError("axe-core %s: %s" % (state, json.dumps(result)))
        print("axe-core %s: no violation, %d rules passed" % (state, result["passes"]))


def check_private(browser, server):
    """Every request goes to the page's own origin, and the page's policy refuses nothing it asks for;
    no cookie, no storage but the service worker's cache."""
    open_page(browser, server.origin)
    calculate(browser, [("MAXSPL", "130"), ("SELFNOISE", "15")], "CalcGamma")
    wait_for(browser, "return navigator.serviceWorker.controller !== null")
    browser.refresh()
    open_page(browser, server.origin)
    urls = set()
    for entry in browser.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        # The page's own requests and its service worker's, not the browser's.
        if message["method"] == "Network.requestWillBeSent" and \
                message["params"].get("documentURL", "").startswith(server.origin + "/"):
            urls.add(message["params"]["request"]["url"])
    foreign = sorted(url for url in urls if not url.startswith(server.origin + "/"))
    if foreign or not urls:
        raise AssertionError("requests to other origins: %s" % foreign)
    errors = [entry["message"] for entry in browser.get_log("browser") if entry["level"] == "SEVERE"]
    if errors:
        raise AssertionError("errors in the page: %s" % errors)
    stored = browser.execute_async_script(
        "const done = arguments[arguments.length - 1];"
        "Promise.all([indexedDB.databases(), caches.keys()]).then(([databases, names]) => done({"
        " cookie: document.cookie, local: localStorage.length, session: sessionStorage.length,"
        " databases: databases.length, caches: names}));")
    if stored["cookie"] or stored["local"] or stored["session"] or stored["databases"] or \
            any(not name.startswith("velsona-") for name in stored["caches"]):
        raise AssertionError("the page stores %s" % json.dumps(stored))
    print("%d requests, all to %s; stored: %s" % (len(urls), server.origin, json.dumps(stored)))


def main():
    folder, language, what = sys.argv[1:4]
    server = Server(folder)
    browser = start_browser(language)
    try:
        if what == "play":
            return play(browser, server.origin, sys.argv[4:])
        checks = {"offline": check_offline, "phone": check_phone, "private": check_private, "axe": check_axe}
        checks[what](browser, server, *sys.argv[4:])
        print("%s: passed" % what)
        return 0
    except AssertionError as error:
        print("%s: FAILED: %s" % (what, error))
        return 1
    finally:
        browser.quit()
        browser.profile.cleanup()


if __name__ == "__main__":
    sys.exit(main())
