// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The site served as hosts serve it (nginx, with the site's own
// configuration): what nginx sends, and the update every returning user meets.
// The site built, then a second build of the same sources (salted, so that
// every file named by its contents differs) served from the same address: a
// page started on the first build works to its end on it while the second one
// installs; it offers the new version, loads it on request with the user's
// work (the same screen tables), and from then on
// every start, offline too, runs the second build alone, with nothing of the
// first left in the browser's store.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import path from "node:path";
import { describe, test } from "node:test";

import { crossSection } from "./calculators.mjs";
import { ENGINES } from "./engines.mjs";
import { MENU, open, sharedBrowser, siteDir, sourceDir, temporaryFolder, until } from "./harness.mjs";
import { serveWithNginx } from "./nginx.mjs";

const stage = process.env.CEPOMER_SITE_STAGE ?? path.resolve(siteDir, "../site-stage");

// What a build is known by: its store's name, its script's and all its files.
function build(site) {
  const worker = readFileSync(path.join(site, "sw.js"), "utf8");
  const constant = (name) => worker.match(new RegExp(`const ${name} = (.*);`))[1];
  const version = JSON.parse(constant("VERSION"));
  const files = JSON.parse(worker.match(/const FILES = (\[[^\]]*\]);/)[1]);
  return { site, version, files,
           cache: `cepomer-${version}-${worker.match(/"-([0-9a-f]+)"/)[1]}`,
           script: files.find((f) => /^cepomer\.[0-9a-f]+\.js$/.test(f)) };
}

// The second build: the first one's files assembled again, under a salt, with
// its nginx.conf beside it.
function secondBuild(dir, first) {
  const site = path.join(dir, "site");
  execFileSync(process.env.CEPOMER_PYTHON ?? "python3", [
    path.join(sourceDir, "src/web/site/make_site.py"), stage, site, "--version", first.version,
    "--worker", path.join(sourceDir, "src/web/site/sw.js.in"),
    "--nginx", path.join(sourceDir, "packaging/web/nginx.conf.in"), "--salt", "update test"]);
  return build(site);
}

// What the page runs and shows, what the browser stores (store name: paths).
const script = (app) => app.tab.evaluate(() =>
  [...document.scripts].map((s) => s.getAttribute("src")).find((src) => src) ?? "");
const loading = (app) => app.tab.evaluate(() => document.getElementById("loading").textContent);
const offered = (app) => app.tab.evaluate(() => {
  const notice = document.getElementById("update");
  return notice.hidden ? "" : notice.innerText;
});
const stored = (app) => app.tab.evaluate(async () => {
  const found = {};
  for (const key of await caches.keys()) {
    const requests = await (await caches.open(key)).keys();
    found[key] = requests.map((r) => new URL(r.url).pathname.slice(1)).sort();
  }
  return found;
});

// A start of the page on that build, then its worked example.
async function runs(app, built, what) {
  await app.ready();
  assert.equal(await script(app), built.script, `${what}: the script of the build`);
  await crossSection(await app.screen(MENU));
  assert.doesNotMatch(await loading(app), /Не удалось/, what);
  await app.check();
}

test("nginx: each file's type, compression and caching, and the page's policy as a header",
     async () => {
  const { files } = build(siteDir);
  const meta = readFileSync(path.join(siteDir, "index.html"), "utf8")
    .match(/<meta http-equiv="Content-Security-Policy" content="([^"]+)">/)[1];
  const types = { html: "text/html", js: "text/javascript", wasm: "application/wasm",
                  webmanifest: "application/manifest+json", woff2: "font/woff2", png: "image/png",
                  txt: "text/plain" };
  const server = await serveWithNginx(siteDir);
  try {
    for (const file of ["", "sw.js", ...files]) {
      const response = await fetch(server.url + file);
      await response.arrayBuffer();
      const header = (name) => response.headers.get(name);
      const extension = (file || "index.html").split(".").pop();
      assert.deepEqual({
        status: response.status,
        type: header("content-type").split(";")[0],
        gzip: header("content-encoding") === "gzip",
        cache: header("cache-control"),
        policy: header("content-security-policy"),
        others: ["x-content-type-options", "referrer-policy", "cross-origin-opener-policy"]
          .map(header).join(" "),
        permissions: /^(\w[\w-]*=\(\)(, |$))+/.test(header("permissions-policy")),
      }, {
        status: 200,
        type: types[extension],
        gzip: !["woff2", "png"].includes(extension),
        cache: /\.[0-9a-f]{8}\.\w+$/.test(file) ? "max-age=31536000, immutable" : "no-cache",
        policy: `${meta}; frame-ancestors 'none'`,
        others: "nosniff no-referrer same-origin",
        permissions: true,
      }, file || "/");
    }
  } finally {
    await server.close();
  }
});

const shared = sharedBrowser();

for (const engine of ENGINES) {
describe(engine, () => {
test("an update: the running page keeps its build, the next start runs the new one, offline too",
     async () => {
  const first = build(siteDir);
  const folder = temporaryFolder("cepomer-update-");
  const browser = await shared.engine(engine);
  let server = await serveWithNginx(first.site);
  try {
    const second = secondBuild(folder.dir, first);
    assert.equal(first.files.filter((f) => second.files.includes(f)).sort().join(" "),
                 "fonts/LICENSE.txt index.html manifest.webmanifest");

    const app = await open(browser, server.url);
    await runs(app, first, "the first visit");
    await app.tab.waitFor("the service worker in control",
                          () => navigator.serviceWorker.controller !== null);

    // The new build published: the next start still runs the stored one,
    // which finds, installs and offers the new one, and works to its end.
    const port = server.port;
    await server.close();
    server = await serveWithNginx(second.site, { port });
    await app.tab.reload();
    await app.ready();
    await until("the new version offered", async () => /Доступна новая версия/.test(await offered(app)),
                async () => `stored: ${JSON.stringify(await stored(app))}`, 20_000);
    assert.deepEqual(Object.keys(await stored(app)).sort(), [first.cache, second.cache].sort());
    await runs(app, first, "the page started before the update");
    assert.doesNotMatch(await offered(app), /заново/); // the same tables: the work kept

    // Loaded on request: the page comes back on the new build, the work with it.
    await crossSection(await app.screen(MENU), { stay: true });
    await (await app.element("button", "Обновить")).click();
    await until("the page reloaded on the new build", async () =>
      (await script(app).catch(() => "")) === second.script);
    await app.ready({ restored: true });
    await (await app.screen("сечение")).toMenu();
    await runs(app, second, "the page after Обновить");
    const alone = { [second.cache]: second.files };
    await until("the first build's store gone", async () =>
      JSON.stringify(await stored(app)) === JSON.stringify(alone),
    async () => `stored: ${JSON.stringify(await stored(app))}`);

    // The next start with no server at all.
    await server.close();
    server = null;
    await app.tab.goto(`http://127.0.0.1:${port}/`);
    await runs(app, second, "the start offline");
    assert.deepEqual(await stored(app), alone);
    assert.equal(await offered(app), "");
    await app.close();
  } finally {
    await server?.close();
    folder.remove();
  }
});
});
}
