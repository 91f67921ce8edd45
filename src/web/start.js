// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The page's module (cepomer.js) starts by itself; this keeps the site for
// use without a network, where the browser can, once the main menu is there:
// the service worker's first download of the whole site would otherwise
// compete with the page's own.
if ("serviceWorker" in navigator) {
    document.addEventListener("cepomer-ready", () => {
        navigator.serviceWorker.register("sw.js").catch(() => {});
    }, { once: true });
}
