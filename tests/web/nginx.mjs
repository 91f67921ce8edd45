// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The site as a host serves it: Debian's nginx with the site's own
// configuration (tools/web/nginx.sh), on 127.0.0.1. The same shape as serve()
// of harness.mjs: { url, close() }. A port can be asked for, to serve another
// folder at the same address as before, and another folder's configuration.

import { spawn } from "node:child_process";
import path from "node:path";
import { createInterface } from "node:readline";
import { fileURLToPath } from "node:url";

const script = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../../tools/web/nginx.sh");

export async function serveWithNginx(dir, { port = 0, conf } = {}) {
  const child = spawn("bash", [script, dir, String(port)], {
    stdio: ["ignore", "pipe", "inherit"],
    env: conf ? { ...process.env, CEPOMER_NGINX_CONF: conf } : process.env });
  const exited = new Promise((resolve) => child.once("exit", resolve));
  const orphaned = () => child.kill("SIGTERM");
  process.once("exit", orphaned);
  const first = await Promise.race([
    new Promise((resolve) => createInterface({ input: child.stdout }).once("line", resolve)),
    exited.then((code) => { throw new Error(`nginx.sh ended (status ${code}) before serving`); }),
  ]);
  const url = new URL(first.trim());
  return {
    url: url.href,
    port: Number(url.port),
    async close() {
      process.off("exit", orphaned);
      child.kill("SIGTERM");
      await exited;
    },
  };
}
