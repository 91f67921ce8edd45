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
// first left in the browser's store. Each build is served with the other's
// configuration, and a second tab opens while the new version waits.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync, writeFileSync } from "node:fs";
import path from "node:path";
import { describe, test } from "node:test";

import { crossSection } from "./calculators.mjs";
import { ENGINES } from "./engines.mjs";
import { App, MENU, open, sharedBrowser, siteDir, sourceDir, temporaryFolder, until } from "./harness.mjs";
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
const conf = (built) => path.join(built.site, "../nginx.conf");

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
    // (Its files; an address with a query is the worker's note to itself.)
    const urls = (await (await caches.open(key)).keys()).map((r) => new URL(r.url));
    found[key] = urls.filter((url) => !url.search).map((url) => url.pathname.slice(1)).sort();
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
  const types = { html: "text/html", js: "text/javascript", wasm: "application/wasm",
                  webmanifest: "application/manifest+json", woff2: "font/woff2", png: "image/png",
                  txt: "text/plain" };
  const server = await serveWithNginx(siteDir);
  const policies = new Set();
  try {
    for (const file of ["", "sw.js", ...files]) {
      const response = await fetch(server.url + file);
      await response.arrayBuffer();
      const header = (name) => response.headers.get(name);
      const extension = (file || "index.html").split(".").pop();
      policies.add(header("content-security-policy"));
      assert.deepEqual({
        status: response.status,
        type: header("content-type").split(";")[0],
        gzip: header("content-encoding") === "gzip",
        cache: header("cache-control"),
        others: ["x-content-type-options", "referrer-policy", "cross-origin-opener-policy"]
          .map(header).join(" "),
        permissions: /^(\w[\w-]*=\(\)(, |$))+/.test(header("permissions-policy")),
      }, {
        status: 200,
        type: types[extension],
        gzip: !["woff2", "png"].includes(extension),
        cache: /\.[0-9a-f]{8}\.\w+$/.test(file) ? "max-age=31536000, immutable" : "no-cache",
        others: "nosniff no-referrer same-origin",
        permissions: true,
      }, file || "/");
    }
  } finally {
    await server.close();
  }
  assert.equal(policies.size, 1);
});

const shared = sharedBrowser();

for (const engine of ENGINES) {
describe(engine, () => {
test("an update: running pages keep their build, the next start runs the new one, offline too",
     async () => {
  const first = build(siteDir);
  const folder = temporaryFolder("cepomer-update-");
  const browser = await shared.engine(engine);
  const second = secondBuild(folder.dir, first);
  assert.equal(first.files.filter((f) => second.files.includes(f)).sort().join(" "),
               "fonts/LICENSE.txt index.html manifest.webmanifest");
  assert.equal(readFileSync(conf(second), "utf8"), readFileSync(conf(first), "utf8"),
               "one nginx configuration for every build");
  // Each build with the other's configuration, and the test's own addresses:
  // a page framing the site beside a text (with no policy: a location's
  // headers replace the server's), and the site under the policy without
  // 'wasm-unsafe-eval', as a browser that does not know it applies it.
  const serve = (built, other, port) => {
    const text = readFileSync(conf(other), "utf8");
    const policy = text.match(/Content-Security-Policy "([^"]+)"/)[1].replace(" 'wasm-unsafe-eval'", "");
    writeFileSync(path.join(folder.dir, "test.conf"), text.replace(/}\s*$/, `
      location = /framed {
        default_type text/html;
        add_header Cache-Control no-store;
        return 200 '<link rel="icon" href="data:,"><script>var loads = [];</script><iframe src="/" onload="loads.push(1)"></iframe><iframe src="/text" onload="loads.push(2)"></iframe>';
      }
      location = /text { default_type text/html; add_header Cache-Control no-store; return 200 'text'; }
      location ^~ /refused/ {
        alias "${built.site}/";
        add_header Content-Security-Policy "${policy}" always;
      }
    }`));
    return serveWithNginx(built.site, { port, conf: path.join(folder.dir, "test.conf") });
  };
  let server = await serve(first, second);
  try {
    // What the policy forbids: the page in a frame; a module it refuses is
    // said so (but in WebKitGTK, which compiles it regardless).
    const probe = await browser.newTab();
    await probe.goto(`${server.url}framed`);
    await probe.waitFor("both frames loaded", () => window.loads?.length === 2);
    assert.deepEqual(await probe.evaluate(() => [...document.querySelectorAll("iframe")]
      .map((f) => f.contentDocument?.querySelector("#desk, body")?.textContent ?? null)), [null, "text"]);
    if (engine !== "webkit") {
      await probe.goto(`${server.url}refused/`);
      await probe.waitFor("the browser said unable", () =>
        /^Этот браузер не может запустить Цепомер\./.test(document.getElementById("loading").textContent));
    }
    await probe.close();

    const app = await open(browser, server.url);
    await runs(app, first, "the first visit");
    await app.tab.waitFor("the service worker in control",
                          () => navigator.serviceWorker.controller !== null);

    // The new build published: the next start still runs the stored one,
    // which finds, installs and offers the new one.
    const port = server.port;
    await server.close();
    server = await serve(second, first, port);
    await app.tab.reload();
    await app.ready();
    await until("the new version offered", async () => /Доступна новая версия/.test(await offered(app)),
                async () => `stored: ${JSON.stringify(await stored(app))}`, 20_000);
    const both = [first.cache, second.cache].sort();
    assert.deepEqual(Object.keys(await stored(app)).sort(), both);

    // The idle workers stopped, and a second tab opened: the old worker, on
    // a fresh start, serves it the old build and keeps the new one's store.
    await app.tab.stopWorkers();
    const other = new App(await app.tab.another());
    await other.tab.goto(server.url);
    await runs(other, first, "a second tab while the new version waits");
    assert.deepEqual(Object.keys(await stored(app)).sort(), both);
    await runs(app, first, "the page started before the update");
    assert.doesNotMatch(await offered(app), /заново/); // the same tables: the work kept

    // Loaded on request, with the work (its store lost meanwhile, as a worker
    // from before the stores kept their order deleted it, and made again):
    // the page comes back on the new build; the other tab keeps the old one
    // and works, its store kept even by a new worker started afresh.
    await crossSection(await app.screen(MENU), { stay: true });
    await app.tab.evaluate((store) => caches.delete(store), second.cache);
    await (await app.element("button", "Обновить")).click();
    await until("the page reloaded on the new build", async () =>
      (await script(app).catch(() => "")) === second.script);
    await app.ready({ restored: true });
    await (await app.screen("сечение")).toMenu();
    await runs(app, second, "the page after Обновить");
    await app.tab.stopWorkers();
    await app.tab.reload();
    await runs(app, second, "the page reloaded");
    await runs(other, first, "the other tab after the update");
    assert.deepEqual(Object.keys(await stored(app)).sort(), both);
    await other.close();
    // A file its store lost (a browser may drop one): fetched again, and kept.
    await app.tab.evaluate(async ([store, file]) => (await caches.open(store)).delete(file),
                           [second.cache, second.files.find((f) => f.endsWith(".wasm"))]);
    await app.tab.reload();
    await runs(app, second, "the page with a file fetched again");

    // The next start with no server at all: the first build's store gone
    // once its last page is.
    await server.close();
    server = null;
    const alone = { [second.cache]: second.files };
    await until("the first build's store gone", async () => {
      await app.tab.goto(`http://127.0.0.1:${port}/`);
      await runs(app, second, "the start offline");
      return JSON.stringify(await stored(app)) === JSON.stringify(alone);
    }, async () => `stored: ${JSON.stringify(await stored(app))}`);
    assert.equal(await offered(app), "");
    // Nor an inline script or a string run as code, each started by the
    // page's own means (what the driver runs is not the policy's to judge).
    assert.deepEqual(await app.tab.evaluate(async () => {
      const script = document.createElement("script");
      script.textContent = "window.ran = ['inline'];";
      document.head.append(script);
      setTimeout("(window.ran ??= []).push('evaluated');", 0);
      await new Promise((resolve) => setTimeout(resolve, 200));
      return window.ran ?? [];
    }), []);
    await app.close();
  } finally {
    await server?.close();
    folder.remove();
  }
});
});
}
