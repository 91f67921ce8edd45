// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the browser tests, the benchmark and the screenshots share: the site
// served on a free loopback port by tools/web/serve.py, Debian's Chromium
// driven by playwright-core (installed from tests/web/package-lock.json into
// the build, never into the source tree), the two layouts, and the page's
// screens found as a user of a screen reader finds them: by role and name.
//
// Where things are comes from the environment (CTest sets it), else from the
// build folder given as CEPOMER_WEB_BUILD (default build-web):
//   CEPOMER_SITE          the assembled site        (<build>/site)
//   CEPOMER_NODE_MODULES  the installed npm packages (<build>/npm/node_modules)
//   CEPOMER_PYTHON        Python 3 to run serve.py  (python3)
//   CHROMIUM              the browser               (/usr/bin/chromium)

import { spawn } from "node:child_process";
import { mkdtempSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import path from "node:path";
import { createInterface } from "node:readline";
import { after, before } from "node:test";
import { fileURLToPath } from "node:url";

export const sourceDir = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");
const build = path.resolve(sourceDir, process.env.CEPOMER_WEB_BUILD ?? "build-web");
export const siteDir = path.resolve(process.env.CEPOMER_SITE ?? path.join(build, "site"));
const nodeModules = path.resolve(process.env.CEPOMER_NODE_MODULES ??
                                 path.join(build, "npm", "node_modules"));
const requireNpm = createRequire(nodeModules + path.sep);
const { chromium } = requireNpm("playwright-core");

export const MENU = "Цепомер";

// The layouts the page promises to serve: a desktop window and an upright phone.
export const LAYOUTS = {
  wide: { viewport: { width: 1280, height: 800 } },
  phone: { viewport: { width: 360, height: 740 }, isMobile: true, hasTouch: true,
           deviceScaleFactor: 2 },
};

// The browser's language gives the decimal separator of results.
export const LOCALES = {
  ru: { locale: "ru-RU", separator: "," },
  en: { locale: "en-US", separator: "." },
};

const CHROMIUM_FLAGS = ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                        "--disable-background-networking", "--disable-component-update",
                        "--disable-sync"];

// A folder served on 127.0.0.1 by tools/web/serve.py, on a port of its choosing.
export async function serve(dir = siteDir) {
  const child = spawn(process.env.CEPOMER_PYTHON ?? "python3",
                      [path.join(sourceDir, "tools/web/serve.py"), dir, "--port", "0", "--quiet"],
                      { stdio: ["ignore", "pipe", "inherit"] });
  const exited = new Promise((resolve) => child.once("exit", resolve));
  const orphaned = () => child.kill(); // a test or script that fails on its way out
  process.once("exit", orphaned);
  const lines = createInterface({ input: child.stdout });
  const first = await Promise.race([
    new Promise((resolve) => lines.once("line", resolve)),
    exited.then((code) => { throw new Error(`serve.py ended (status ${code}) before serving`); }),
  ]);
  const url = new URL(first.trim());
  if (url.hostname !== "127.0.0.1") {
    child.kill();
    throw new Error(`serve.py serves on ${url.hostname}, not on the loopback address alone`);
  }
  return {
    url: url.href,
    async close() {
      process.off("exit", orphaned);
      child.kill("SIGINT");
      await exited;
    },
  };
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

// For the test file that calls it: one server of the site and one browser,
// shared by its tests (the fields "server" and "browser" of what it returns).
export function sharedBrowser() {
  const shared = {};
  before(async () => {
    shared.server = await serve();
    shared.browser = await launch();
  });
  after(async () => {
    await shared.browser?.close();
    await shared.server?.close();
  });
  return shared;
}

// The site in a new browser context (its own cache, storage and service
// workers), waited for until the main menu is usable and the engine runs (or,
// with engine: false, the menu alone); prepare(context) runs before the page
// is opened. The page's problems (failed requests, uncaught exceptions,
// console errors) are collected; check() fails on any.
export async function open(browser, address,
                           { layout = "wide", language = "ru", engine = true, prepare } = {}) {
  const context = await browser.newContext({ ...LAYOUTS[layout],
                                             locale: LOCALES[language].locale });
  context.setDefaultTimeout(10_000);
  const page = await context.newPage();
  const problems = [];
  page.on("pageerror", (e) => problems.push(`uncaught: ${e.message}`));
  page.on("console", (m) => m.type() === "error" && problems.push(`console: ${m.text()}`));
  page.on("requestfailed", (r) => problems.push(`failed: ${r.url()} ${r.failure()?.errorText}`));
  page.on("response", (r) => r.status() >= 400 && problems.push(`${r.status()}: ${r.url()}`));
  const app = new App(page, context, layout, language, problems);
  await prepare?.(context);
  await page.goto(address);
  await app.ready({ engine });
  return app;
}

export class App {
  constructor(page, context, layout, language, problems) {
    Object.assign(this, { page, context, layout, language, problems });
    this.separator = LOCALES[language].separator;
  }

  async ready({ engine = true } = {}) {
    try {
      await this.page.waitForFunction((engine) => {
        const { ready, started } = document.documentElement.dataset;
        return ready === "1" && (!engine || started === "1");
      }, engine);
    } catch (e) {
      e.message += `\n  the main menu never became usable; the page's problems:\n  ` +
                   this.problems.join("\n  ");
      throw e;
    }
    await this.screen(MENU);
  }

  check() {
    if (this.problems.length > 0) {
      throw new Error(`the page had problems:\n  ${this.problems.join("\n  ")}`);
    }
  }

  async close() {
    await this.context.close();
  }

  // The shown windows' captions.
  shown() {
    return this.page.locator("section.window:not([hidden])").evaluateAll(
      (sections) => sections.filter((s) => s.checkVisibility())
        .map((s) => s.querySelector("h2")?.textContent));
  }

  // The screen of that caption once it is the one window shown.
  async screen(caption) {
    await until(`"${caption}" shown alone`, async () => {
      const shown = await this.shown();
      return shown.length === 1 && shown[0] === caption;
    }, async () => `shown: ${JSON.stringify(await this.shown())}`);
    return new Screen(this, caption);
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
    this.window = app.page.getByRole("dialog", { name: caption, exact: true });
  }

  field(name) {
    return this.window.getByRole("textbox", { name, exact: true });
  }

  button(name) {
    return this.window.getByRole("button", { name, exact: true });
  }

  async read(name) {
    return this.field(name).inputValue();
  }

  // Typing is what a user can do only into an enabled field.
  async type(name, text) {
    const field = this.field(name);
    if (await field.isDisabled()) {
      throw new Error(`"${name}" on "${this.caption}" is disabled: nothing can be typed there`);
    }
    await field.fill(text);
  }

  // A click with the mouse on a wide screen, a tap on a phone.
  async press(name) {
    const button = this.button(name);
    if (await button.isDisabled()) {
      throw new Error(`"${name}" on "${this.caption}" is disabled: it cannot be pressed`);
    }
    await (this.app.layout === "phone" ? button.tap() : button.click());
  }

  // The one field or button of that name.
  async control(name) {
    const field = this.field(name);
    return (await field.count()) === 1 ? field : this.button(name);
  }

  async expectDisabled(...names) {
    for (const name of names) {
      if (!(await (await this.control(name)).isDisabled())) {
        throw new Error(`"${name}" on "${this.caption}" is enabled; it should not be`);
      }
    }
  }

  async expectEnabled(...names) {
    for (const name of names) {
      if (await (await this.control(name)).isDisabled()) {
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
    const got = async () => Object.fromEntries(await Promise.all(
      Object.keys(expected).map(async (name) => [name, await this.read(name)])));
    await until(`the results of "${button}" on "${this.caption}"`, async () =>
      JSON.stringify(await got()) === JSON.stringify(expected),
    async () => `expected ${JSON.stringify(expected)}\n  got      ${JSON.stringify(await got())}`);
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
export async function until(what, check, seen = async () => "", timeout = 5_000) {
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

// axe-core's checks of WCAG 2.1 A and AA on what the page shows now.
export async function axeViolations(page) {
  if (!(await page.evaluate(() => "axe" in window))) {
    await page.addScriptTag({ path: requireNpm.resolve("axe-core/axe.min.js") });
  }
  const result = await page.evaluate(() => window.axe.run(document, {
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
