// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every screen in both layouts, in Russian: each calculator's worked example,
// then every screen, the run-time error dialog and the ended state checked by
// axe-core (WCAG 2.1 A and AA) and against the layout's promises.

import assert from "node:assert/strict";
import { describe, test } from "node:test";

import { CALCULATORS } from "./calculators.mjs";
import { layoutProblems, viewportProblems } from "./checks.mjs";
import { LAYOUTS, MENU, axeViolations, open, openCalculator, sharedBrowser } from "./harness.mjs";

// The main menu's buttons and the captions of the screens they open.
const SCREENS = [
  ["расчёт I,U,R,P", "расчёт I,U,R,P"],
  ["реактивные сопротивления", "расчёт реактивных сопротивлений"],
  ["полное сопротивление цепи", "полное сопротивление цепи"],
  ["ток плавления проводов", "токи плавления проводов"],
  ["сечение провода по его диаметру", "сечение"],
];

const shared = sharedBrowser();

for (const layout of Object.keys(LAYOUTS)) {
  describe(`${layout} layout`, () => {
    test("each calculator's worked example", async () => {
      const app = await open(shared.browser, shared.server.url, { layout });
      let menu = await app.screen(MENU);
      for (const step of Object.values(CALCULATORS)) {
        menu = await step(menu);
      }
      app.check();
      await app.close();
    });

    test("every screen, the error dialog and the ended state: accessible and laid out",
         async () => {
      const app = await open(shared.browser, shared.server.url, { layout });
      const { page } = app;
      const problems = [];
      const look = async (where) => {
        for (const p of [...await layoutProblems(page, layout), ...await axeViolations(page)]) {
          problems.push(`${where}: ${p}`);
        }
      };
      if (layout === "phone") {
        problems.push(...await viewportProblems(page));
      }

      let menu = await app.screen(MENU);
      assert.equal(await page.title(), MENU);
      await look(MENU);
      for (const [button, caption] of SCREENS) {
        const screen = await openCalculator(menu, button, caption);
        assert.equal(await page.title(), caption);
        await look(caption);
        if (caption === "расчёт реактивных сопротивлений") {
          // Before any choice X is computed with the empty C: division by zero.
          await screen.press("расчёт");
          await page.getByRole("alertdialog").waitFor();
          await look(`${caption}, run-time error`);
          await page.keyboard.press("Escape");
          await page.getByRole("alertdialog").waitFor({ state: "hidden" });
        }
        // The close box does what "главное меню" does.
        await screen.window.getByRole("button", { name: "Закрыть", exact: true }).click();
        menu = await app.screen(MENU);
      }

      // The main menu's close box ends the program.
      await menu.window.getByRole("button", { name: "Закрыть", exact: true }).click();
      await page.locator("#ended").waitFor();
      await look("ended");

      assert.deepEqual(problems, []);
      app.check();
      await app.close();
    });
  });
}
