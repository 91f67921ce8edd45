// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The web app's weight and start-up, printed as Markdown tables:
//
//   node bench/web.mjs [BUILD] [--loads N] [--slow-link]
//
// BUILD is the WebAssembly build folder (default build-web), holding site/
// and npm/node_modules/ (its browser tests' packages).
//
// Size: every file a first visit downloads (what the service worker stores,
// the worker itself, and whatever else the page loads), raw and compressed
// by gzip -9 as a web server would send it. Goals: the module at most 40 000
// bytes gzip, the first visit but its icons and licence texts (which nothing
// waits for) at most 80 000.
//
// Start-up, in Debian's headless Chromium, each load in a new browser context
// (nothing cached, no service worker), the median of N (40) loads; compared
// with a page of one button (bench/web/blank.html) loaded the same way, in
// turn with it, in the same run:
// - the first click: from navigation until the calculator's window is on
//   the screen (the first frame drawn after the click has been answered),
//   after a click on the main menu made as soon as the menu is on the screen
//   (the first frame drawn once it is usable); on the blank page, until its
//   button's answer is drawn, after a click made as soon as the button is
//   drawn. Goal: at most 1.3 times the blank page's. The time until the
//   answer is in the document, before the browser has laid it out and drawn
//   it, is printed beside it.
// - the time to a usable main menu (the page sets data-ready on its root),
//   and until the engine runs (data-started): a click on the menu before
//   then is held, and carried out then.
// With --slow-link, every load is made over an emulated slow phone link.

import { execFileSync } from "node:child_process";
import { readFileSync, statSync } from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";

const args = process.argv.slice(2);
let loads = 40;
// A phone on a slow link, as the browser's network emulation makes it: a
// round trip of 150 ms, 1.6 Mbit/s down and 750 kbit/s up.
const slowAt = args.indexOf("--slow-link");
const slow = slowAt >= 0 && args.splice(slowAt, 1).length > 0;
const loadsAt = args.indexOf("--loads");
if (loadsAt >= 0) {
  loads = Number(args.splice(loadsAt, 2)[1]);
}
if (!Number.isInteger(loads) || loads < 1 || args.length > 1) {
  console.error("usage: node bench/web.mjs [BUILD] [--loads N] [--slow-link]");
  process.exit(2);
}
process.env.CEPOMER_WEB_BUILD ??= path.resolve(args[0] ?? "build-web");
const here = path.dirname(fileURLToPath(import.meta.url));
const { launch, serve, siteDir } = await import("../tests/web/harness.mjs");

const MODULE_GOAL = 40_000;
const BYTES_GOAL = 80_000;
const CLICK_GOAL = 1.3;
// What a first visit has no need of before the page is used.
const notWaitedFor = (file) => file.startsWith("icons/") || /(^|\/)LICENSE\.txt$/.test(file);

const gzipped = (file) => execFileSync("gzip", ["-9", "-n", "-c", file],
                                       { maxBuffer: 1 << 28 }).length;

// The time from navigation to data-ready on the root (and, where `engine`, to
// data-started), by the page's own clock (which starts at navigation), seen
// by an observer set up before any of the page's scripts run. Where `click`
// ({ button, answer }, selectors), the button is clicked by the page itself
// once it is drawn (a user's click, without the delays of driving the
// browser from outside, which on a busy machine outweigh the page's own
// times), and the times until the answer is in the document and until it is
// drawn are taken too. A frame counts as drawn once the task after its
// animation frame callbacks runs. The observer says on the console when it
// has seen all it waits for: nothing is run in the page from outside until
// then, as waiting on a condition in the page would, whose scripts take the
// page's time.
async function loadTime(browser, url, { seen, engine = false, click } = {}) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 },
                                             locale: "ru-RU" });
  await context.addInitScript(({ engine, click }) => {
    const at = (window.cepomerAt = {});
    const drawn = (then) => requestAnimationFrame(() => setTimeout(then));
    const check = () => {
      if (at.ready && (!engine || at.started) && (!click || at.shown) && !at.seen) {
        at.seen = true;
        console.debug("cepomer-bench: seen");
      }
    };
    addEventListener("click", () => { at.clicked ??= performance.now(); }, true);
    new MutationObserver(() => {
      for (const mark of ["ready", "started"]) {
        if (document.documentElement?.dataset[mark] === "1" && at[mark] === undefined) {
          at[mark] = performance.now();
          if (mark === "ready" && click) {
            drawn(() => document.querySelector(click.button).click());
          }
        }
      }
      if (click && at.answered === undefined && document.querySelector(click.answer)) {
        at.answered = performance.now();
        drawn(() => {
          at.shown = performance.now();
          check();
        });
      }
      check();
    }).observe(document, { subtree: true, childList: true, attributes: true,
                           attributeFilter: ["data-ready", "data-started", "data-answered", "hidden"] });
  }, { engine, click });
  const page = await context.newPage();
  page.on("request", (request) => seen?.add(request.url()));
  if (slow) {
    await (await context.newCDPSession(page)).send("Network.emulateNetworkConditions", {
      offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 750e3 / 8 });
  }
  const measured = page.waitForEvent("console", { timeout: 30_000,
                                                  predicate: (m) => m.text() === "cepomer-bench: seen" });
  await page.goto(url, { waitUntil: "commit" });
  await measured;
  // Where the time went: the page itself, the menu usable, the module
  // fetched, the engine running.
  const times = await page.evaluate(() => {
    const [navigation] = performance.getEntriesByType("navigation");
    const wasm = performance.getEntriesByType("resource").find((r) => r.name.endsWith(".wasm"));
    return { ready: window.cepomerAt.ready, html: navigation.responseEnd,
             wasm: wasm?.responseEnd, started: window.cepomerAt.started,
             clicked: window.cepomerAt.clicked, answered: window.cepomerAt.answered,
             shown: window.cepomerAt.shown };
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
const times = { site: [], blank: [], siteClick: [], blankClick: [], siteAnswer: [],
                blankAnswer: [] };
const steps = [];
const clickSteps = [];
// The first window of the menu, and the blank page's one button.
const siteClick = { button: 'button[data-control="cmdIURP"]',
                    answer: 'section[data-screen="frmIURP"]:not([hidden])' };
const blankClick = { button: "button", answer: "[data-answered]" };
try {
  await loadTime(browser, blank.url + "blank.html"); // the browser's own start-up, not counted
  for (let i = 0; i < loads; ++i) {
    steps.push(await loadTime(browser, site.url, { seen: requested, engine: true }));
    times.site.push(steps.at(-1).ready);
    times.blank.push((await loadTime(browser, blank.url + "blank.html")).ready);
    clickSteps.push(await loadTime(browser, site.url, { engine: true, click: siteClick }));
    times.siteClick.push(clickSteps.at(-1).shown);
    times.siteAnswer.push(clickSteps.at(-1).answered);
    const blankStep = await loadTime(browser, blank.url + "blank.html", { click: blankClick });
    times.blankClick.push(blankStep.shown);
    times.blankAnswer.push(blankStep.answered);
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
const sum = (list) => list.reduce((s, r) => ({ raw: s.raw + r.raw, gzip: s.gzip + r.gzip }),
                                  { raw: 0, gzip: 0 });
const total = sum(rows);
const waitedFor = sum(rows.filter((r) => !notWaitedFor(r.file)));
const wasmRow = rows.find((r) => r.file.endsWith(".wasm"));
const n = (x) => x.toLocaleString("en-US").replaceAll(",", " ");

console.log("| File | Bytes | gzip -9 |");
console.log("| --- | ---: | ---: |");
for (const r of rows) {
  console.log(`| ${r.file} | ${n(r.raw)} | ${n(r.gzip)} |`);
}
console.log(`| first visit but icons and licence texts | ${n(waitedFor.raw)} | ${n(waitedFor.gzip)} |`);
console.log(`| **first visit, in all** | **${n(total.raw)}** | **${n(total.gzip)}** |`);
console.log();

const ms = (x) => `${x.toFixed(1)} ms`;
const clickRatio = median(times.siteClick) / median(times.blankClick);
console.log(`| Start-up, ${loads} cold loads each${slow ? ", on a slow link" : ""} | Median | ` +
            "Fastest | Slowest |");
console.log("| --- | ---: | ---: | ---: |");
for (const [name, values] of [["Cepomer: first click on the menu, its window drawn", times.siteClick],
                              ["one button (blank.html): first click, its answer drawn",
                               times.blankClick],
                              ["Cepomer: the window in the document", times.siteAnswer],
                              ["one button (blank.html): the answer in the document",
                               times.blankAnswer],
                              ["Cepomer: usable main menu", times.site],
                              ["one button (blank.html): usable", times.blank]]) {
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
for (const [key, step] of [["ready", "main menu usable, in the loads with a click"],
                           ["clicked", "the first click, made as soon as the menu is drawn"],
                           ["answered", "the calculator's window in the document"],
                           ["shown", "the calculator's window drawn"],
                           ["started", "engine runs, in those loads (and carries out the click)"]]) {
  console.log(`| ${step} | ${ms(median(clickSteps.map((s) => s[key] ?? NaN)))} |`);
}
console.log();
console.log("| Goal | Measured | Met |");
console.log("| --- | ---: | :---: |");
const goal = (text, measured, met) => console.log(`| ${text} | ${measured} | ${met ? "yes" : "**no**"} |`);
goal(`module at most ${n(MODULE_GOAL)} bytes gzip`, n(wasmRow.gzip), wasmRow.gzip <= MODULE_GOAL);
goal(`first visit but icons and licence texts at most ${n(BYTES_GOAL)} bytes gzip`,
     n(waitedFor.gzip), waitedFor.gzip <= BYTES_GOAL);
goal(`first click answered (drawn) within ${CLICK_GOAL}x the blank page's`, `${clickRatio.toFixed(2)}x`,
     clickRatio <= CLICK_GOAL);
