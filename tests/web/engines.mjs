// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The three browser engines behind one small interface, so that each check of
// the page is written once: Debian's Chromium driven by playwright-core,
// Firefox ESR by puppeteer-core over WebDriver BiDi, and WebKitGTK's
// MiniBrowser (the engine of every iPhone browser) by its own WebDriver, under
// Xvfb. Controls are found as a screen reader finds them, by the role and
// accessible name the browser itself computes.
//
//   const browser = await launchEngine("firefox", { scheme: "dark", language: "ru" });
//   const tab = await browser.newTab({ layout: "phone" });
//   await (await tab.find("button", "расчёт", { role: "dialog", name: "сечение" })).click();
//
// Firefox and WebKit take the colour scheme and the language at start, so a
// browser is launched with them; Chromium takes them per tab. forced-colors
// (Windows high contrast) exists in Chromium and Firefox only. WebKitGTK's
// window is never narrower than 447 CSS pixels: its phone is a large one.
//
// CEPOMER_BROWSERS (chromium,firefox,webkit) chooses the engines the tests run
// in; FIREFOX, WEBKIT_WEBDRIVER and MINIBROWSER name the programs.

import { spawn } from "node:child_process";
import { writeFileSync } from "node:fs";
import { createServer } from "node:net";
import path from "node:path";

import { ENGINES, LAYOUTS, LOCALES, temporaryFolder } from "./harness.mjs";

export { ENGINES };

// What every page reports of itself, collected from its start where the
// engine lets a script run before the page's own (all but WebKit's WebDriver):
// uncaught errors, rejected promises, console errors, resources that failed
// to load and content-security-policy violations.
const COLLECTOR = `(() => {
  if (window.__problems) return;
  const problems = window.__problems = [];
  addEventListener("error", (e) => {
    if (e.target && e.target !== window) {
      problems.push("failed: " + (e.target.src || e.target.href));
    } else if (!/^ResizeObserver loop/.test(e.message)) {
      // (A window laid out anew for the width just measured is measured
      // again in the next frame, as the standard has it; browsers report
      // that as this "error", harmless.)
      problems.push("uncaught: " + e.message);
    }
  }, true);
  addEventListener("unhandledrejection", (e) => problems.push("rejected: " + e.reason));
  addEventListener("securitypolicyviolation", (e) =>
    problems.push("policy: " + e.violatedDirective + " " + e.blockedURI));
  const error = console.error;
  console.error = (...args) => { problems.push("console: " + args.join(" ")); error(...args); };
})();`;

const size = ({ width, height }) => ({ width, height });
const LANGUAGES = Object.fromEntries(Object.entries(LOCALES).map(([name, l]) => [name, l.locale]));

export async function launchEngine(engine, { scheme = "light", language = "ru",
                                             forcedColors = false } = {}) {
  const options = { scheme, language, forcedColors };
  if (engine === "chromium") {
    return chromiumBrowser(options);
  } else if (engine === "firefox") {
    return firefoxBrowser(options);
  } else if (engine === "webkit") {
    return webkitBrowser(options);
  }
  throw new Error(`no browser engine "${engine}"`);
}

// ---- Chromium -------------------------------------------------------------

async function chromiumBrowser(options) {
  const { launch } = await import("./harness.mjs");
  const browser = await launch();
  return { ...chromiumTabs(browser, options), close: () => browser.close() };
}

// Tabs of a playwright-core Chromium: each in a context of its own (or in that
// of the tab it is opened beside), where prepare(context) may route its
// requests before the page opens.
export function chromiumTabs(browser, { scheme = "light", language = "ru",
                                        forcedColors = false } = {}) {
  return {
    engine: "chromium",
    async newTab({ layout = "wide", prepare, beside } = {}) {
      const context = beside?.context ?? await browser.newContext({
        viewport: size(LAYOUTS[layout]), locale: LANGUAGES[language], colorScheme: scheme,
        forcedColors: forcedColors ? "active" : "none",
        ...(LAYOUTS[layout].mobile && { isMobile: true, hasTouch: true, deviceScaleFactor: 2 }) });
      context.setDefaultTimeout(10_000);
      if (!beside) {
        await context.addInitScript(COLLECTOR);
        await prepare?.(context);
      }
      const page = await context.newPage();
      const native = [];
      page.on("pageerror", (e) => native.push(`uncaught: ${e.message}`));
      page.on("requestfailed", (r) => native.push(`failed: ${r.url()} ${r.failure()?.errorText}`));
      page.on("response", (r) => r.status() >= 400 && native.push(`${r.status()}: ${r.url()}`));
      const locate = (role, name, scope) => {
        const root = scope ? page.getByRole(scope.role, { name: scope.name, exact: true }) : page;
        return root.getByRole(role, { name, exact: true });
      };
      return new Tab({
        layout, page, context, native,
        goto: (url) => page.goto(url),
        reload: () => page.reload(),
        back: () => page.goBack(),
        url: () => page.url(),
        evaluate: (fn, arg) => page.evaluate(fn, arg),
        run: (source) => page.evaluate(source),
        async find(role, name, scope) {
          const l = locate(role, name, scope);
          return (await l.count()) === 1 ? chromiumElement(l, layout) : null;
        },
        key: (key) => page.keyboard.press(key),
        typeText: (text) => page.keyboard.type(text),
        screenshot: (file) => page.screenshot({ path: file, scale: "css", animations: "disabled" }),
        another: () => this.newTab({ layout, beside: { context } }),
        // As a browser stops idle ones, through the DevTools protocol.
        async stopWorkers() {
          const cdp = await context.newCDPSession(page);
          await cdp.send("ServiceWorker.enable");
          await cdp.send("ServiceWorker.stopAllWorkers");
          await cdp.detach();
        },
        close: () => (beside ? page.close() : context.close()),
      });
    },
  };
}

function chromiumElement(locator, layout) {
  return {
    click: () => (layout === "phone" ? locator.tap() : locator.click()),
    fill: (text) => locator.fill(text),
    value: () => locator.inputValue(),
    disabled: () => locator.isDisabled(),
    focus: () => locator.focus(),
    text: () => locator.innerText(),
  };
}

// ---- Firefox --------------------------------------------------------------

async function firefoxBrowser({ scheme, language, forcedColors }) {
  const { requireNpm } = await import("./harness.mjs");
  const puppeteer = requireNpm("puppeteer-core");
  const browser = await puppeteer.launch({
    browser: "firefox", protocol: "webDriverBiDi", headless: true,
    executablePath: process.env.FIREFOX ?? "/usr/bin/firefox-esr",
    extraPrefsFirefox: {
      "intl.accept_languages": LANGUAGES[language],
      "intl.locale.requested": LANGUAGES[language],
      // 0 dark, 1 light: the scheme pages see.
      "layout.css.prefers-color-scheme.content-override": scheme === "dark" ? 0 : 1,
      ...(forcedColors ? { "browser.display.document_color_use": 2 } : {}),
    },
  });
  return {
    engine: "firefox",
    async newTab({ layout = "wide", beside } = {}) {
      // Each tab in a context of its own (or in that of the tab it is opened
      // beside): its own storage, caches and workers.
      const context = beside?.context ?? await browser.createBrowserContext();
      const page = await context.newPage();
      page.setDefaultTimeout(10_000);
      await page.setViewport(size(LAYOUTS[layout]));
      await page.evaluateOnNewDocument(COLLECTOR);
      const native = [];
      page.on("pageerror", (e) => native.push(`uncaught: ${e.message}`));
      const aria = (role, name) => `::-p-aria([name=${JSON.stringify(name)}][role="${role}"])`;
      return new Tab({
        layout, page, native,
        goto: (url) => page.goto(url),
        reload: () => page.reload(),
        back: () => page.evaluate(() => history.back()).then(() => settle()),
        url: () => page.url(),
        evaluate: (fn, arg) => page.evaluate(fn, arg),
        run: (source) => page.evaluate(source),
        async find(role, name, scope) {
          let root = page;
          if (scope) {
            root = await page.$(aria(scope.role, scope.name));
            if (!root) {
              return null;
            }
          }
          const found = await root.$$(aria(role, name));
          return found.length === 1 ? handleElement(page, found[0]) : null;
        },
        key: (key) => page.keyboard.press(key === "Space" ? " " : key),
        typeText: (text) => page.keyboard.type(text),
        screenshot: (file) => page.screenshot({ path: file }),
        another: () => this.newTab({ layout, beside: { context } }),
        close: () => (beside ? page.close() : context.close()),
      });
    },
    close: () => browser.close(),
  };
}

// A field's text replaced as a user does it: all of it selected, then typed
// over (or deleted).
async function typeOver(focusAndSelect, typeText, pressKey, text) {
  await focusAndSelect();
  if (text === "") {
    await pressKey("Backspace");
  } else {
    await typeText(text);
  }
}

function handleElement(page, handle) {
  return {
    click: () => handle.click(),
    fill: (text) => typeOver(() => handle.evaluate((e) => { e.focus(); e.select(); }),
                             (t) => page.keyboard.type(t), (k) => page.keyboard.press(k), text),
    value: () => handle.evaluate((e) => e.value),
    disabled: () => handle.evaluate((e) => e.disabled),
    focus: () => handle.focus(),
    text: () => handle.evaluate((e) => e.innerText),
  };
}

// ---- WebKitGTK --------------------------------------------------------------

// How a WebDriver names an element in a script's arguments and results: the
// standard's key, or the one the driver answers with (WebKitGTK's differs).
let ELEMENT = "element-6066-11e4-a52e-4f735fa0f6d8";
const KEYS = { Tab: "\uE004", Enter: "\uE007", Space: "\uE00D", Escape: "\uE00C",
               Backspace: "\uE003" };

async function freePort() {
  return new Promise((resolve, reject) => {
    const server = createServer();
    server.once("error", reject);
    server.listen(0, "127.0.0.1", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// One X display for every WebKit browser of the process, started on first use.
let display;
async function xDisplay() {
  if (process.env.DISPLAY) {
    return process.env.DISPLAY;
  }
  if (!display) {
    display = new Promise((resolve, reject) => {
      // -noreset: the server stays as it is when its last client goes
      // (else it starts afresh and says its display number once more).
      const xvfb = spawn("Xvfb", ["-displayfd", "1", "-screen", "0", "1600x1000x24", "-nolisten",
                                  "tcp", "-noreset"], { stdio: ["ignore", "pipe", "ignore"] });
      process.once("exit", () => xvfb.kill());
      xvfb.once("error", reject);
      xvfb.stdout.once("data", (d) => resolve(`:${String(d).trim()}`));
      // Read to the end, so that no write of the server's meets a closed
      // pipe (which would end it), yet neither keeps the tests running.
      xvfb.stdout.resume();
      xvfb.stdout.unref();
      xvfb.unref();
    });
  }
  return display;
}

// A Russian navigator.language needs the locale, which a system may not have:
// compiled once into a folder of our own, the system left as it is.
let locales;
function localeFolder() {
  if (!locales) {
    locales = temporaryFolder("cepomer-locales-");
    process.once("exit", () => locales.remove());
    for (const name of ["ru_RU", "en_US"]) {
      const made = spawn("localedef", ["-i", name, "-f", "UTF-8",
                                       path.join(locales.dir, `${name}.UTF-8`)]);
      locales[name] = new Promise((resolve) => made.once("exit", resolve));
    }
  }
  return locales;
}

// WebKitWebDriver on a free port, in a process group of its own so that
// stop() ends the browsers it started too; call() is one request to it.
async function webkitDriver(env) {
  const port = await freePort();
  const driver = spawn(process.env.WEBKIT_WEBDRIVER ?? "WebKitWebDriver", [`--port=${port}`],
                       { stdio: "ignore", env, detached: true });
  const base = `http://127.0.0.1:${port}`;
  const call = async (method, where, body, timeout = 120_000) => {
    const response = await fetch(base + where, {
      method, headers: { "content-type": "application/json" },
      body: body === undefined ? undefined : JSON.stringify(body),
      signal: AbortSignal.timeout(timeout) });
    const answer = await response.json();
    if (answer.value?.error) {
      const e = new Error(`WebDriver ${method} ${where}: ${answer.value.error}: ${answer.value.message}`);
      e.webdriver = answer.value.error;
      throw e;
    }
    return answer.value;
  };
  const stop = () => {
    try {
      process.kill(-driver.pid, "SIGKILL");
    } catch {
      // gone already
    }
  };
  for (let i = 0; ; ++i) { // until the driver listens
    try {
      await call("GET", "/status");
      return { call, stop };
    } catch (e) {
      if (i > 100) {
        stop();
        throw e;
      }
      await settle(50);
    }
  }
}

async function webkitBrowser({ scheme, language }) {
  const folder = localeFolder();
  const locale = LANGUAGES[language].replace("-", "_");
  await folder[locale];
  const env = { ...process.env, DISPLAY: await xDisplay(), LOCPATH: folder.dir,
                LANG: `${locale}.UTF-8`, LANGUAGE: LANGUAGES[language], LC_ALL: `${locale}.UTF-8`,
                GTK_THEME: scheme === "dark" ? "Adwaita:dark" : "Adwaita" };
  const driver = await webkitDriver(env);
  const orphaned = () => driver.stop();
  process.on("exit", orphaned);
  const { call: driverCall } = driver;
  const binary = process.env.MINIBROWSER ??
    "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser";
  const sessions = new Set();
  const shown = new Map(); // the window each session's commands go to
  return {
    engine: "webkit",
    async newTab({ layout = "wide", beside } = {}) {
      // A session is a browser of its own: its own storage, caches and
      // workers. The driver runs one at a time: a tab a failed test left
      // open goes. A tab opened beside another is a window of its session.
      let sessionId = beside?.sessionId;
      if (!sessionId) {
        for (const old of sessions) {
          sessions.delete(old);
          await driverCall("DELETE", `/session/${old}`).catch(() => {});
        }
        // (Within a minute: a browser that cannot come up leaves the driver
        // waiting for ever.)
        ({ sessionId } = await driverCall("POST", "/session", { capabilities: { alwaysMatch: {
          "webkitgtk:browserOptions": { binary, args: ["--automation"] } } } }, 60_000));
        sessions.add(sessionId);
      }
      const s = `/session/${sessionId}`;
      const handle = beside ? (await driverCall("POST", `${s}/window/new`, {})).handle
        : await driverCall("GET", `${s}/window`);
      // Each command to the window of its tab.
      const call = async (...args) => {
        if (shown.get(s) !== handle) {
          await driverCall("POST", `${s}/window`, { handle });
          shown.set(s, handle);
        }
        return driverCall(...args);
      };
      await call("POST", `${s}/timeouts`, { script: 10_000, pageLoad: 20_000 });
      await call("POST", `${s}/window/rect`, { x: 0, y: 0, ...size(LAYOUTS[layout]) });
      const evaluate = (fn, arg) => call("POST", `${s}/execute/async`, {
        script: `const done = arguments[1];
                 Promise.resolve().then(() => (${fn})(arguments[0]))
                   .then((v) => done({ v }), (e) => done({ e: String(e && e.stack || e) }));`,
        args: [arg ?? null] }).then((r) => {
        if (r && "e" in r) {
          throw new Error(`in the page: ${r.e}`);
        }
        return r?.v;
      });
      const collect = () => evaluate(new Function(COLLECTOR));
      const id = (e) => {
        ELEMENT = Object.keys(e)[0];
        return Object.values(e)[0];
      };
      // The shown elements the selector matches (within an element, or the
      // page) whose texts hold the name, then those of that role and name as
      // WebKit's accessibility tree has them (a hidden element is in no
      // tree). The first step only spares asking about every element.
      const named = async (within, css, role, name) => {
        const found = [];
        const shown = await call("POST", `${s}/execute/sync`, {
          script: `const texts = (e) => [e.textContent, e.getAttribute("aria-label"),
                     ...[...(e.labels ?? [])].map((l) => l.textContent),
                     ...(e.getAttribute("aria-labelledby") ?? "").split(" ")
                       .map((id) => document.getElementById(id)?.textContent)];
                   return [...(arguments[0] ?? document).querySelectorAll(arguments[1])]
                     .filter((e) => e.checkVisibility() &&
                                    texts(e).some((t) => t && t.includes(arguments[2])));`,
          args: [within ? { [ELEMENT]: within } : null, css, name] });
        for (const e of shown.map(id)) {
          try {
            if (await call("GET", `${s}/element/${e}/computedrole`) === role &&
                (await call("GET", `${s}/element/${e}/computedlabel`)).trim() === name) {
              found.push(e);
            }
          } catch (error) {
            if (!error.webdriver) {
              throw error;
            }
          }
        }
        return found;
      };
      const keys = (text) => call("POST", `${s}/actions`, { actions: [{ type: "key", id: "keyboard",
        actions: [...text].flatMap((k) => [{ type: "keyDown", value: k }, { type: "keyUp", value: k }]) }] });
      return new Tab({
        layout, native: [],
        goto: (url) => call("POST", `${s}/url`, { url }).then(collect),
        reload: () => call("POST", `${s}/refresh`, {}).then(collect),
        back: () => evaluate(() => history.back()).then(() => settle()),
        url: () => call("GET", `${s}/url`),
        evaluate,
        run: (source) => call("POST", `${s}/execute/sync`, { script: source, args: [] }),
        async find(role, name, scope) {
          let root = null;
          if (scope) {
            const roots = await named(null, "section, dialog, [role]", scope.role, scope.name);
            if (roots.length !== 1) {
              return null;
            }
            root = roots[0];
          }
          const css = { textbox: "input", button: "button, [role=button]" }[role] ??
            "section, dialog, [role]";
          const found = await named(root, css, role, name);
          return found.length === 1 ? webdriverElement(s, found[0], call, keys, evaluate) : null;
        },
        key: (key) => keys(KEYS[key] ?? key),
        typeText: (text) => keys(text),
        async screenshot(file) {
          writeFileSync(file, Buffer.from(await call("GET", `${s}/screenshot`), "base64"));
        },
        another: () => this.newTab({ layout, beside: { sessionId } }),
        async close() {
          if (beside) {
            await call("DELETE", `${s}/window`);
          } else {
            sessions.delete(sessionId);
            await driverCall("DELETE", s);
          }
          shown.delete(s);
        },
      });
    },
    async close() {
      for (const id of sessions) {
        await driverCall("DELETE", `/session/${id}`).catch(() => {});
      }
      process.off("exit", orphaned);
      driver.stop();
    },
  };
}

function webdriverElement(s, e, call, keys, evaluate) {
  const at = `${s}/element/${e}`;
  const property = (name) => call("GET", `${at}/property/${name}`);
  const self = () => ({ [ELEMENT]: e });
  return {
    click: () => call("POST", `${at}/click`, {}),
    fill: (text) => typeOver(() => call("POST", `${s}/execute/sync`, {
      script: "arguments[0].focus(); arguments[0].select();", args: [self()] }),
    keys, (k) => keys(KEYS[k]), text),
    value: () => property("value"),
    disabled: () => property("disabled"),
    focus: () => call("POST", `${s}/execute/sync`, { script: "arguments[0].focus();",
                                                     args: [self()] }),
    text: () => call("GET", `${at}/text`),
  };
}

// ---- What the three share --------------------------------------------------

export class Tab {
  constructor(backend) {
    this.backend = backend;
    this.layout = backend.layout;
    this.page = backend.page; // Chromium's and Firefox's own, for what only they can do
    this.context = backend.context;
    this.seen = []; // problems of the documents this tab has left
  }

  url() { return this.backend.url(); }
  evaluate(fn, arg) { return this.backend.evaluate(fn, arg); }
  // A script's text run in the page by the driver, as no page script may.
  run(source) { return this.backend.run(source); }
  // The one element of that role and accessible name (within the one element
  // of the scope's role and name), or null.
  find(role, name, scope) { return this.backend.find(role, name, scope); }
  // A key by its name (Tab, Enter, Space, Escape, Backspace) on the focused element.
  key(name) { return this.backend.key(name); }
  typeText(text) { return this.backend.typeText(text); }
  screenshot(file) { return this.backend.screenshot(file); }
  close() { return this.backend.close(); }
  // Another tab of the same browser: the same storage and service workers.
  another() { return this.backend.another(); }
  // The service workers stopped, as a browser stops idle ones, where the
  // engine lets a test (Chromium).
  stopWorkers() { return this.backend.stopWorkers?.(); }

  async back() {
    await this.keep();
    return this.backend.back();
  }

  async goto(url) {
    await this.keep();
    return this.backend.goto(url);
  }

  async reload() {
    await this.keep();
    return this.backend.reload();
  }

  // Every problem the tab's documents reported so far.
  async problems() {
    return [...this.seen, ...this.backend.native, ...await this.own()];
  }

  async own() {
    try {
      return await this.evaluate(() => window.__problems ?? []) ?? [];
    } catch {
      return []; // a document that is going away
    }
  }

  async keep() {
    this.seen.push(...await this.own());
  }

  // Waits, within a time limit, for fn(arg) to hold in the page.
  async waitFor(what, fn, arg, timeout = 10_000) {
    const deadline = Date.now() + timeout;
    for (;;) {
      try {
        if (await this.evaluate(fn, arg)) {
          return;
        }
      } catch {
        // a document that is still loading
      }
      if (Date.now() > deadline) {
        throw new Error(`waited ${timeout / 1000} s in vain for ${what}`);
      }
      await settle(50);
    }
  }
}

function settle(ms = 300) {
  return new Promise((resolve) => setTimeout(resolve, ms));
}
