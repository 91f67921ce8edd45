// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every screen in both layouts, in Russian, in each browser engine: each
// calculator's worked example, then every screen, the run-time error dialog
// and the ended state checked by axe-core (WCAG 2.1 A and AA) and against the
// layout's promises, in the light and the dark colour scheme, and in Windows'
// high contrast.

import assert from "node:assert/strict";
import { describe, test } from "node:test";

import { CALCULATORS } from "./calculators.mjs";
import { forcedColorsProblems, layoutProblems, viewportProblems } from "./checks.mjs";
import { ENGINES } from "./engines.mjs";
import { ENDED, LAYOUTS, MENU, axeViolations, open, openCalculator, sharedBrowser,
         until } from "./harness.mjs";

// The main menu's buttons and the captions of the screens they open.
const SCREENS = [
  ["расчёт I,U,R,P", "расчёт I,U,R,P"],
  ["реактивные сопротивления", "расчёт реактивных сопротивлений"],
  ["полное сопротивление цепи", "полное сопротивление цепи"],
  ["ток плавления проводов", "токи плавления проводов"],
  ["сечение провода по его диаметру", "сечение"],
];

const shared = sharedBrowser();

for (const engine of ENGINES) {
  describe(engine, () => {
    for (const layout of Object.keys(LAYOUTS)) {
      test(`${layout}: each calculator's worked example`, async () => {
        const app = await open(await shared.engine(engine), shared.server.url, { layout });
        let menu = await app.screen(MENU);
        for (const step of Object.values(CALCULATORS)) {
          menu = await step(menu);
        }
        await app.check();
        await app.close();
      });

      // Windows' high contrast, where the engine has it: once, wide.
      const forced = engine !== "webkit" && layout === "wide" ? ["high contrast"] : [];
      for (const scheme of ["light", "dark", ...forced]) {
        test(`${layout}, ${scheme}: every screen, the error dialog and the ended state accessible and laid out`,
             async () => {
          const options = scheme === "high contrast" ? { forcedColors: true } : { scheme };
          const app = await open(await shared.engine(engine, options), shared.server.url,
                                 { layout });
          await everyScreen(app, layout, async (tab) => {
            if (options.forcedColors) {
              return forcedColorsProblems(tab);
            }
            const dark = await tab.evaluate(() => matchMedia("(prefers-color-scheme: dark)").matches);
            return dark === (scheme === "dark") ? [] : [`the page does not see the ${scheme} scheme`];
          });
          await app.close();
        });
      }
    }
  });
}

// Every screen, the error dialog and the ended state, as a user reaches them:
// axe-core's checks, the layout's promises and more(tab) on each.
async function everyScreen(app, layout, more) {
  const { tab } = app;
  const problems = [];
  const look = async (where) => {
    for (const p of [...await layoutProblems(tab, layout), ...await axeViolations(tab),
                     ...await more(tab)]) {
      problems.push(`${where}: ${p}`);
    }
  };
  if (layout === "phone") {
    problems.push(...await viewportProblems(tab));
  }
  const title = () => tab.evaluate(() => document.title);

  let menu = await app.screen(MENU);
  assert.equal(await title(), MENU);
  await look(MENU);
  for (const [button, caption] of SCREENS) {
    const screen = await openCalculator(menu, button, caption);
    assert.equal(await title(), caption);
    await look(caption);
    if (caption === "расчёт реактивных сопротивлений") {
      // Before any choice X is computed with the empty C: division by zero.
      await screen.press("расчёт");
      await app.element("alertdialog", caption);
      await look(`${caption}, run-time error`);
      await tab.key("Escape");
      await until("the alert closed", async () => !(await tab.find("alertdialog", caption)));
    }
    // The close box does what "главное меню" does.
    await screen.closeBox();
    menu = await app.screen(MENU);
  }

  // The main menu's close box ends the program.
  await menu.closeBox();
  await app.element("region", ENDED);
  await look("ended");

  assert.deepEqual(problems, []);
  await app.check();
}
