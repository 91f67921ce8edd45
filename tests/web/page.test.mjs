// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the page adds to the engine: the keyboard, the run-time error dialog,
// the browser's language, Back, the end of the program and a new start, and
// working offline from the service worker's cache, replaced by a new version.

import assert from "node:assert/strict";
import { cpSync, readFileSync, utimesSync, writeFileSync } from "node:fs";
import path from "node:path";
import { test } from "node:test";

import { crossSection } from "./calculators.mjs";
import { LOCALES, MENU, launchWithProfile, open, openCalculator, serve, sharedBrowser, siteDir,
         temporaryFolder, until } from "./harness.mjs";

const shared = sharedBrowser();

const focused = (page) => page.evaluate(() => document.activeElement?.id ?? "");

// Presses Tab until the control of that id has the focus.
async function tabTo(page, id) {
  const seen = [];
  for (let i = 0; i < 40; ++i) {
    const now = await focused(page);
    if (now === id) {
      return;
    }
    seen.push(now);
    await page.keyboard.press("Tab");
  }
  throw new Error(`Tab never reached ${id}; it went ${seen.join(" ")}`);
}

test("the keyboard alone: Tab, Space and Enter through a calculator and back", async () => {
  const app = await open(shared.browser, shared.server.url);
  const { page } = app;
  await tabTo(page, "frmCepomer-cmdXlc");
  await page.keyboard.press("Enter");
  const s = await app.screen("расчёт реактивных сопротивлений");
  await tabTo(page, "frmX-cmdXl");
  await page.keyboard.press("Space");
  await until('"L,Гн" enabled', async () => !(await s.field("L,Гн").isDisabled()));
  await tabTo(page, "frmX-txtL");
  await page.keyboard.type("0.1");
  await tabTo(page, "frmX-txtF");
  await page.keyboard.type("50");
  await tabTo(page, "frmX-cmdRun");
  await page.keyboard.press("Enter");
  await until("X", async () => (await s.read("X")) === "31,4000004678965",
              async () => `X reads "${await s.read("X")}"`);
  await tabTo(page, "frmX-cmdGp");
  await page.keyboard.press("Space");
  await app.screen(MENU);
  // Back where the user left the menu.
  assert.equal(await focused(page), "frmCepomer-cmdXlc");
  app.check();
  await app.close();
});

test("a run-time error: a modal alert with the focus on OK; Escape or OK closes it and the focus goes back",
     async () => {
  const app = await open(shared.browser, shared.server.url);
  const { page } = app;
  const menu = await app.screen(MENU);
  const s = await openCalculator(menu, "реактивные сопротивления",
                                 "расчёт реактивных сопротивлений");
  const dialog = page.getByRole("alertdialog", { name: "расчёт реактивных сопротивлений",
                                                 exact: true });
  for (const close of ["Escape", "Enter"]) {
    await s.button("расчёт").focus();
    await page.keyboard.press("Enter");
    await dialog.waitFor();
    assert.match(await dialog.innerText(), /Ошибка выполнения 11: Деление на ноль/);
    assert.equal(await page.evaluate(() => document.activeElement.textContent.trim()), "OK");
    assert.equal(await page.evaluate(() => document.activeElement.closest("dialog")?.id), "error");
    // Modal: the window behind it takes no clicks.
    assert.equal(await page.evaluate(() => document.getElementById("error").matches(":modal")),
                 true);
    await page.keyboard.press(close);
    await dialog.waitFor({ state: "hidden" });
    assert.equal(await focused(page), "frmX-cmdRun", `focus after ${close}`);
  }
  // The program goes on.
  await s.choose("Xl", { enables: ["L,Гн"] });
  app.check();
  await app.close();
});

test("English: results with a point, and a comma typed reads as one", async () => {
  const app = await open(shared.browser, shared.server.url, { language: "en" });
  const menu = await app.screen(MENU);
  const s = await openCalculator(menu, "сечение провода по его диаметру", "сечение");
  await s.type("диаметр провода d,мм", "2,5");
  await s.calculate({ "сечение провода, S,мм": "4.90875" });
  await s.toMenu();
  await crossSection(await app.screen(MENU));
  app.check();
  await app.close();
});

test("Back closes the shown calculator and never leaves the page with one open", async () => {
  const app = await open(shared.browser, shared.server.url);
  const { page } = app;
  const address = page.url();
  let menu = await app.screen(MENU);

  let s = await openCalculator(menu, "сечение провода по его диаметру", "сечение");
  await s.type("диаметр провода d,мм", "2");
  await page.goBack();
  menu = await app.screen(MENU);
  assert.equal(page.url(), address);

  // Closed by its close box, then another one: Back closes that one and
  // brings back neither.
  s = await openCalculator(menu, "полное сопротивление цепи", "полное сопротивление цепи");
  await s.window.getByRole("button", { name: "Закрыть", exact: true }).click();
  menu = await app.screen(MENU);
  s = await openCalculator(menu, "расчёт I,U,R,P", "расчёт I,U,R,P");
  await page.goBack();
  menu = await app.screen(MENU);
  assert.equal(page.url(), address);

  // "главное меню" then Back: the menu stays, or the page is left.
  s = await openCalculator(menu, "ток плавления проводов", "токи плавления проводов");
  await s.toMenu();
  await page.goBack();
  if (page.url() === address) {
    assert.deepEqual(await app.shown(), [MENU]);
  }
  app.check();
  await app.close();
});

test("выход ends the program from a calculator; Начать заново starts it on the main menu",
     async () => {
  const app = await open(shared.browser, shared.server.url, { layout: "phone" });
  const { page } = app;
  // The main menu the page is built with, as the engine draws it at a new start.
  const drawn = () => page.locator("section.window").first().evaluate((section) => {
    const copy = section.cloneNode(true);
    copy.querySelectorAll("[autofocus]").forEach((e) => e.removeAttribute("autofocus"));
    return copy.outerHTML;
  });
  const built = await drawn();
  const menu = await app.screen(MENU);
  const s = await openCalculator(menu, "ток плавления проводов", "токи плавления проводов");
  await s.press("выход");
  const ended = page.locator("#ended");
  await ended.waitFor();
  assert.deepEqual(await app.shown(), []);
  assert.ok((await ended.innerText()).trim().length > 0);
  await ended.getByRole("button", { name: "Начать заново", exact: true }).tap();
  await app.screen(MENU);
  assert.equal(await drawn(), built);
  await crossSection(await app.screen(MENU));
  assert.equal(await ended.isVisible(), false);
  app.check();
  await app.close();
});

test("the main menu is there before the engine: a click on it waits for the engine, then opens",
     async () => {
  let arrive;
  const arrived = new Promise((resolve) => { arrive = resolve; });
  const app = await open(shared.browser, shared.server.url, {
    engine: false,
    prepare: (context) => context.route("**/cepomer.wasm", async (route) => {
      await arrived;
      await route.continue();
    }),
  });
  const { page } = app;
  const menu = await app.screen(MENU);
  await menu.button("расчёт I,U,R,P").click();
  await page.getByRole("status").filter({ hasText: "Загрузка…" }).waitFor();
  assert.equal(await page.evaluate(() => document.documentElement.dataset.started), undefined);
  arrive();
  await app.screen("расчёт I,U,R,P");
  app.check();
  await app.close();
});

test("offline from the service worker's cache; a new version replaces it on the next visit",
     async () => {
  // A copy of the site, to publish a new version of.
  const copy = temporaryFolder("cepomer-site-");
  cpSync(siteDir, copy.dir, { recursive: true });
  const own = await serve(copy.dir);
  try {
    const app = await open(shared.browser, own.url);
    const { page, context } = app;
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    const caches = () => page.evaluate(() => caches.keys());
    const [first] = await caches();

    await context.setOffline(true);
    await page.reload();
    await app.ready();
    await crossSection(await app.screen(MENU));
    await context.setOffline(false);

    // The new version: another page, and a worker with another cache name.
    const index = path.join(copy.dir, "index.html");
    writeFileSync(index, readFileSync(index, "utf8")
      .replace("</head>", '<meta name="cepomer-version" content="new">\n</head>'));
    const later = new Date(Date.now() + 10_000);
    utimesSync(index, later, later); // newer than what the browser holds
    const worker = path.join(copy.dir, "sw.js");
    const hash = first.slice(first.lastIndexOf("-") + 1);
    assert.ok(readFileSync(worker, "utf8").includes(hash), `${first} is named by sw.js`);
    writeFileSync(worker, readFileSync(worker, "utf8").replaceAll(hash, `${hash}new`));

    await page.reload(); // finds the new worker, which takes over
    await app.ready();
    await until("the old cache gone and the new one alone", async () =>
      JSON.stringify(await caches()) === JSON.stringify([`${first}new`]),
    async () => `caches: ${JSON.stringify(await caches())}`);
    await context.setOffline(true);
    await page.reload();
    await app.ready();
    assert.equal(await page.locator('meta[name="cepomer-version"]').getAttribute("content"),
                 "new");
    await crossSection(await app.screen(MENU));
    app.check();
    await app.close();
  } finally {
    await own.close();
    copy.remove();
  }
});

test("installable: Chromium finds the manifest, icons and service worker an app needs",
     async () => {
  const browser = await launchWithProfile({ locale: LOCALES.ru.locale });
  try {
    const page = browser.context.pages()[0] ?? await browser.context.newPage();
    await page.goto(shared.server.url);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    const cdp = await browser.context.newCDPSession(page);
    const manifest = await cdp.send("Page.getAppManifest");
    assert.deepEqual(manifest.errors, []);
    assert.deepEqual((await cdp.send("Page.getInstallabilityErrors")).installabilityErrors, []);
  } finally {
    await browser.close();
  }
});
