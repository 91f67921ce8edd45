// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The README's pictures of the web app, in Russian, each with a worked example:
//
//   node tests/web/screenshots.mjs [BUILD]
//
// docs/screenshots/web-wide.png: 1280x800, the Ohm-law calculator;
// docs/screenshots/web-phone.png: 360x740 CSS pixels, an upright phone, the
// reactance calculator; web-wide-dark.png and web-phone-dark.png: the same in
// the dark scheme. BUILD is the WebAssembly build folder (build-web).

import path from "node:path";

if (process.argv.length > 3) {
  console.error("usage: node tests/web/screenshots.mjs [BUILD]");
  process.exit(2);
}
process.env.CEPOMER_WEB_BUILD ??= path.resolve(process.argv[2] ?? "build-web");
const { MENU, launch, open, serve, sourceDir } = await import("./harness.mjs");
const { ohmLaw, reactance } = await import("./calculators.mjs");

const PICTURES = [
  ["wide", ohmLaw, "light", "web-wide.png"],
  ["phone", reactance, "light", "web-phone.png"],
  ["wide", ohmLaw, "dark", "web-wide-dark.png"],
  ["phone", reactance, "dark", "web-phone-dark.png"],
];

const server = await serve();
const browser = await launch();
try {
  for (const [layout, example, colorScheme, name] of PICTURES) {
    const app = await open(browser, server.url, { layout });
    await app.page.emulateMedia({ colorScheme });
    await example(await app.screen(MENU), { stay: true });
    // The picture shows the page, not where the test's keyboard and pointer were.
    await app.page.evaluate(() => document.activeElement?.blur());
    if (layout === "phone") {
      await app.page.touchscreen.tap(2, 2); // on the desk, above the window
    } else {
      await app.page.mouse.move(0, 0);
    }
    const file = path.join(sourceDir, "docs/screenshots", name);
    await app.page.screenshot({ path: file, scale: "css", animations: "disabled" });
    app.check();
    await app.close();
    console.log(file);
  }
} finally {
  await browser.close();
  await server.close();
}
