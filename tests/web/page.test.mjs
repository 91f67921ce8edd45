// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the page adds to the engine, in each browser engine: the keyboard, the
// run-time error dialog, the browser's language, Back, the end of the program
// and a new start, the user's work kept through a reload (and never a kept
// state that is not the last work), and working offline
// from the service worker's cache. Then what only Chromium can be asked: a
// calculator opened before the engine runs and what is done in it held until
// then, no storage at all, and installability.

import assert from "node:assert/strict";
import { describe, test } from "node:test";

import { crossSection } from "./calculators.mjs";
import { ENGINES } from "./engines.mjs";
import { ENDED, LOCALES, MENU, launchWithProfile, open, openCalculator, serve, sharedBrowser,
         until } from "./harness.mjs";

const shared = sharedBrowser();

// Presses Tab until the control of that id has the focus.
async function tabTo(app, id) {
  const seen = [];
  for (let i = 0; i < 40; ++i) {
    const now = await app.focused();
    if (now === id) {
      return;
    }
    seen.push(now);
    await app.tab.key("Tab");
  }
  throw new Error(`Tab never reached ${id}; it went ${seen.join(" ")}`);
}

for (const engine of ENGINES) {
  describe(engine, () => {
    const site = async (options) => open(await shared.engine(engine), shared.server.url, options);

    test("the keyboard alone: Tab, Space and Enter through a calculator and back", async () => {
      const app = await site();
      const { tab } = app;
      await tabTo(app, "frmCepomer-cmdXlc");
      await tab.key("Enter");
      const s = await app.screen("расчёт реактивных сопротивлений");
      await tabTo(app, "frmX-cmdXl");
      await tab.key("Space");
      await until('"L,Гн" enabled', async () => !(await (await s.field("L,Гн")).disabled()));
      await tabTo(app, "frmX-txtL");
      await tab.typeText("0.1");
      await tabTo(app, "frmX-txtF");
      await tab.typeText("50");
      await tabTo(app, "frmX-cmdRun");
      await tab.key("Enter");
      await s.expectValues({ X: "31,4000004678965" });
      await tabTo(app, "frmX-cmdGp");
      await tab.key("Space");
      await app.screen(MENU);
      // Back where the user left the menu.
      assert.equal(await app.focused(), "frmCepomer-cmdXlc");
      await app.check();
      await app.close();
    });

    test("a run-time error: a modal alert with the focus on OK; Escape or OK closes it and the focus goes back",
         async () => {
      const app = await site();
      const { tab } = app;
      const caption = "расчёт реактивных сопротивлений";
      const s = await openCalculator(await app.screen(MENU), "реактивные сопротивления", caption);
      for (const close of ["Escape", "Enter"]) {
        await (await s.button("расчёт")).focus();
        await tab.key("Enter");
        const dialog = await app.element("alertdialog", caption);
        assert.match(await dialog.text(), /Ошибка выполнения 11: Деление на ноль/);
        assert.deepEqual(await tab.evaluate(() => {
          const active = document.activeElement;
          return [active.textContent.trim(), active.closest("dialog")?.id,
                  document.getElementById("error").matches(":modal")];
        }), ["OK", "error", true]); // modal: the window behind it takes no clicks
        await tab.key(close);
        await until("the alert closed", async () => !(await tab.find("alertdialog", caption)));
        assert.equal(await app.focused(), "frmX-cmdRun", `focus after ${close}`);
      }
      // The program goes on.
      await s.choose("Xl", { enables: ["L,Гн"] });
      await app.check();
      await app.close();
    });

    test("English: results with a point, and a comma typed reads as one", async () => {
      const app = await open(await shared.engine(engine, { language: "en" }), shared.server.url,
                             { language: "en" });
      const s = await openCalculator(await app.screen(MENU), "сечение провода по его диаметру",
                                     "сечение");
      await s.type("диаметр провода d,мм", "2,5");
      await s.calculate({ "сечение провода, S,мм": "4.90875" });
      await s.toMenu();
      await crossSection(await app.screen(MENU));
      await app.check();
      await app.close();
    });

    test("Back closes the shown calculator and never leaves the page with one open", async () => {
      const app = await site();
      const { tab } = app;
      const address = await tab.url();
      let menu = await app.screen(MENU);

      let s = await openCalculator(menu, "сечение провода по его диаметру", "сечение");
      await s.type("диаметр провода d,мм", "2");
      await tab.back();
      menu = await app.screen(MENU);
      assert.equal(await tab.url(), address);

      // Closed by its close box, then another one: Back closes that one and
      // brings back neither.
      s = await openCalculator(menu, "полное сопротивление цепи", "полное сопротивление цепи");
      await s.closeBox();
      menu = await app.screen(MENU);
      s = await openCalculator(menu, "расчёт I,U,R,P", "расчёт I,U,R,P");
      await tab.back();
      menu = await app.screen(MENU);
      assert.equal(await tab.url(), address);

      // "главное меню" then Back: the menu stays, or the page is left.
      s = await openCalculator(menu, "ток плавления проводов", "токи плавления проводов");
      await s.toMenu();
      await tab.back();
      if ((await tab.url()) === address) {
        assert.deepEqual(await app.shown(), [MENU]);
      }
      await app.check();
      await app.close();
    });

    test("выход ends the program, said so by name; Начать заново starts it on the main menu",
         async () => {
      const app = await site({ layout: "phone" });
      const { tab } = app;
      // The main menu the page is built with, as the engine draws it at a new
      // start (but for what the page needs before the engine runs).
      const drawn = () => tab.evaluate(() => {
        const copy = document.querySelector("section.window").cloneNode(true);
        for (const name of ["autofocus", "data-opens", "data-opens-focus"])
          copy.querySelectorAll(`[${name}]`).forEach((e) => e.removeAttribute(name));
        return copy.outerHTML;
      });
      const built = await drawn();
      const s = await openCalculator(await app.screen(MENU), "ток плавления проводов",
                                     "токи плавления проводов");
      await s.press("выход");
      // Nothing that is not a window bears a window's caption.
      await app.element("region", ENDED);
      assert.deepEqual(await app.shown(), []);
      assert.equal(await tab.find("region", MENU), null);
      await (await app.element("button", "Начать заново", { role: "region", name: ENDED }))
        .click();
      await app.screen(MENU);
      assert.equal(await drawn(), built);
      await crossSection(await app.screen(MENU));
      assert.equal(await tab.find("region", ENDED), null);
      await app.check();
      await app.close();
    });

    test("the work kept through a reload: screens, texts, choices, the focus; an open error closed",
         async () => {
      const app = await site();
      const { tab } = app;
      const title = "расчёт I,U,R,P";
      let s = await openCalculator(await app.screen(MENU), title, title);
      await s.choose("I", { enables: ["U,R"] });
      await s.choose("U,R", { enables: ["ввод значений: U,В", "ввод значений: R,Ом"] });
      await s.type("ввод значений: U,В", "10");
      await (await s.field("ввод значений: R,Ом")).focus();
      await tab.reload();
      await app.ready({ restored: true });
      s = await app.screen(title);
      // The choices live on in what is enabled, and the next click computes
      // with them.
      await s.expectDisabled("U", "R", "P", "P,R", "P,U", "ввод значений: I,A");
      await s.expectValues({ "ввод значений: U,В": "10", "ввод значений: R,Ом": "" });
      assert.equal(await app.focused(), "frmIURP-txtR");
      await s.type("ввод значений: R,Ом", "3");
      await s.calculate({ "результат: I,A": "3.333333", "результат: U,В": "10" });

      // A reload with the error dialog open comes back without it.
      const caption = "расчёт реактивных сопротивлений";
      s = await openCalculator(await s.toMenu(), "реактивные сопротивления", caption);
      await s.type("F,Гц", "50");
      await s.press("расчёт");
      await app.element("alertdialog", caption);
      await tab.reload();
      await app.ready({ restored: true });
      s = await app.screen(caption);
      assert.equal(await tab.find("alertdialog", caption), null);
      await s.expectValues({ "F,Гц": "50", X: "" });
      // Back still closes the calculator after the reload.
      await tab.back();
      await app.screen(MENU);

      // The ended program starts afresh.
      s = await openCalculator(await app.screen(MENU), "реактивные сопротивления", caption);
      await s.press("выход");
      await app.element("region", ENDED);
      await tab.reload();
      await app.ready();
      await app.check();
      await app.close();
    });

    test("a kept state cut short, of other tables or impossible, or one storage refused: a fresh start",
         async () => {
      const app = await site();
      const { tab } = app;
      const keep = (state) => tab.evaluate((s) => sessionStorage.setItem("cepomer-state", s),
                                           state);
      const spoilt = {
        "cut short": (kept) => keep(kept.slice(0, -4)),
        "of other tables": (kept) => keep(kept.replace(/^(\S+ \S+ )\w+/,
                                                       (_, head) => head + "0".repeat(16))),
        "with every window shown": (kept) => keep(kept.replace(/^(screen \S+) 0$/gm, "$1 1")),
        "refused by a full storage": async (kept, s) => {
          await tab.evaluate(() => {
            Storage.prototype.setItem = () => {
              throw new DOMException("full", "QuotaExceededError");
            };
          });
          await s.type("диаметр провода d,мм", "3");
        },
      };
      const reopen = async () => openCalculator(await app.screen(MENU),
                                                "сечение провода по его диаметру",
                                                "сечение");
      let s = await reopen();
      for (const [what, spoil] of Object.entries(spoilt)) {
        await s.type("диаметр провода d,мм", "2");
        await spoil(await tab.evaluate(() => sessionStorage.getItem("cepomer-state")), s);
        await tab.reload();
        await app.ready();
        assert.deepEqual(await app.shown(), [MENU], what); // never the older work
        s = await reopen();
        await s.expectValues({ "диаметр провода d,мм": "" }, what);
      }
      await app.check();
      await app.close();
    });

    test("offline after one visit, from the service worker's cache", async () => {
      const own = await serve(); // a server of its own, to stop
      let app;
      try {
        app = await open(await shared.engine(engine), own.url);
        await app.tab.waitFor("the service worker in control",
                              () => navigator.serviceWorker.controller !== null);
      } finally {
        await own.close();
      }
      await app.tab.reload();
      await app.ready();
      await crossSection(await app.screen(MENU));
      await app.check();
      await app.close();
    });
  });
}

describe("chromium alone", { skip: !ENGINES.includes("chromium") }, () => {
  test("the main menu is there before the engine: a calculator opens at once, what is done in it " +
       "waits for the engine", async () => {
    let arrive;
    const arrived = new Promise((resolve) => { arrive = resolve; });
    const app = await open(shared.browser, shared.server.url, {
      engine: false,
      prepare: (context) => context.route("**/cepomer*.wasm", async (route) => {
        await arrived;
        await route.continue();
      }),
    });
    const { page } = app;
    const entries = () => page.evaluate(() => history.length);
    const before = await entries();
    const s = await openCalculator(await app.screen(MENU), "сечение провода по его диаметру",
                                   "сечение");
    assert.equal(await app.focused(), "frmS-txtD");
    await s.type("диаметр провода d,мм", "2.5");
    await s.press("расчёт");
    await page.getByRole("status").filter({ hasText: "Загрузка…" }).waitFor();
    assert.equal(await page.evaluate(() => document.documentElement.dataset.started), undefined);
    arrive();
    await s.expectValues({ "сечение провода, S,мм": app.number("4.90875") });
    await s.toMenu();
    // One history entry for the calculator, the page's taken over by the engine.
    assert.equal(await entries(), before + 1);
    await app.check();
    await app.close();
  });

  test("no storage to keep the work in: the page works as before and says nothing", async () => {
    const app = await open(shared.browser, shared.server.url, {
      prepare: (context) => context.addInitScript(() => {
        Object.defineProperty(window, "sessionStorage", {
          get() { throw new DOMException("no storage", "SecurityError"); } });
      }),
    });
    await crossSection(await app.screen(MENU));
    await app.tab.reload();
    await app.ready();
    await app.check();
    await app.close();
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
});
