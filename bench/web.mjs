// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The web app's weight and start-up, printed as Markdown tables:
//
//   node bench/web.mjs [BUILD] [--loads N]
//
// BUILD is the WebAssembly build folder (default build-web), holding site/
// and npm/node_modules/ (its browser tests' packages).
//
// Size: every file a first visit downloads (what the service worker stores,
// the worker itself, and whatever else the page loads), raw and compressed
// by gzip -9 as a web server would send it. Goal: at most 250 000 bytes gzip.
//
// Start-up: the time from navigation to a usable main menu (the page sets
// data-ready on its root), in Debian's headless Chromium, each load in a new
// browser context (nothing cached, no service worker), the median of N (20)
// loads; compared with a page of one button (bench/web/blank.html) loaded the
// same way, in turn with it, in the same run. Goal: at most twice as long.
// Beside it, the time until the engine runs (data-started): a click on the
// menu before then is held, and carried out then.

import { execFileSync } from "node:child_process";
import { readFileSync, statSync } from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";

const args = process.argv.slice(2);
let loads = 20;
const loadsAt = args.indexOf("--loads");
if (loadsAt >= 0) {
  loads = Number(args.splice(loadsAt, 2)[1]);
}
if (!Number.isInteger(loads) || loads < 1 || args.length > 1) {
  console.error("usage: node bench/web.mjs [BUILD] [--loads N]");
  process.exit(2);
}
process.env.CEPOMER_WEB_BUILD ??= path.resolve(args[0] ?? "build-web");
const here = path.dirname(fileURLToPath(import.meta.url));
const { launch, serve, siteDir } = await import("../tests/web/harness.mjs");

const BYTES_GOAL = 250_000;
const RATIO_GOAL = 2;

const gzipped = (file) => execFileSync("gzip", ["-9", "-n", "-c", file],
                                       { maxBuffer: 1 << 28 }).length;

// The time from navigation to data-ready on the root (and, where `engine`, to
// data-started), by the page's own clock (which starts at navigation), seen
// by an observer set up before any of the page's scripts run.
async function loadTime(browser, url, { seen, engine = false } = {}) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 },
                                             locale: "ru-RU" });
  await context.addInitScript(() => {
    const at = (window.cepomerAt = {});
    new MutationObserver(() => {
      for (const mark of ["ready", "started"]) {
        if (document.documentElement?.dataset[mark] === "1") {
          at[mark] ??= performance.now();
        }
      }
    }).observe(document, { subtree: true, attributes: true,
                           attributeFilter: ["data-ready", "data-started"] });
  });
  const page = await context.newPage();
  page.on("request", (request) => seen?.add(request.url()));
  await page.goto(url);
  await page.waitForFunction((engine) => window.cepomerAt.ready && (!engine || window.cepomerAt.started),
                             engine, { timeout: 30_000 });
  // Where the time went: the page itself, the menu usable, the module
  // fetched, the engine running.
  const times = await page.evaluate(() => {
    const [navigation] = performance.getEntriesByType("navigation");
    const wasm = performance.getEntriesByType("resource").find((r) => r.name.endsWith(".wasm"));
    return { ready: window.cepomerAt.ready, html: navigation.responseEnd,
             wasm: wasm?.responseEnd, started: window.cepomerAt.started };
  });
  await context.close();
  return times;
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

const site = await serve(siteDir);
// The blank page served as the site is, under its headers and policy.
const blank = await serve(path.join(here, "web"),
                          { conf: path.join(path.dirname(siteDir), "nginx.conf") });
const browser = await launch();
const requested = new Set();
const times = { site: [], blank: [] };
const steps = [];
try {
  await loadTime(browser, blank.url + "blank.html"); // the browser's own start-up, not counted
  for (let i = 0; i < loads; ++i) {
    steps.push(await loadTime(browser, site.url, { seen: requested, engine: true }));
    times.site.push(steps.at(-1).ready);
    times.blank.push((await loadTime(browser, blank.url + "blank.html")).ready);
  }
} finally {
  await browser.close();
  await site.close();
  await blank.close();
}

// What a first visit downloads: the worker, what it stores, what the page loads.
const worker = readFileSync(path.join(siteDir, "sw.js"), "utf8");
const stored = JSON.parse(worker.match(/const FILES = (\[[^\]]*\]);/)[1]);
const files = new Set(["sw.js", ...stored]);
for (const url of requested) {
  const relative = decodeURIComponent(new URL(url).pathname).replace(/^\//, "");
  files.add(relative === "" ? "index.html" : relative);
}

const rows = [...files].sort().map((file) => {
  const full = path.join(siteDir, file);
  return { file, raw: statSync(full).size, gzip: gzipped(full) };
});
const total = rows.reduce((sum, r) => ({ raw: sum.raw + r.raw, gzip: sum.gzip + r.gzip }),
                          { raw: 0, gzip: 0 });
const n = (x) => x.toLocaleString("en-US").replaceAll(",", " ");

console.log("| File | Bytes | gzip -9 |");
console.log("| --- | ---: | ---: |");
for (const r of rows) {
  console.log(`| ${r.file} | ${n(r.raw)} | ${n(r.gzip)} |`);
}
console.log(`| **first visit, in all** | **${n(total.raw)}** | **${n(total.gzip)}** |`);
console.log();

const ms = (x) => `${x.toFixed(1)} ms`;
const siteMedian = median(times.site);
const blankMedian = median(times.blank);
const ratio = siteMedian / blankMedian;
console.log(`| Start-up, ${loads} cold loads each | Median | Fastest | Slowest |`);
console.log("| --- | ---: | ---: | ---: |");
for (const [name, values] of [["Cepomer: usable main menu", times.site],
                              ["one button (blank.html)", times.blank]]) {
  console.log(`| ${name} | ${ms(median(values))} | ${ms(Math.min(...values))} | ` +
              `${ms(Math.max(...values))} |`);
}
console.log();
console.log("| Cepomer's load, from navigation | Median |");
console.log("| --- | ---: |");
for (const [key, step] of [["html", "page received"], ["ready", "main menu usable"],
                           ["wasm", "module received"],
                           ["started", "engine runs (a click held till then is carried out)"]]) {
  console.log(`| ${step} | ${ms(median(steps.map((s) => s[key] ?? NaN)))} |`);
}
console.log();
console.log("| Goal | Measured | Met |");
console.log("| --- | ---: | :---: |");
console.log(`| first visit at most ${n(BYTES_GOAL)} bytes gzip | ${n(total.gzip)} | ` +
            `${total.gzip <= BYTES_GOAL ? "yes" : "**no**"} |`);
console.log(`| start-up at most ${RATIO_GOAL}x the blank page | ${ratio.toFixed(2)}x | ` +
            `${ratio <= RATIO_GOAL ? "yes" : "**no**"} |`);
