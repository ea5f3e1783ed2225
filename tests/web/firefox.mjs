// Firefox for tests/web/browser.py: one headless Firefox ESR, driven with
// puppeteer-core over WebDriver BiDi, and one tab in it. Reads one command a
// line on standard input, as JSON [name, ...arguments], and answers each with
// one JSON line, {value} or {error}. Its first line is "ready" or the error.
//   node firefox.mjs FIREFOX LANGUAGES [dark]   (LANGUAGES: e.g. "it-IT, it";
//                                                dark: the system's colours dark)
import {createInterface} from 'node:readline';
import puppeteer from 'puppeteer-core';

const [executablePath, languages, colours] = process.argv.slice(2);
const browser = await puppeteer.launch({
  browser: 'firefox', executablePath, headless: true,
  extraPrefsFirefox: {'intl.accept_languages': languages, 'ui.systemUsesDarkTheme': colours === 'dark' ? 1 : 0},
});
// A tab of our own: in the one Firefox opens at start the document never
// has the focus, so keys pressed on a button do not click it.
const page = await browser.newPage();
const requests = [], errors = [];
page.on('request', (request) => requests.push(request.url()));
page.on('pageerror', (error) => errors.push(String(error)));
page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });

const centre = async (id) => {
  const box = await (await page.$('#' + id)).boundingBox();
  return [box.x + box.width / 2, box.y + box.height / 2];
};
const commands = {
  get: async (url) => { await page.goto(url); },
  reload: async () => { await page.reload(); },
  // A function body, as WebDriver runs it: its arguments in `arguments`, a promise awaited.
  script: (body, args) => page.evaluate(new Function(body), ...args),
  click: async (id) => page.mouse.click(...await centre(id)),
  doubleclick: async (id) => page.mouse.click(...await centre(id), {count: 2}),
  tap: async (id) => page.touchscreen.tap(...await centre(id)),
  // Each item ['press', key name], ['type', text] (key by key) or ['chord', modifier, key].
  keys: async (items) => {
    for (const [how, key, other] of items) {
      if (how === 'press') {
        await page.keyboard.press(key);
      } else if (how === 'type') {
        await page.keyboard.type(key);
      } else {
        await page.keyboard.down(key);
        await page.keyboard.press(other);
        await page.keyboard.up(key);
      }
    }
  },
  // navigator.language and the default of Intl, at once, in the open page too.
  language: async (locale) => {
    await browser.connection.send('emulation.setLocaleOverride', {locale, contexts: [page.mainFrame()._id]});
  },
  offline: (on) => page.setOfflineMode(on),
  viewport: (viewport) => page.setViewport(viewport),
  requests: () => requests.splice(0),
  errors: () => errors.splice(0),
  version: () => browser.version(),
};

console.log(JSON.stringify('ready'));
for await (const line of createInterface({input: process.stdin})) {
  const [name, ...args] = JSON.parse(line);
  let reply;
  try {
    reply = {value: (await commands[name](...args)) ?? null};
  } catch (error) {
    reply = {error: String(error.message || error).split('\n')[0]};
  }
  console.log(JSON.stringify(reply));
}
await browser.close();
