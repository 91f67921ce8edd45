// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the browser tests, the benchmark and the screenshots share: the site
// served on a free loopback port by nginx as a host serves it, Debian's Chromium
// driven by playwright-core (installed from tests/web/package-lock.json into
// the build, never into the source tree), the two layouts, and the page's
// screens found as a user of a screen reader finds them: by role and name.
//
// Where things are comes from the environment (CTest sets it), else from the
// build folder given as CEPOMER_WEB_BUILD (default build-web):
//   CEPOMER_SITE          the assembled site        (<build>/site)
//   CEPOMER_NODE_MODULES  the installed npm packages (<build>/npm/node_modules)
//   CHROMIUM              the browser               (/usr/bin/chromium)

import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import path from "node:path";
import { after, before } from "node:test";
import { fileURLToPath } from "node:url";

export const sourceDir = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");
const build = path.resolve(sourceDir, process.env.CEPOMER_WEB_BUILD ?? "build-web");
export const siteDir = path.resolve(process.env.CEPOMER_SITE ?? path.join(build, "site"));
const nodeModules = path.resolve(process.env.CEPOMER_NODE_MODULES ??
                                 path.join(build, "npm", "node_modules"));
export const requireNpm = createRequire(nodeModules + path.sep);
const { chromium } = requireNpm("playwright-core");

export const MENU = "Цепомер";
// The notice of the ended program, a region of that name.
export const ENDED = "Работа программы завершена";

// The layouts the page promises to serve, in every engine: a desktop window
// and an upright phone (touch, two pixels to one, where the engine can).
export const LAYOUTS = {
  wide: { width: 1280, height: 800 },
  phone: { width: 360, height: 740, mobile: true },
};

// The browser's language gives the decimal separator of results.
export const LOCALES = {
  ru: { locale: "ru-RU", separator: "," },
  en: { locale: "en-US", separator: "." },
};

// The engines the tests run in (engines.mjs), from CEPOMER_BROWSERS.
export const ENGINES = (process.env.CEPOMER_BROWSERS ?? "chromium,firefox,webkit").split(",")
  .filter((e) => e);

const CHROMIUM_FLAGS = ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                        "--disable-background-networking", "--disable-component-update",
                        "--disable-sync"];

// A folder served on 127.0.0.1 as a host serves it: Debian's nginx with the
// site's own configuration (nginx.mjs), on a port of its choosing.
export async function serve(dir = siteDir, options) {
  const { serveWithNginx } = await import("./nginx.mjs");
  return serveWithNginx(dir, options);
}

// Debian's Chromium, headless, with a new empty profile that goes away with it.
export async function launch() {
  return chromium.launch({ executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
                           headless: true, args: CHROMIUM_FLAGS });
}

// The same with a profile on disk, as a user has (in the contexts above
// Chromium, as in a private window, offers no installing), removed on close().
export async function launchWithProfile(options = {}) {
  const profile = temporaryFolder("cepomer-profile-");
  const context = await chromium.launchPersistentContext(profile.dir, {
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium", headless: true,
    args: CHROMIUM_FLAGS, ...options });
  return {
    context,
    async close() {
      await context.close();
      profile.remove();
    },
  };
}

// For the test file that calls it: one server of the site, and browsers
// launched on first use and shared by its tests: shared.browser Chromium's
// playwright-core browser (where Chromium is among the engines); shared.engine(name, options) the layer's browser of
// that engine with those options (engines.mjs).
export function sharedBrowser() {
  const launched = new Map();
  const shared = {
    engine(engine, options = {}) {
      const key = JSON.stringify([engine, options]);
      if (!launched.has(key)) {
        launched.set(key, import("./engines.mjs").then((m) => m.launchEngine(engine, options)));
      }
      return launched.get(key);
    },
  };
  before(async () => {
    shared.server = await serve();
    if (ENGINES.includes("chromium")) {
      shared.browser = await launch();
    }
  });
  after(async () => {
    for (const browser of launched.values()) {
      await (await browser.catch(() => null))?.close();
    }
    await shared.browser?.close();
    await shared.server?.close();
  });
  return shared;
}

// The site in a new tab (its own cache, storage and service workers), waited
// for until the main menu is usable and the engine runs (or, with engine:
// false, the menu alone; with restored: true, the engine alone, on whatever
// screen it restored). `browser` is one of the layer's (engines.mjs) or
// Chromium's playwright-core browser; for the latter prepare(context) runs
// before the page is opened. The page's problems (failed requests, uncaught
// exceptions, console errors, policy violations) are collected; check() fails
// on any.
export async function open(browser, address, { layout = "wide", language = "ru", engine = true,
                                               prepare } = {}) {
  if (!browser.newTab) {
    const { chromiumTabs } = await import("./engines.mjs");
    browser = chromiumTabs(browser, { language });
  }
  const tab = await browser.newTab({ layout, prepare });
  const app = new App(tab, language);
  await tab.goto(address);
  await app.ready({ engine });
  return app;
}

export class App {
  constructor(tab, language = "ru") {
    Object.assign(this, { tab, language, layout: tab.layout, page: tab.page,
                          context: tab.context });
    this.separator = LOCALES[language].separator;
  }

  async ready({ engine = true, restored = false } = {}) {
    try {
      await this.tab.waitFor("the page ready", (engine) => {
        const { ready, started } = document.documentElement.dataset;
        return ready === "1" && (!engine || started === "1");
      }, engine || restored);
    } catch (e) {
      e.message += `\n  the main menu never became usable; the page's problems:\n  ` +
                   (await this.tab.problems()).join("\n  ");
      throw e;
    }
    if (!restored) {
      await this.screen(MENU);
    }
  }

  async check() {
    const problems = await this.tab.problems();
    if (problems.length > 0) {
      throw new Error(`the page had problems:\n  ${problems.join("\n  ")}`);
    }
  }

  async close() {
    await this.tab.close();
  }

  // The shown windows' captions.
  shown() {
    return this.tab.evaluate(() => [...document.querySelectorAll("section.window:not([hidden])")]
      .filter((s) => (s.checkVisibility ? s.checkVisibility() : s.offsetParent !== null))
      .map((s) => s.querySelector("h2")?.textContent));
  }

  // The screen of that caption once it is the one window shown.
  async screen(caption) {
    await until(`"${caption}" shown alone`, async () => {
      const shown = await this.shown();
      return shown.length === 1 && shown[0] === caption;
    }, async () => `shown: ${JSON.stringify(await this.shown())}`, 10_000);
    return new Screen(this, caption);
  }

  // The id of the focused element.
  focused() {
    return this.tab.evaluate(() => document.activeElement?.id ?? "");
  }

  // The one element of that role and name on the page (or within the scope's).
  async element(role, name, scope) {
    let found = null;
    await until(`the ${role} "${name}"`, async () => {
      found = await this.tab.find(role, name, scope);
      return found !== null;
    });
    return found;
  }

  // A number as the transcripts write it (with a point), in the page's separator.
  number(text) {
    return text.replace(".", this.separator);
  }
}

export class Screen {
  constructor(app, caption) {
    this.app = app;
    this.caption = caption;
    this.scope = { role: "dialog", name: caption };
  }

  field(name) {
    return this.app.element("textbox", name, this.scope);
  }

  button(name) {
    return this.app.element("button", name, this.scope);
  }

  async read(name) {
    return (await this.field(name)).value();
  }

  // Typing is what a user can do only into an enabled field.
  async type(name, text) {
    const field = await this.field(name);
    if (await field.disabled()) {
      throw new Error(`"${name}" on "${this.caption}" is disabled: nothing can be typed there`);
    }
    await field.fill(text);
  }

  // A click with the mouse on a wide screen, a tap on a phone.
  async press(name) {
    const button = await this.button(name);
    if (await button.disabled()) {
      throw new Error(`"${name}" on "${this.caption}" is disabled: it cannot be pressed`);
    }
    await button.click();
  }

  // The one field or button of that name.
  async control(name) {
    return (await this.app.tab.find("textbox", name, this.scope)) ?? this.button(name);
  }

  async expectDisabled(...names) {
    for (const name of names) {
      if (!(await (await this.control(name)).disabled())) {
        throw new Error(`"${name}" on "${this.caption}" is enabled; it should not be`);
      }
    }
  }

  async expectEnabled(...names) {
    for (const name of names) {
      if (await (await this.control(name)).disabled()) {
        throw new Error(`"${name}" on "${this.caption}" is disabled; it should not be`);
      }
    }
  }

  // Presses a choice button; the controls it enables and disables follow.
  async choose(name, { enables = [], disables = [] } = {}) {
    await this.press(name);
    await until(`"${name}" enabling ${enables} and disabling ${disables}`, async () => {
      try {
        await this.expectEnabled(...enables);
        await this.expectDisabled(...disables);
        return true;
      } catch {
        return false;
      }
    });
  }

  // Presses "расчёт" and waits until every result field reads as expected
  // (given with a point, read in the page's separator).
  async calculate(results, button = "расчёт") {
    const expected = Object.fromEntries(Object.entries(results)
      .map(([name, text]) => [name, this.app.number(text)]));
    await this.press(button);
    await this.expectValues(expected, `the results of "${button}" on "${this.caption}"`);
  }

  // Waits until each field reads as given (in the page's own text).
  async expectValues(expected, what = `the fields of "${this.caption}"`) {
    const got = async () => Object.fromEntries(await Promise.all(
      Object.keys(expected).map(async (name) => [name, await this.read(name)])));
    await until(what, async () => JSON.stringify(await got()) === JSON.stringify(expected),
      async () => `expected ${JSON.stringify(expected)}\n  got      ${JSON.stringify(await got())}`);
  }

  async closeBox() {
    await (await this.button("Закрыть")).click();
  }

  async toMenu() {
    await this.press("главное меню");
    return this.app.screen(MENU);
  }
}

export async function openCalculator(menu, button, caption) {
  await menu.press(button);
  return menu.app.screen(caption);
}

// Waits, within a time limit, for check() to hold; what() says what was seen.
export async function until(what, check, seen = async () => "", timeout = 10_000) {
  const deadline = Date.now() + timeout;
  for (;;) {
    if (await check()) {
      return;
    }
    if (Date.now() > deadline) {
      const detail = await seen();
      throw new Error(`waited ${timeout / 1000} s in vain for ${what}${detail ? `; ${detail}` : ""}`);
    }
    await new Promise((resolve) => setTimeout(resolve, 25));
  }
}

// axe-core's checks of WCAG 2.1 A and AA on what the page shows now, in any
// engine (run by the driver, not added to the page as an element, so the
// page's content security policy, which forbids that, has nothing to say).
const axeSource = () => readFileSync(requireNpm.resolve("axe-core/axe.min.js"), "utf8");
export async function axeViolations(tab) {
  if (!(await tab.evaluate(() => "axe" in window))) {
    await tab.run(axeSource());
  }
  const result = await tab.evaluate(() => window.axe.run(document, {
    runOnly: { type: "tag", values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"] },
  }));
  return result.violations.map((v) =>
    `${v.id} (${v.impact}): ${v.help}\n    ${v.nodes.map((n) => n.target.join(" ")).join("\n    ")}`);
}

// A folder of its own under the system's temporary folder, removed by the
// returned function.
export function temporaryFolder(prefix) {
  const dir = mkdtempSync(path.join(tmpdir(), prefix));
  return { dir, remove: () => rmSync(dir, { recursive: true, force: true }) };
}
