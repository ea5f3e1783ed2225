#!/usr/bin/python3
"""The web edition in a real browser, with real keys and clicks, served from its folder on 127.0.0.1.

  browser.py [--engine=ENGINE] PAGE LANGUAGE play PROGRAM...  runs PROGRAM, the scenarios' driver
      (tests/window/web_driver.cpp), with a commands pipe and a replies pipe appended, and does its
      commands, one line each
  browser.py [--engine=ENGINE] PAGE LANGUAGE CHECK [ARG]      one check of the page: offline, phone,
      private, globals, axe (ARG: axe.min.js) or update (ARG: the folder of a newer build)

ENGINE is chromium (the default, headless, through chromedriver), firefox (Firefox ESR, headless,
through tests/web/firefox.mjs and puppeteer-core) or webkit (WebKitGTK's MiniBrowser through
WebKitWebDriver, on a virtual display of its own). Every check talks to the engine through the
same few calls: a script run in the page, a page loaded, keys and clicks; what an engine cannot
do here it refuses with Unable, and the driver leaves that scenario out, saying why.
"""
import glob
import http.server
import inspect
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
from selenium.webdriver.webkitgtk.service import Service as WebKitService

LANGUAGES = {"en": "en-US,en", "it": "it-IT,it"}
SEPARATOR_LANGUAGE = {".": "en-US", ",": "it-IT"}
HERE = os.path.dirname(os.path.abspath(__file__))


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def translate_path(self, path):
        # The folder the server serves now, also to a connection it took before (browsers open some ahead).
        self.directory = self.server.folder
        return super().translate_path(path)

    def do_GET(self):
        # The files the server is told are missing, by their names.
        if os.path.basename(urllib.parse.urlsplit(self.path).path) in self.server.missing:
            return self.send_error(404)
        return super().do_GET()


class Server(http.server.ThreadingHTTPServer):
    """The page's folder over HTTP on 127.0.0.1, served from a thread of its own."""

    def __init__(self, folder):
        super().__init__(("127.0.0.1", 0), QuietHandler)
        self.folder, self.missing = folder, ()
        self.origin = "http://127.0.0.1:%d" % self.server_address[1]
        threading.Thread(target=self.serve_forever, daemon=True).start()

    def serve(self, folder):
        """From now on, `folder`'s files in place of the first: a new build put on the server."""
        self.folder = folder

    def stop(self):
        self.shutdown()
        self.server_close()


class Unable(Exception):
    """Something this engine cannot do here: the scenario is left out in it, not failed."""


class SeleniumEngine:
    """An engine driven over classic WebDriver. Calls it does not have itself, Chromium's
    execute_cdp_cmd say, go to the selenium driver."""

    def __init__(self, driver):
        self.driver = driver
        driver.implicitly_wait(0)

    def __getattr__(self, name):
        if name == "driver":  # not there yet
            raise AttributeError(name)
        return getattr(self.driver, name)

    def version(self):
        return "%s %s" % (self.name, self.driver.capabilities["browserVersion"])

    def execute_script(self, script, *args):
        """Runs `script`, a function body, in the page with `arguments`; a promise it returns is awaited."""
        return self.driver.execute_script(script, *args)

    def get(self, url):
        self.driver.get(url)

    def refresh(self):
        self.driver.refresh()

    def click(self, name):
        actions(self).click(element(self, name)).perform()

    def double_click(self, name):
        actions(self).double_click(element(self, name)).perform()

    def tap(self, name):
        touch = ActionBuilder(self.driver, mouse=PointerInput(interaction.POINTER_TOUCH, "finger"), duration=0)
        touch.pointer_action.move_to(element(self, name)).pointer_down().pointer_up()
        touch.perform()

    def send_keys(self, *keys):
        """Each of `keys` a key (Keys.TAB ...) or a text typed key by key, or (modifier, key) pressed together."""
        chain = actions(self)
        for key in keys:
            if isinstance(key, tuple):
                chain.key_down(key[0]).send_keys(key[1]).key_up(key[0])
            else:
                chain.send_keys(key)
        chain.perform()

    def quit(self):
        self.driver.quit()


class Chromium(SeleniumEngine):
    name = "Chromium"
    coarse_pointer = True  # its touch emulation makes the page's main pointer coarse

    def __init__(self, language, flags=("--headless", "--window-size=800,600")):
        options = webdriver.ChromeOptions()
        for flag in ("--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync") + flags:
            options.add_argument(flag)
        self.profile = tempfile.TemporaryDirectory()
        options.add_argument("--user-data-dir=" + self.profile.name)
        options.add_experimental_option("prefs", {"intl.accept_languages": LANGUAGES[language]})
        options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
        options.binary_location = "/usr/bin/chromium"
        super().__init__(webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options))
        self.agent = self.driver.execute_script("return navigator.userAgent")

    # Both at once, in the open page too. Neither asks for the page to be opened again.
    def set_language(self, language, page_kept):
        self.driver.execute_cdp_cmd("Emulation.setUserAgentOverride",
                                    {"userAgent": self.agent, "acceptLanguage": language})

    def set_dark(self, dark, page_kept):
        features = [{"name": "prefers-color-scheme", "value": "dark"}] if dark else []
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": features})

    def set_offline(self):
        self.driver.execute_cdp_cmd("Network.enable", {})
        self.driver.execute_cdp_cmd("Network.emulateNetworkConditions",
                                    {"offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})

    def set_phone(self, width, height):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": width, "height": height, "deviceScaleFactor": 3, "mobile": True})
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})

    def requests(self, origin):
        urls = set()
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            # The page's own requests and its service worker's, not the browser's.
            if message["method"] == "Network.requestWillBeSent" and \
                    message["params"].get("documentURL", "").startswith(origin + "/"):
                urls.add(message["params"]["request"]["url"])
        return urls

    def errors(self):
        return [entry["message"] for entry in self.driver.get_log("browser") if entry["level"] == "SEVERE"]

    def quit(self):
        super().quit()
        self.profile.cleanup()


class WebKit(SeleniumEngine):
    """WebKitGTK's MiniBrowser on an X display of its own. It takes its language from the locale it
    starts under and its colours from a switch, so each language and colours have a browser of their
    own, started when first asked for; a page already in use cannot change them."""
    name = "WebKitGTK"
    LOCALES = {"en-US": "en_US.UTF-8", "it-IT": "it_IT.UTF-8"}

    def __init__(self, language):
        read, write = os.pipe()
        # -displayfd: the X server picks a free display and tells its number, so runs side by side never clash.
        self.display = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                                         "-nolisten", "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as number:
            self.display_name = ":" + number.readline().strip()
        self.browsers, self.language, self.dark = {}, None, False
        self.set_language(SEPARATOR_LANGUAGE["," if language == "it" else "."], False)

    def set_language(self, language, page_kept):
        return self.use(language, self.dark, page_kept)

    def set_dark(self, dark, page_kept):
        return self.use(self.language, dark, page_kept)

    def use(self, language, dark, page_kept):
        """The browser for `language` and `dark`; true when that is another one, where the page is
        to be opened again."""
        if (language, dark) == (self.language, self.dark):
            return False
        if page_kept:
            raise Unable("WebKitGTK takes its language and colours only when it starts")
        if (language, dark) not in self.browsers:
            options = webdriver.WebKitGTKOptions()
            options.binary_location = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
            options.add_argument("--automation")
            if dark:
                options.add_argument("--dark-mode")
            # The driver's process, and the browser it starts, take the environment as it is now.
            os.environ.update(DISPLAY=self.display_name, LANG=self.LOCALES[language], LC_ALL="")
            # Selenium 4.10 and later (Debian 13's) take the driver as a service only; 4.8 (Debian 12's) as a path.
            driver = "/usr/bin/WebKitWebDriver"
            where = ({"service": WebKitService(executable_path=driver)}
                     if "service" in inspect.signature(webdriver.WebKitGTK).parameters else {"executable_path": driver})
            self.browsers[language, dark] = webdriver.WebKitGTK(options=options, **where)
        self.language, self.dark = language, dark
        SeleniumEngine.__init__(self, self.browsers[language, dark])
        return True

    def set_offline(self):
        pass  # no switch for the network: the stopped server is what the page goes without

    def quit(self):
        for driver in self.browsers.values():
            driver.quit()
        self.display.terminate()
        self.display.wait()


# The keys as Firefox's bridge names them.
KEY_NAMES = {Keys.TAB: "Tab", Keys.ENTER: "Enter", Keys.SPACE: " ", Keys.BACKSPACE: "Backspace",
             Keys.ESCAPE: "Escape", Keys.CONTROL: "Control", Keys.SHIFT: "Shift"}


class Firefox:
    """Firefox ESR through tests/web/firefox.mjs, a node program that drives it with puppeteer-core
    over WebDriver BiDi and that this talks to over its standard input and output."""
    name = "Firefox"
    coarse_pointer = False  # its phone emulation has touch, but the main pointer stays fine

    def __init__(self, language):
        self.languages, self.bridges, self.locale, self.dark = LANGUAGES[language].replace(",", ", "), {}, None, None
        self.use(False)

    def use(self, dark):
        """The browser with the system's colours dark or light, each started when first asked for:
        Firefox takes them only when it starts."""
        if dark not in self.bridges:
            self.bridges[dark] = subprocess.Popen(
                ["node", os.path.join(HERE, "firefox.mjs"), "/usr/bin/firefox-esr", self.languages]
                + (["dark"] if dark else []),
                stdin=subprocess.PIPE, stdout=subprocess.PIPE, encoding="utf-8")
            if json.loads(self.bridges[dark].stdout.readline() or "null") != "ready":
                raise RuntimeError("Firefox did not start")
        self.bridge, self.dark = self.bridges[dark], dark
        if self.locale:
            self.ask("language", self.locale)

    def ask(self, *command):
        self.bridge.stdin.write(json.dumps(command) + "\n")
        self.bridge.stdin.flush()
        reply = json.loads(self.bridge.stdout.readline() or '{"error": "the bridge to Firefox ended"}')
        if "error" in reply:
            raise RuntimeError(reply["error"])
        return reply["value"]

    def execute_script(self, script, *args):
        return self.ask("script", script, list(args))

    def get(self, url):
        self.ask("get", url)

    def refresh(self):
        self.ask("reload")

    def click(self, name):
        self.ask("click", name)

    def double_click(self, name):
        self.ask("doubleclick", name)

    def tap(self, name):
        self.ask("tap", name)

    def send_keys(self, *keys):
        items = []
        for key in keys:
            if isinstance(key, tuple):
                items.append(["chord", KEY_NAMES[key[0]], key[1]])
            elif key in KEY_NAMES:
                items.append(["press", KEY_NAMES[key]])
            else:
                items.append(["type", key])
        self.ask("keys", items)

    def set_language(self, language, page_kept):
        self.locale = language
        self.ask("language", language)

    def set_dark(self, dark, page_kept):
        if dark == self.dark:
            return False
        if page_kept:
            raise Unable("Firefox takes its colours only when it starts")
        self.use(dark)
        return True

    def set_offline(self):
        self.ask("offline", True)

    def set_phone(self, width, height):
        self.ask("viewport", {"width": width, "height": height, "deviceScaleFactor": 3, "isMobile": True,
                              "hasTouch": True})

    def requests(self, origin):
        return set(self.ask("requests"))

    def errors(self):
        return self.ask("errors")

    def version(self):
        return "Firefox " + self.ask("version").split("/")[-1]

    def quit(self):
        for bridge in self.bridges.values():
            bridge.stdin.close()
            bridge.wait()


ENGINES = {"chromium": Chromium, "firefox": Firefox, "webkit": WebKit}


def start_browser(language, engine="chromium"):
    return ENGINES[engine](language)


def wait_for(browser, script, seconds=10):
    """Until `script` gives a true value; that value."""
    end = time.monotonic() + seconds
    while True:
        value = browser.execute_script(script)
        if value or time.monotonic() > end:
            return value
        time.sleep(0.02)


def open_page(browser, origin, reload=False, retry=False):
    """Opens the page, loads it again, or has its failure notice try again, until it is ready: never away from
    a load still under way, whose requests cut short some engines report as errors."""
    if retry:
        browser.click("velsona-retry")
    elif reload:
        browser.refresh()
    else:
        browser.get(origin + "/")
    if not wait_for(browser, "return document.activeElement && document.activeElement.id === 'DBSens1'"):
        raise AssertionError("the window did not open with the focus in the first field")


def actions(browser):
    """Real input, without the quarter second selenium gives each pointer move (selenium's engines)."""
    return ActionChains(getattr(browser, "driver", browser), duration=0)


def element(browser, name):
    return browser.find_element(By.ID, name)


def type_into(browser, name, text):
    """Focuses the control with a click, selects its text and types `text` key by key."""
    browser.click(name)
    browser.send_keys((Keys.CONTROL, "a"), Keys.BACKSPACE)
    if text:
        browser.send_keys(text)


def paste_into(browser, name, text):
    """Copies `text` with Ctrl+C from a scratch text area, then clicks the control, selects its text and
    pastes with Ctrl+V: the browser's own clipboard, copy and paste."""
    browser.execute_script(
        "const area = document.body.appendChild(document.createElement('textarea'));"
        "area.id = 'scratch'; area.style.position = 'fixed'; area.style.top = area.style.left = '0';"
        "area.value = arguments[0]; area.focus(); area.select();", text)
    browser.send_keys((Keys.CONTROL, "c"))
    browser.execute_script("document.getElementById('scratch').remove()")
    browser.click(name)
    browser.send_keys((Keys.CONTROL, "a"), (Keys.CONTROL, "v"))


# What the scenarios' driver reads from the page: probe[command](control) gives the reply's fields.
PROBE = """
const rgb = (colour) => colour.match(/[0-9.]+/g).slice(0, 3).map(Number);
const box = (name) => { const e = document.getElementById(name); return e.closest('label') || e; };
const client = document.querySelector('.client').getBoundingClientRect();
const root = document.documentElement;
const probe = {
  text: (name) => [document.getElementById(name).value],
  selected: (name) => { const field = document.getElementById(name);
                        return [field.value.slice(field.selectionStart, field.selectionEnd)]; },
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
      document.documentElement.dataset.lastFocus || ''] : null; },
  // What a screen reader is read from the live regions: each text a region
  // changes to, when not empty, from when the page opens; the last since the last look.
  listen: () => {
    const regions = [...document.querySelectorAll('[aria-live]')], seen = new Map();
    window.velsonaHeard = [];
    for (const region of regions) seen.set(region, region.textContent);
    new MutationObserver(() => {
      for (const region of regions) {
        if (region.textContent === seen.get(region)) continue;
        seen.set(region, region.textContent);
        if (region.textContent) window.velsonaHeard.push(region.textContent);
      }
    }).observe(document.body, { subtree: true, childList: true, characterData: true });
    return [];
  },
  announced: () => [(window.velsonaHeard.splice(0).pop()) || ''],
  scale: () => [1],  // CSS pixels are the scenarios' own
  close: () => [],
};
return probe[arguments[0]](arguments[1]);
"""
KEYS = {"tab": Keys.TAB, "enter": Keys.ENTER, "space": Keys.SPACE}
# The rest of a page the window sits in: a stop before it and one after it, which Tab reaches from the window's
# ends in every engine (out of the way of its layout).
AROUND = """
for (const [side, place] of [['before', 'prepend'], ['after', 'append']]) {
  const stop = document.createElement('button');
  stop.id = 'page-' + side;
  stop.style.position = 'fixed';
  document.body[place](stop);
}
"""
# Where the focus was last outside the message box, which it must go back to when the box closes.
TRACK_FOCUS = """
const track = (element) => { document.documentElement.dataset.lastFocus = element.id; };
track(document.activeElement);
document.addEventListener('focusin', (event) => { if (!event.target.closest('dialog')) track(event.target); });
"""


def reading_order(browser):
    """The ids of the page's elements in the order of Chromium's accessibility tree, depth first: what a screen
    reader's reading cursor follows."""
    if not isinstance(browser, Chromium):
        raise Unable("the accessibility tree is read through Chromium's DevTools protocol")
    ids, dom = {}, [browser.execute_cdp_cmd("DOM.getDocument", {"depth": -1})["root"]]
    while dom:
        node = dom.pop()
        names = node.get("attributes", [])[::2]
        if "id" in names:
            ids[node["backendNodeId"]] = node["attributes"][2 * names.index("id") + 1]
        dom += node.get("children", [])
    nodes = {node["nodeId"]: node for node in browser.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]}
    order, tree = [], [node for node in nodes.values() if "parentId" not in node]
    while tree:
        node = tree.pop(0)
        order += [ids[node["backendDOMNodeId"]]] if node.get("backendDOMNodeId") in ids else []
        tree[:0] = [nodes[child] for child in node.get("childIds", []) if child in nodes]
    return order


class Player:
    """Does the scenarios' driver's commands on the page."""

    def __init__(self, browser, origin):
        self.browser, self.origin, self.warnings = browser, origin, 0
        self.used = False  # whether the open page has been typed into, clicked or keyed

    def run(self, command, args):
        b = self.browser
        if command in ("open", "separator"):
            # The browser's language, as the page reads it (navigator.language).
            b.set_language(SEPARATOR_LANGUAGE[args[0]], page_kept=command == "separator")
        self.used = command in ("type", "click", "doubleclick", "press") or (self.used and command != "open")
        if command == "open":
            b.set_dark(False, page_kept=False)
            open_page(b, self.origin)
            b.execute_script(PROBE, "listen")
            b.execute_script(TRACK_FOCUS)
            b.execute_script(AROUND)
        elif command == "type":
            type_into(b, args[0], args[1] if len(args) > 1 else "")
        elif command == "paste":
            paste_into(b, args[0], urllib.parse.unquote(args[1] if len(args) > 1 else ""))
        elif command == "click":
            b.click(args[0])
        elif command == "doubleclick":
            b.double_click(args[0])
            return b.execute_script(PROBE, "selected", args[0])
        elif command == "press" and args[0] == "shifttab":
            b.send_keys((Keys.SHIFT, Keys.TAB))
        elif command == "press":
            b.send_keys(KEYS[args[0]])
        elif command == "reading":
            return reading_order(b)
        elif command == "dark":
            # An engine that must start another browser for it opens the page again there.
            if b.set_dark(True, page_kept=self.used):
                open_page(b, self.origin)
        elif command == "warning":
            shown = b.execute_script(PROBE, "warning")
            if not shown:
                return [0]
            # Enter and Escape close it, by turns; the focus goes back where it was.
            self.warnings += 1
            b.send_keys(Keys.ENTER if self.warnings % 2 else Keys.ESCAPE)
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
                except Unable as why:  # told to the program, which leaves the scenario out
                    reply = ["skip", str(why)]
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
        browser.tap(button)
    else:
        browser.click(button)
    return browser.execute_script("return document.getElementById(arguments[0]).value", result) if result else None


# A first visit whose program does not arrive whole, as a fetch that fails offline leaves it. Without start.js the
# page's module never runs, as in a browser without ES modules.
FAILED_STARTS = ["start.js", "velsona.js", "velsona.wasm"]
# The failure notice: its text, its button, whether it is seen.
FAILURE = """
const notice = document.querySelector('[role=alert]'), box = notice && notice.getBoundingClientRect();
return notice && notice.textContent && [notice.querySelector('p').textContent, notice.querySelector('button').textContent,
  box.width > 0 && box.height > 0 && getComputedStyle(notice).visibility === 'visible'];
"""


def check_offline(browser, server):
    """A first visit whose program cannot start says so in Italian, visibly and as an alert, and tries again on
    Riprova; after the first visit, the page opens and calculates with the network off and the server gone."""
    for name in FAILED_STARTS:
        # Each a first visit, on an origin of its own, for which the browser keeps nothing of the one before.
        server.stop()
        server = Server(server.folder)
        server.missing = (name,)
        browser.get(server.origin + "/")
        shown = wait_for(browser, FAILURE)
        if not shown or not shown[0].startswith("Impossibile avviare Velsona") or shown[1:] != ["Riprova", True]:
            raise AssertionError("without %s, the page shows %s" % (name, shown))
    server.missing = ()
    open_page(browser, server.origin, retry=True)
    if not wait_for(browser, "return navigator.serviceWorker.controller !== null"):
        browser.refresh()
        wait_for(browser, "return navigator.serviceWorker.controller !== null")
    server.stop()
    browser.set_offline()
    open_page(browser, server.origin)
    shown = calculate(browser, [("DBSens1", "-47")], "CalcolaSens", "MVSens1")
    if shown not in ("4.4668", "4,4668"):
        raise AssertionError("offline, -47 dB gives '%s'" % shown)


# The window on a phone: its smallest text as drawn and its smallest target as a finger meets it (a field,
# button or check box with its label, only where the square of 24 px round its middle lands on it all),
# whether any of it lies out of reach or sideways, and whether the frames stand one above the other.
PHONE = """
const shown = document.getElementById('velsona'), root = document.documentElement;
const least = (rows) => rows.reduce((a, b) => (b[0] < a[0] ? b : a));
const drawn = (e) => parseFloat(getComputedStyle(e).fontSize) * e.getBoundingClientRect().width / e.offsetWidth;
const text = least([...shown.querySelectorAll('*')].filter((e) => e.offsetWidth && (e.matches('.field') ||
  [...e.childNodes].some((n) => n.nodeType === Node.TEXT_NODE && n.textContent.trim())))
  .map((e) => [drawn(e), e.id || e.parentNode.id]));
const target = least([...shown.querySelectorAll('.client input:not([readonly]), .client button')].map((e) => {
  const t = e.closest('label') || e;
  t.scrollIntoView({block: 'center', inline: 'center'});
  const r = t.getBoundingClientRect(), x = r.left + r.width / 2, y = r.top + r.height / 2;
  const all = [[-1, -1], [1, -1], [-1, 1], [1, 1]]
    .every(([i, j]) => t.contains(document.elementFromPoint(x + 11.5 * i, y + 11.5 * j)));
  return [all ? Math.min(r.width, r.height) : 0, e.id]; }));
scrollTo(0, 0);
const w = shown.getBoundingClientRect(), one = document.getElementById('Frame1').getBoundingClientRect();
return [text, target, root.scrollWidth > root.clientWidth || w.left < 0 || w.top < 0 || w.right > root.clientWidth ||
  w.bottom > root.scrollHeight, document.getElementById('Frame2').getBoundingClientRect().top >= one.bottom];
"""


def settle(browser):
    """Until the page has laid out and drawn what the last step changed."""
    browser.execute_script("return new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))")


def check_phone(browser, server):
    """On a phone upright (the frames one above the other) and on its side, with touch: text of 12 px or more,
    targets of 24 x 24 or more, the whole window within reach, no sideways scrolling; typing and tapping work."""
    for width, height, stacked in ((360, 640, True), (740, 360, False)):
        if width > height and not browser.coarse_pointer:
            # Where the window fits the width, only a finger's pointer scales it up.
            print("%d x %d: left out, this engine's phone emulation reports no coarse pointer" % (width, height))
            continue
        browser.set_phone(width, height)
        open_page(browser, server.origin)
        settle(browser)
        text, target, outside, stacks = browser.execute_script(PHONE)
        print("%d x %d: smallest text %.1f px (%s), smallest target %.1f px (%s)" % (width, height, *text, *target))
        browser.execute_script("document.getElementById('CalcolaSens2').scrollIntoView({block: 'center'})")
        tapped = calculate(browser, [("MVSens2", "10")], "CalcolaSens2", "DBSens2", tap=True)
        if text[0] < 12 or target[0] < 24 or outside or stacks != stacked or tapped != "-40":
            raise AssertionError("on %d x %d: text %s, target %s, out of reach %s, stacked %s, 10 mV/Pa gives '%s'"
                                 % (width, height, text, target, outside, stacks, tapped))


def check_axe(browser, server, axe):
    """axe-core finds no WCAG 2.1 A/AA or best-practice violation, with results shown and with a message open."""
    open_page(browser, server.origin)
    with open(axe, encoding="utf-8") as source:
        browser.execute_script(source.read())
    for state, field, text, button in (("with a result", "DBSens1", "-47", "CalcolaSens"),
                                       ("with a message open", "MVSens2", "x", "CalcolaSens2")):
        calculate(browser, [(field, text)], button)
        result = browser.execute_script(
            "return axe.run(document, {runOnly: {type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa',"
            " 'best-practice']}}).then((r) => ({violations: r.violations.map((v) => ({id: v.id,"
            " nodes: v.nodes.map((n) => n.target.join(' '))})), passes: r.passes.length}),"
            " (e) => ({error: String(e)}));")
        if "error" in result or result["violations"]:
            raise AssertionError("axe-core %s: %s" % (state, json.dumps(result)))
        print("axe-core %s: no violation, %d rules passed" % (state, result["passes"]))


def check_private(browser, server):
    """Every request goes to the page's own origin, and the page's policy refuses nothing it asks for;
    no cookie, no storage but the service worker's cache."""
    open_page(browser, server.origin)
    calculate(browser, [("MAXSPL", "130"), ("SELFNOISE", "15")], "CalcGamma")
    wait_for(browser, "return navigator.serviceWorker.controller !== null")
    open_page(browser, server.origin, reload=True)
    urls = browser.requests(server.origin)
    foreign = sorted(url for url in urls if not url.startswith(server.origin + "/"))
    if foreign or not urls:
        raise AssertionError("requests to other origins: %s" % foreign)
    errors = browser.errors()
    if errors:
        raise AssertionError("errors in the page: %s" % errors)
    stored = browser.execute_script(
        "return Promise.all([indexedDB.databases(), caches.keys()]).then(([databases, names]) => ({"
        " cookie: document.cookie, local: localStorage.length, session: sessionStorage.length,"
        " databases: databases.length, caches: names}));")
    if stored["cookie"] or stored["local"] or stored["session"] or stored["databases"] or \
            any(not name.startswith("velsona ") for name in stored["caches"]):
        raise AssertionError("the page stores %s" % json.dumps(stored))
    print("%d requests, all to %s; stored: %s" % (len(urls), server.origin, json.dumps(stored)))


def check_globals(browser, server):
    """The page, its program running, adds nothing to the global object: a page of the same origin without
    any script has the same names on it."""
    script = "return Object.getOwnPropertyNames(window)"
    browser.get(server.origin + "/icons/velsona-32.png")
    # The driver's own helpers, which its first calls leave on any page, count as the bare page's.
    browser.find_elements(By.ID, "DBSens1")
    bare = set(browser.execute_script(script) + browser.execute_script(script))
    open_page(browser, server.origin)
    calculate(browser, [("DBSens1", "-47")], "CalcolaSens")
    added = sorted(set(browser.execute_script(script)) - bare)
    if added:
        raise AssertionError("the page adds to the global object: %s" % ", ".join(added))


def check_update(browser, server, *newer):
    """Builds served one after another, with another app's offline copy on the same origin. The first visit is
    offered nothing when its worker arrives; a page open on a build, whether a worker served it or not, loads only
    that build's files and, once the next takes over, offers in Italian to reload, the stop after the window's
    last, from which Tab goes on to the rest of the page, as Shift+Tab does from the window's first; the next load
    is wholly the next build's, and calculates. The other app's cache keeps its entry, and none of Velsona's
    requests is answered from it."""
    builds = [os.path.basename(os.path.dirname(glob.glob(os.path.join(folder, "*", "start.js"))[0]))
              for folder in (server.folder, *newer)]
    loaded = ("return [...new Set(performance.getEntriesByType('resource').map((entry) =>"
              " (new URL(entry.name).pathname.match(/^[/]([^/]+-[0-9a-f]{12})[/]/) || [])[1]).filter(Boolean))];")
    focused = "return document.activeElement.id || document.activeElement.textContent"
    browser.get(server.origin + "/icons/velsona-32.png")
    browser.execute_script("return caches.open('altra-app').then((cache) => cache.put('/altra.txt', new Response('altra')))")
    open_page(browser, server.origin)
    wait_for(browser, "return navigator.serviceWorker.controller !== null")
    seen = [browser.execute_script("return document.querySelectorAll('.update').length"),
            browser.execute_script("return fetch('/altra.txt').then((response) => response.status)")]
    expected = [0, 404]
    for build, folder in enumerate(newer):
        server.serve(folder)
        browser.execute_script("return navigator.serviceWorker.getRegistration().then((r) => r.update())")
        seen.append(wait_for(browser, "const b = document.querySelector('.update[role=status] button');"
                                      "return b && b.parentNode.textContent;", 30))
        seen.append(browser.execute_script(loaded))
        browser.execute_script(AROUND)
        browser.click("DBSens1")
        browser.send_keys((Keys.SHIFT, Keys.TAB))
        seen.append(browser.execute_script(focused))
        browser.click("CalcGamma")
        for key in (Keys.TAB, Keys.TAB, (Keys.SHIFT, Keys.TAB)):
            browser.send_keys(key)
            seen.append(browser.execute_script(focused))
        browser.send_keys(Keys.ENTER)
        wait_for(browser, "return !document.querySelector('.update') && document.activeElement.id === 'DBSens1'")
        seen.append(browser.execute_script(loaded))
        expected += ["È disponibile una nuova versione di Velsona.Ricarica", builds[build:build + 1], "page-before",
                     "Ricarica", "page-after", "Ricarica", builds[build + 1:build + 2]]
    seen += [calculate(browser, [("DBSens1", "-47")], "CalcolaSens", "MVSens1"), browser.execute_script(
        "return caches.match('/altra.txt', {cacheName: 'altra-app'}).then((kept) => kept && kept.text())")]
    expected += ["4.4668", "altra"]
    if seen != expected:
        raise AssertionError("seen %s, not %s" % (seen, expected))


def main():
    arguments = sys.argv[1:]
    engine = arguments.pop(0).split("=", 1)[1] if arguments[0].startswith("--engine=") else "chromium"
    folder, language, what = arguments[:3]
    server = Server(folder)
    browser = start_browser(language, engine)
    print(browser.version(), flush=True)
    try:
        if what == "play":
            return play(browser, server.origin, arguments[3:])
        checks = {"offline": check_offline, "phone": check_phone, "private": check_private, "axe": check_axe,
                  "globals": check_globals, "update": check_update}
        checks[what](browser, server, *arguments[3:])
        print("%s: passed" % what)
        return 0
    except AssertionError as error:
        print("%s: FAILED: %s" % (what, error))
        return 1
    finally:
        browser.quit()


if __name__ == "__main__":
    sys.exit(main())
